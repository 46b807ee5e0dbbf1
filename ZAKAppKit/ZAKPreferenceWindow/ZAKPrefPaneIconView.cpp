#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPrefPaneIconView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKitExtensions/NSImage+ZAKNSImage_Extension.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPreferenceWindowController.h"

NS_CLASS_DEFINE(ZAKPrefPaneIconView)

namespace {

NSComparisonResult byTitle(const Id& a, const Id& b)
{
    return static_ref_cast<ZAKPrefPaneIcon>(a)->caseInsensitiveCompare(static_ref_cast<ZAKPrefPaneIcon>(b));
}

bool sameCategory(const Ref<NSString>& a, const Ref<NSString>& b)
{
    if (!a || !b) return !a && !b;
    return a->isEqualToString(b);
}

}  // namespace

ZAKPrefPaneIconView::ZAKPrefPaneIconView() = default;
ZAKPrefPaneIconView::~ZAKPrefPaneIconView() = default;

Ref<ZAKPrefPaneIconView> ZAKPrefPaneIconView::initWithControllerIconsColumns(
    const Ref<ZAKPreferenceWindowController>& controller, const Ref<NSArray>& icons, NSInteger columns)
{
    NSView::initWithFrame(NSZeroRect);
    m_iconListList = NSMutableArray::array();
    m_prefsController = controller;
    setIcons(icons ? icons : NSArray::array());
    m_columns = std::max<NSInteger>(columns, 1);
    m_iconLabelAttributes = NSDictionary::dictionaryWithObjectForKey(
        NSFont::systemFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize)), NSFontAttributeName);
    m_captionAttributes = NSDictionary::dictionaryWithObjectForKey(
        NSFont::boldSystemFontOfSize(NSFont::systemFontSize()), NSFontAttributeName);
    return this;
}

Ref<NSView> ZAKPrefPaneIconView::initWithFrame(const NSRect&)
{
    return initWithControllerIconsColumns(nullptr, NSArray::array(), 7);
}

Ref<ZAKPreferenceWindowController> ZAKPrefPaneIconView::prefsController() const { return m_prefsController.get(); }

void ZAKPrefPaneIconView::setPrefsController(const Ref<ZAKPreferenceWindowController>& controller)
{
    m_prefsController = controller;
}

void ZAKPrefPaneIconView::setIcons(const Ref<NSArray>& icons)
{
    m_icons = NSMutableArray::arrayWithArray(icons ? icons : NSArray::array());
    markChanged();
}

void ZAKPrefPaneIconView::addIcon(const Ref<ZAKPrefPaneIcon>& icon)
{
    if (!icon) return;
    m_icons->addObject(icon);
    markChanged();
}

void ZAKPrefPaneIconView::removeAllIcons()
{
    m_icons->removeAllObjects();
    markChanged();
}

void ZAKPrefPaneIconView::setColumns(NSInteger columns)
{
    columns = std::max<NSInteger>(columns, 1);  // the layout divides by it
    if (columns == m_columns) return;
    m_columns = columns;
    markChanged();
}

void ZAKPrefPaneIconView::setSortByCategory(bool flag)
{
    if (flag == m_sortByCategory) return;
    m_sortByCategory = flag;
    markChanged();
}

void ZAKPrefPaneIconView::setCategorySortOrder(const Ref<NSArray>& order)
{
    m_categorySortOrder = order ? NSArray::arrayWithArray(order) : nullptr;
    markChanged();
}

Ref<NSArray> ZAKPrefPaneIconView::block(NSInteger index) const
{
    return dynamic_ref_cast<NSArray>(m_iconListList->objectAtIndex(NSUInteger(index)));
}

void ZAKPrefPaneIconView::rebuild()
{
    m_dataChanged = false;
    m_iconListList->removeAllObjects();
    if (!m_sortByCategory) {
        m_iconListList->addObject(NSMutableArray::arrayWithArray(m_icons->sortedArrayUsingComparator(byTitle)));
    } else {
        std::vector<Ref<NSMutableArray>> groups;
        for (NSUInteger i = 0; i < m_icons->count(); ++i) {
            auto icon = static_ref_cast<ZAKPrefPaneIcon>(m_icons->objectAtIndex(i));
            auto it = std::find_if(groups.begin(), groups.end(), [&](const Ref<NSMutableArray>& g) {
                return sameCategory(static_ref_cast<ZAKPrefPaneIcon>(g->objectAtIndex(0))->category(),
                                    icon->category());
            });
            if (it == groups.end()) groups.push_back(NSMutableArray::arrayWithObjects({icon}));
            else (*it)->addObject(icon);
        }
        for (auto& group : groups)
            m_iconListList->addObject(NSMutableArray::arrayWithArray(group->sortedArrayUsingComparator(byTitle)));
        sortCategories();
    }
    calculateGeometry();
}

Ref<NSString> ZAKPrefPaneIconView::displayNameOfBlock(NSInteger index) const
{
    auto list = block(index);
    if (!list || list->count() == 0) return ""_ns;
    auto first = static_ref_cast<ZAKPrefPaneIcon>(list->objectAtIndex(0));
    if (auto controller = m_prefsController.get())
        if (auto name = controller->categoryDisplayNameForIdentifier(first->itemIdentifier())) return name;
    return first->category() ? first->category() : ""_ns;
}

void ZAKPrefPaneIconView::sortCategories()
{
    std::vector<Id> blocks = m_iconListList->snapshot();
    std::vector<Id> ordered;
    if (m_categorySortOrder) {
        std::vector<bool> taken(blocks.size(), false);
        for (NSUInteger n = 0; n < m_categorySortOrder->count(); ++n) {
            auto name = dynamic_ref_cast<NSString>(m_categorySortOrder->objectAtIndex(n));
            for (size_t k = 0; k < blocks.size(); ++k) {
                auto list = static_ref_cast<NSArray>(blocks[k]);
                if (taken[k] || list->count() == 0) continue;
                if (!sameCategory(static_ref_cast<ZAKPrefPaneIcon>(list->objectAtIndex(0))->category(), name)) continue;
                taken[k] = true;
                ordered.push_back(blocks[k]);
                break;
            }
        }
        for (size_t k = 0; k < blocks.size(); ++k)
            if (!taken[k]) ordered.push_back(blocks[k]);
    } else {
        std::vector<std::pair<Ref<NSString>, Id>> named;
        for (size_t k = 0; k < blocks.size(); ++k) named.emplace_back(displayNameOfBlock(NSInteger(k)), blocks[k]);
        std::stable_sort(named.begin(), named.end(), [](const auto& a, const auto& b) {
            return a.first->caseInsensitiveCompare(b.first) == NSOrderedAscending;
        });
        for (auto& [name, list] : named) ordered.push_back(list);
    }
    m_iconListList->removeAllObjects();
    for (auto& list : ordered) m_iconListList->addObject(list);
}

NSSize ZAKPrefPaneIconView::titleSize(const Ref<ZAKPrefPaneIcon>& icon) const
{
    return NSStringExt::sizeWithAttributes(icon->title() ? icon->title() : ""_ns, m_iconLabelAttributes);
}

void ZAKPrefPaneIconView::calculateGeometry()
{
    m_horizontalPadding = 12;
    m_iconSpacing = 32;
    NSInteger rows = 0;
    float previous = 0;
    const NSUInteger blocks = m_iconListList->count();
    for (NSUInteger b = 0; b < blocks; ++b) {
        auto list = block(NSInteger(b));
        NSInteger i = 0;
        for (NSUInteger n = 0; n < list->count(); ++n) {
            if (i >= m_columns) {
                i = 1;
                ++rows;
            } else {
                ++i;
            }
            const NSSize size = titleSize(static_ref_cast<ZAKPrefPaneIcon>(list->objectAtIndex(n)));
            const float w = std::ceil(std::max<float>(float(size.width), 32));
            m_iconHeight = std::max(m_iconHeight, float(size.height) + 32 + 14);
            if (i >= 2) m_iconSpacing = std::max(m_iconSpacing, (previous + w) / 2);
            previous = w;
            if (i == 1)
                m_horizontalPadding = std::max(m_horizontalPadding, (float(size.width) - m_iconSpacing) / 2 + 12);
        }
        ++rows;
    }
    m_iconSpacing += 4;
    m_captionHeight = m_sortByCategory
                          ? std::ceil(1.2f * float(NSFont::boldSystemFontOfSize(NSFont::systemFontSize())->pointSize()))
                          : 0;
    NSView::setFrame(NSMakeRect(0, 0, std::ceil(float(m_columns) * m_iconSpacing + m_horizontalPadding),
                                float(rows) * m_iconHeight + 11 + (m_captionHeight + 6) * float(blocks)));
}

void ZAKPrefPaneIconView::rebuildIfNeeded() const
{
    if (m_dataChanged) const_cast<ZAKPrefPaneIconView*>(this)->rebuild();
}

NSRect ZAKPrefPaneIconView::frame() const
{
    rebuildIfNeeded();
    return NSView::frame();
}

NSRect ZAKPrefPaneIconView::bounds() const
{
    rebuildIfNeeded();
    return NSView::bounds();
}

NSInteger ZAKPrefPaneIconView::rowsOfBlock(NSInteger index) const
{
    auto list = block(index);
    const NSInteger n = list ? NSInteger(list->count()) : 0;
    return n == 0 ? 1 : (n - 1) / m_columns + 1;
}

NSRect ZAKPrefPaneIconView::frameForCategoryWithIndex(NSInteger j) const
{
    const NSInteger blocks = NSInteger(m_iconListList->count());
    CGFloat y = 0;
    for (NSInteger k = 0; k < j; ++k) y += CGFloat(rowsOfBlock(k)) * m_iconHeight;
    y += CGFloat(j) * (m_captionHeight + 9) + (j > 0 ? 2 : 0);
    CGFloat height = CGFloat(rowsOfBlock(j)) * m_iconHeight + m_captionHeight + 9;
    if (j == 0) height += 2;
    if (j == blocks - 1) height += 6;
    return NSMakeRect(0, y, frame().size.width, height);
}

NSPoint ZAKPrefPaneIconView::positionForIconInCategoryWithIndexAtIndex(NSInteger j, NSInteger i) const
{
    const NSRect cat = frameForCategoryWithIndex(j);
    const NSInteger col = i % m_columns, row = i / m_columns;
    return NSMakePoint(cat.origin.x + (m_horizontalPadding + m_iconSpacing) / 2 + CGFloat(col) * m_iconSpacing,
                       cat.origin.y + m_captionHeight + 16 + CGFloat(row) * m_iconHeight);
}

NSRect ZAKPrefPaneIconView::imageFrameForIconInCategoryWithIndexAtIndex(NSInteger j, NSInteger i) const
{
    const NSRect cat = frameForCategoryWithIndex(j);
    const NSInteger col = i % m_columns, row = i / m_columns;
    return NSMakeRect(cat.origin.x + (m_horizontalPadding + m_iconSpacing - 32) / 2 + CGFloat(col) * m_iconSpacing,
                      cat.origin.y + m_captionHeight + 16 + CGFloat(row) * m_iconHeight, 32, 32);
}

NSRect ZAKPrefPaneIconView::labelFrameForIconInCategoryWithIndexAtIndex(NSInteger j, NSInteger i) const
{
    const NSSize size = titleSize(static_ref_cast<ZAKPrefPaneIcon>(block(j)->objectAtIndex(NSUInteger(i))));
    const NSPoint top = positionForIconInCategoryWithIndexAtIndex(j, i);
    return NSMakeRect(top.x - size.width / 2, top.y + 33, size.width, size.height);
}

Ref<ZAKPrefPaneIcon> ZAKPrefPaneIconView::iconAt(NSPoint point, NSInteger* blockOut, NSInteger* indexOut) const
{
    rebuildIfNeeded();
    for (NSUInteger j = 0; j < m_iconListList->count(); ++j) {
        if (!NSPointInRect(point, frameForCategoryWithIndex(NSInteger(j)))) continue;
        auto list = block(NSInteger(j));
        for (NSUInteger i = 0; i < list->count(); ++i)
            if (NSPointInRect(point, imageFrameForIconInCategoryWithIndexAtIndex(NSInteger(j), NSInteger(i))) ||
                NSPointInRect(point, labelFrameForIconInCategoryWithIndexAtIndex(NSInteger(j), NSInteger(i)))) {
                if (blockOut) *blockOut = NSInteger(j);
                if (indexOut) *indexOut = NSInteger(i);
                return static_ref_cast<ZAKPrefPaneIcon>(list->objectAtIndex(i));
            }
        return nullptr;  // the first block holding the point decides
    }
    return nullptr;
}

void ZAKPrefPaneIconView::drawRect(const NSRect&)
{
    rebuildIfNeeded();
    CGFloat y = 5;
    const CGFloat start = (m_horizontalPadding + m_iconSpacing) / 2;
    for (NSUInteger j = 0; j < m_iconListList->count(); ++j) {
        drawBackgroundForCategoryWithIndex(NSInteger(j));
        auto list = block(NSInteger(j));
        CGFloat x = start;
        NSInteger column = 0;
        for (NSUInteger i = 0; i < list->count(); ++i) {
            if (column == m_columns) {
                column = 0;
                x = start;
                y += m_iconHeight;
            }
            auto icon = static_ref_cast<ZAKPrefPaneIcon>(list->objectAtIndex(i));
            drawIconAtPositionHighlighted(icon, NSMakePoint(x, y), icon == m_selectedIcon);
            ++column;
            x += m_iconSpacing;
        }
        y += m_iconHeight + 9 + m_captionHeight;
    }
}

void ZAKPrefPaneIconView::drawBackgroundForCategoryWithIndex(NSInteger j)
{
    const NSRect r = frameForCategoryWithIndex(j);
    if (j % 2 == 1) {
        NSColor::colorWithCalibratedWhite(0.97, 0.99)->setFill();
        NSRectFillUsingOperation(r, NSCompositePlusDarker);
    }
    if (!m_sortByCategory) return;
    CGFloat captionY = r.origin.y + 5;
    if (j > 0) {
        NSColor::colorWithCalibratedWhite(0.84, 1.0)->setFill();
        NSRectFill(NSMakeRect(r.origin.x, r.origin.y, r.size.width, 1));
        captionY = r.origin.y + 3;
    }
    NSStringExt::drawAtPoint(displayNameOfBlock(j), NSMakePoint(12, captionY), m_captionAttributes);
}

void ZAKPrefPaneIconView::drawIconAtPositionHighlighted(const Ref<ZAKPrefPaneIcon>& icon, NSPoint p, bool highlighted)
{
    auto image = icon->image();
    if (image && highlighted)
        image = NSImageExt::darkenedImageWithColor(image, NSColor::colorWithCalibratedWhite(0.7, 1));
    if (image)
        image->drawInRect(NSMakeRect(p.x - 16, p.y + 11 + m_captionHeight, 32, 32), NSZeroRect, NSCompositeSourceAtop,
                          1.0, true, nullptr);
    auto title = icon->title() ? icon->title() : ""_ns;
    const NSSize size = NSStringExt::sizeWithAttributes(title, m_iconLabelAttributes);
    NSStringExt::drawInRect(title,
                            NSMakeRect(p.x - size.width / 2, p.y + 44 + m_captionHeight, size.width, size.height),
                            m_iconLabelAttributes);
}

void ZAKPrefPaneIconView::mouseDown(const Ref<NSEvent>& event)
{
    m_mouseDownPoint = convertPoint(event->locationInWindow(), nullptr);
    if (auto icon = iconAt(m_mouseDownPoint, &m_selectedIconCategory, &m_selectedIconIndex)) {
        m_selectedIcon = icon;
        setNeedsDisplay(true);
    }
}

void ZAKPrefPaneIconView::mouseUp(const Ref<NSEvent>& event)
{
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    auto icon = iconAt(p, &m_selectedIconCategory, &m_selectedIconIndex);
    if (icon && icon == m_selectedIcon)
        if (auto target = icon->target()) target->performSelector(icon->selector(), icon);
    setNeedsDisplay(true);
    m_selectedIcon = nullptr;
}
