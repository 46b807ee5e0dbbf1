// How the scope bar fits its groups into its width: each group's record
// measures the group and divides its frame; the bar's pass collapses groups
// from the right, peels objects into the overflow menu and shrinks the
// groups in proportion to their slack.
#include <cmath>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "KRScopeBar/KRScopeBar.h"

NS_CLASS_DEFINE(KRScopeBarGroupHelper)

namespace {

constexpr NSUInteger kSeparatorWidth = 1;
constexpr NSUInteger kSeparatorPadding = 10;
constexpr NSUInteger kLabelExtra = 1;
constexpr NSUInteger kLabelPadding = 10;

int64_t trunc64(double v) { return int64_t(std::trunc(v)); }

}  // namespace

void KRScopeBarGroupHelper::describeClass(NSClassMembers<KRScopeBarGroupHelper>& m)
{
    m.action("popUpMenuItemSelected:", &KRScopeBarGroupHelper::popUpMenuItemSelected);
}

Id KRScopeBarGroupHelper::init()
{
    NSException::raise("KRScopeBarException", "An instance of an KRScopeBarGroupHelper was initialized using init "
                                              "instead of initWithGroup:inScopeBar:");
}

Ref<KRScopeBarGroupHelper> KRScopeBarGroupHelper::initWithGroup(const Ref<KRScopeBarGroup>& group,
                                                                const Ref<KRScopeBar>& bar)
{
    m_group = group;
    m_scopeBar = bar;
    m_buttonRects.clear();
    m_trackingIndex = -1;
    return Ref<KRScopeBarGroupHelper>(this);
}

Ref<KRScopeBar> KRScopeBarGroupHelper::scopeBar() const { return m_scopeBar.get(); }

NSUInteger KRScopeBarGroupHelper::groupIndex() const
{
    auto bar = scopeBar();
    return bar ? bar->indexOfGroup(m_group) : NSUInteger(NSNotFound);
}

NSUInteger KRScopeBarGroupHelper::objectCount() const
{
    const NSUInteger n = m_group->numberOfObjects();
    // A group with no record in the bar has nothing to walk.
    return n == KRScopeBarGroup::kNoRecordCount ? 0 : n;
}

NSUInteger KRScopeBarGroupHelper::visibleCount() const
{
    const NSUInteger n = objectCount();
    return n > m_numberOfItemsPeeledOff ? n - m_numberOfItemsPeeledOff : 0;
}

// --- Measures ---

void KRScopeBarGroupHelper::updateGroupDimensions()
{
    auto bar = scopeBar();
    NSUInteger header = 0;
    if (m_group->showsLabel())
        header += NSUInteger(
            trunc64(NSAttributedStringExt::size(m_group->attributedLabel()).width + kLabelExtra + kLabelPadding));
    if (m_group->showsSeparator()) header += kSeparatorWidth + kSeparatorPadding;
    m_headerWidth = header;

    const NSUInteger gi = groupIndex();
    const NSUInteger visible = visibleCount();
    if (!bar || gi == NSUInteger(NSNotFound) || visible == 0) {
        m_maximumWidth = m_minimumWidth = 0;
        return;
    }
    if (m_group->collapsed()) {
        auto cell = bar->preparedPopUpCellForGroup(gi);
        const double p = cell ? cell->cellSize().width : 0;
        m_maximumWidth = NSUInteger(trunc64(p + double(header)));
        m_minimumWidth = std::min<NSUInteger>(NSUInteger(trunc64(p)), bar->minimumPopUpWidth()) + header;
        return;
    }
    const double spacing = double(bar->intercellSpacing());
    int64_t maxButtons = 0;
    NSUInteger minButtons = 0;
    for (NSUInteger i = 0; i < visible; ++i) {
        auto cell = bar->preparedButtonCellForGroup(gi, i);
        const double w = cell ? cell->cellSize().width : 0;
        maxButtons = trunc64(double(maxButtons) + w + spacing);
        minButtons += std::min<NSUInteger>(NSUInteger(trunc64(w)), bar->minimumButtonWidth()) + bar->intercellSpacing();
    }
    maxButtons -= int64_t(bar->intercellSpacing());
    minButtons -= bar->intercellSpacing();
    m_maximumWidth = NSUInteger(std::max<int64_t>(0, maxButtons)) + header;
    m_minimumWidth = minButtons + header;
}

// --- Rectangles ---

void KRScopeBarGroupHelper::setFrame(const NSRect& frame)
{
    m_frame = frame;
    recalculateRects_();
}

void KRScopeBarGroupHelper::recalculateRects_()
{
    auto bar = scopeBar();
    if (!bar || objectCount() == 0) return;
    NSRect button = m_frame;
    if (m_group->showsSeparator()) {
        NSRect separator;
        NSDivideRect(button, &separator, &button, kSeparatorWidth, NSMinXEdge);
        separator = NSInsetRect(separator, 0, 0.18 * m_frame.size.height);
        m_separatorRect = separator;
        if (button.size.width >= kSeparatorPadding) {
            button.origin.x += kSeparatorPadding;
            button.size.width -= kSeparatorPadding;
        }
    } else {
        m_separatorRect = NSZeroRect;
    }
    if (m_group->showsLabel()) {
        const NSSize labelSize = NSAttributedStringExt::size(m_group->attributedLabel());
        NSRect label;
        NSDivideRect(button, &label, &button, double(trunc64(labelSize.width + kLabelExtra)), NSMinXEdge);
        label = NSInsetRect(label, 0, (label.size.height - labelSize.height) / 2);
        label.origin.y += bar->isFlipped() ? -1 : 1;
        m_labelRect = label;
        if (button.size.width >= kLabelPadding) {
            button.origin.x += kLabelPadding;
            button.size.width -= kLabelPadding;
        }
    } else {
        m_labelRect = NSZeroRect;
    }
    const NSUInteger gi = groupIndex();
    auto first = gi != NSUInteger(NSNotFound) ? bar->preparedButtonCellForGroup(gi, 0) : nullptr;
    const double h = first ? first->cellSize().height : button.size.height;
    button = NSInsetRect(button, 0, (button.size.height - h) / 2);
    m_buttonRect = button;
    if (!m_group->collapsed()) updateButtonFrames_();
}

void KRScopeBarGroupHelper::updateButtonFrames_()
{
    m_buttonRects.clear();
    auto bar = scopeBar();
    const NSUInteger gi = groupIndex();
    const NSUInteger visible = visibleCount();
    if (!bar || gi == NSUInteger(NSNotFound) || visible == 0) return;
    const double spacing = double(bar->intercellSpacing());
    std::vector<double> widths;
    for (NSUInteger i = 0; i < visible; ++i) {
        auto cell = bar->preparedButtonCellForGroup(gi, i);
        widths.push_back(cell ? cell->cellSize().width : 0);
    }
    double x = m_buttonRect.origin.x;
    const double y = m_buttonRect.origin.y, h = m_buttonRect.size.height;
    if (m_frame.size.width >= double(m_maximumWidth)) {
        for (double w : widths) {
            m_buttonRects.push_back(NSMakeRect(double(trunc64(x)), y, w, h));
            x = double(trunc64(x)) + w + spacing;
        }
        return;
    }
    const double excess = double(trunc64(double(m_maximumWidth - m_headerWidth) - m_buttonRect.size.width));
    const double range = double(m_maximumWidth) - double(m_minimumWidth);
    double remaining = excess;
    for (NSUInteger i = 0; i < visible; ++i) {
        const double w = widths[i];
        const double slack =
            double(trunc64(w - double(std::min<NSUInteger>(NSUInteger(trunc64(w)), bar->minimumButtonWidth()))));
        double shrink;
        if (i + 1 == visible) {
            shrink = remaining;
        } else {
            // A range of 0 leaves nothing to share out.
            shrink = range > 0 ? std::floor(slack / range * excess) : 0;
            remaining -= shrink;
        }
        m_buttonRects.push_back(NSMakeRect(double(trunc64(x)), y, w - shrink, h));
        x = double(trunc64(x)) + w - shrink + spacing;
    }
}

// --- Peeling ---

Ref<NSMenuItem> KRScopeBarGroupHelper::menuItemForObject_(NSUInteger index) const
{
    auto bar = scopeBar();
    const NSUInteger gi = groupIndex();
    if (!bar || gi == NSUInteger(NSNotFound)) return nullptr;
    auto cell = bar->preparedButtonCellForGroup(gi, index);
    auto item = NSMenuItem::itemWithTitle(cell ? cell->title() : ""_ns, {}, ""_ns);
    if (cell) item->setImage(cell->image());
    item->setState(m_group->selectionIndexes()->containsIndex(index) ? NSOnState : NSOffState);
    item->setRepresentedObject(m_group->objectAtIndex(index));
    return item;
}

Ref<NSArray> KRScopeBarGroupHelper::peelOffNextItem()
{
    if (visibleCount() == 0) return nullptr;
    std::vector<Id> items;
    if (!m_group->collapsed()) {
        const NSUInteger index = objectCount() - 1 - m_numberOfItemsPeeledOff;
        ++m_numberOfItemsPeeledOff;
        updateGroupDimensions();
        if (auto item = menuItemForObject_(index)) items.push_back(item);
    } else {
        const NSUInteger n = objectCount();
        m_numberOfItemsPeeledOff = n;
        updateGroupDimensions();
        for (NSUInteger i = 0; i < n; ++i)
            if (auto item = menuItemForObject_(i)) items.push_back(item);
    }
    return NSArray::arrayWithVector(std::move(items));
}

// --- Drawing ---

void KRScopeBarGroupHelper::drawGroup()
{
    auto bar = scopeBar();
    const NSUInteger gi = groupIndex();
    if (!bar || gi == NSUInteger(NSNotFound) || visibleCount() == 0) return;
    if (m_group->showsSeparator() && bar->separatorColor()) {
        bar->separatorColor()->set();
        NSRectFill(m_separatorRect);
    }
    if (m_group->showsLabel()) NSAttributedStringExt::drawInRect(m_group->attributedLabel(), m_labelRect);
    if (m_group->collapsed()) {
        Ref<NSCell> cell =
            m_trackingCell ? Ref<NSCell>(m_trackingCell) : Ref<NSCell>(bar->preparedPopUpCellForGroup(gi));
        if (cell) cell->drawWithFrame(m_buttonRect, bar);
        return;
    }
    const NSUInteger visible = visibleCount();
    for (NSUInteger i = 0; i < visible; ++i) {
        Ref<NSCell> cell = m_trackingCell && NSInteger(i) == m_trackingIndex
                               ? Ref<NSCell>(m_trackingCell)
                               : Ref<NSCell>(bar->preparedButtonCellForGroup(gi, i));
        const NSRect r = i < m_buttonRects.size() ? m_buttonRects[i] : NSZeroRect;
        if (cell) cell->drawWithFrame(r, bar);
    }
}

// --- The bar's pass ---

Ref<KRScopeBarGroupHelper> KRScopeBar::groupHelperForGroup_(const Ref<KRScopeBarGroup>& group) const
{
    for (auto& helper : helpers())
        if (helper->group().get() == group.get()) return helper;
    return nullptr;
}

NSUInteger KRScopeBar::sumOfMinimumWidthForAllGroups_() const
{
    NSUInteger sum = 0;
    for (auto& helper : helpers()) sum += helper->minimumWidth();
    return sum;
}

NSUInteger KRScopeBar::sumOfMaximumWidthForAllGroups_() const
{
    NSUInteger sum = 0;
    for (auto& helper : helpers()) sum += helper->maximumWidth();
    return sum;
}

NSUInteger KRScopeBar::countOfUnpeeledGroups_() const
{
    NSUInteger n = 0;
    for (auto& helper : helpers())
        if (!helper->isPeeled()) ++n;
    return n;
}

void KRScopeBar::resetOverflowPullDownCell_()
{
    if (!m_overflowPullDownCell) return;
    auto menu = m_overflowPullDownCell->menu();
    while (menu->numberOfItems() > 1) menu->removeItemAtIndex(menu->numberOfItems() - 1);
}

void KRScopeBar::resetGroupsToMaxWidth_()
{
    const NSRect b = bounds();
    double x = double(barMargin());
    for (auto& helper : helpers()) {
        helper->setFrame(NSMakeRect(x, b.origin.y, double(helper->maximumWidth()), b.size.height));
        x = double(trunc64(x + double(helper->maximumWidth()) + double(groupSpacing())));
    }
}

bool KRScopeBar::collapseRightMostGroup_()
{
    auto all = helpers();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        auto group = (*it)->group();
        if (group->collapsed()) continue;
        group->setCollapsed(true);
        if (group->collapsed()) {
            (*it)->updateGroupDimensions();
            return true;
        }
        // Refused: the next group to the left.
    }
    return false;
}

void KRScopeBar::peelOffItemsToFitInWidth_(int64_t width)
{
    if (!m_overflowPullDownCell) return;
    auto menu = m_overflowPullDownCell->menu();
    // Widths compare unsigned here: a negative width fits everything.
    uint64_t W = uint64_t(width);
    auto all = helpers();
    uint64_t minSum = sumOfMinimumWidthForAllGroups_();
    for (size_t r = all.size(); r-- > 0;) {
        for (;;) {
            auto items = all[r]->peelOffNextItem();
            minSum = sumOfMinimumWidthForAllGroups_();
            if (!items) break;
            for (NSUInteger j = items->count(); j-- > 0;)
                menu->insertItem(static_ref_cast<NSMenuItem>(items->objectAtIndex(j)), 1);
            if (minSum <= W) break;
        }
        if (r != 0) W += groupSpacing();
        if (minSum <= W) break;
        menu->insertItem(NSMenuItem::separatorItem(), 1);
    }
    m_overflowPullDownCell->setMenu(menu);
}

void KRScopeBar::calcSize()
{
    m_groupsNeedUpdate = false;
    // The areas follow the rectangles this pass gives.
    m_trackingAreasNeedUpdate = true;
    auto all = helpers();
    for (auto& helper : all) helper->unpeel();
    resetOverflowPullDownCell_();
    m_overflowPullDownRect = NSZeroRect;
    for (auto& helper : all) {
        if (m_autoResizesGroups) helper->group()->setCollapsed(false);
        helper->updateGroupDimensions();
    }

    const NSRect B = bounds();
    const int64_t n = int64_t(all.size());
    const int64_t margin = int64_t(barMargin()), spacing = int64_t(groupSpacing());
    int64_t available = trunc64(B.size.width - double(2 * margin) - double((n - 1) * spacing));
    int64_t rightEdge = trunc64(B.origin.x + B.size.width - double(margin));
    int64_t reserve = 0;
    if (m_accessoryView) {
        const NSRect f = m_accessoryView->frame();
        const int64_t a = trunc64(f.size.width), h = trunc64(f.size.height);
        m_accessoryView->setFrame(
            NSMakeRect(double(rightEdge - a), double(trunc64((B.size.height - double(h)) / 2)), double(a), double(h)));
        reserve = a + int64_t(accessoryGap());
        available -= reserve;
        rightEdge -= reserve;
    }
    if (!m_autoResizesGroups) return resetGroupsToMaxWidth_();

    int64_t minSum = int64_t(sumOfMinimumWidthForAllGroups_());
    while (minSum > available) {
        if (!collapseRightMostGroup_()) break;
        minSum = int64_t(sumOfMinimumWidthForAllGroups_());
    }
    int64_t widthForGroups = available;
    if (minSum > available && m_overflowPullDownCell) {
        const NSSize cs = m_overflowPullDownCell->cellSize();
        const int64_t o = trunc64(cs.width), q = trunc64(cs.height);
        m_overflowPullDownRect =
            NSMakeRect(double(rightEdge - o), (B.size.height - double(q)) / 2, double(o), double(q));
        widthForGroups = available - o - int64_t(overflowGap());
        if (minSum > widthForGroups) {
            peelOffItemsToFitInWidth_(widthForGroups);
            minSum = int64_t(sumOfMinimumWidthForAllGroups_());
            const int64_t k = int64_t(countOfUnpeeledGroups_());
            widthForGroups =
                trunc64(B.size.width - double(2 * margin) - double(reserve) - double((k - 1) * spacing) - double(o));
            if (minSum > 0) widthForGroups -= int64_t(overflowGap());
        }
    }

    const uint64_t maxSum = sumOfMaximumWidthForAllGroups_();
    const uint64_t minSumNow = sumOfMinimumWidthForAllGroups_();
    // Unsigned: a negative width for the groups gives every group its maximum.
    if (maxSum <= uint64_t(widthForGroups) || maxSum <= minSumNow) return resetGroupsToMaxWidth_();
    const double deficit = double(maxSum - uint64_t(widthForGroups));
    const double range = double(maxSum - minSumNow);
    double remaining = deficit;
    double x = double(margin);
    for (size_t i = 0; i < all.size(); ++i) {
        auto& helper = all[i];
        double shrink;
        if (i + 1 == all.size()) {
            shrink = remaining;
        } else {
            shrink = std::round(double(helper->maximumWidth() - helper->minimumWidth()) / range * deficit);
            remaining -= shrink;
        }
        const double width = std::max(0.0, double(helper->maximumWidth()) - shrink);
        helper->setFrame(NSMakeRect(x, B.origin.y, width, B.size.height));
        x = double(trunc64(x + width + double(spacing)));
    }
}
