#include "KRScopeBar/KRScopeBar.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSObjectController.h"
#include "AppKit/NSParagraphStyle.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNull.h"

NS_CLASS_DEFINE(KRScopeBar)

namespace {

NSUInteger g_smallFontSize = 0;

Ref<NSColor> copied(const Ref<NSColor>& c) { return c ? static_ref_cast<NSColor>(c->copy()) : nullptr; }

}  // namespace

// The overflow button's face image; our resources are PNG files.
Ref<NSImage> KRScopeBar::overflowImage()
{
    auto bundle = NSBundle::bundleForClass(KRScopeBar::staticClass());
    auto path = bundle ? bundle->pathForResource("overflowImage"_ns, "tiff"_ns) : nullptr;
    if (!path && bundle) path = bundle->pathForResource("overflowImage"_ns, "png"_ns);
    return path ? NSImage::initWithContentsOfFile(path) : nullptr;
}

void KRScopeBar::describeClass(NSClassMembers<KRScopeBar>& m)
{
    m.property("delegateImplementsShouldCollapse_", &KRScopeBar::delegateImplementsShouldCollapse_);
    m.property("delegateImplementsShouldExpand_", &KRScopeBar::delegateImplementsShouldExpand_);
    m.property("numberOfGroups", &KRScopeBar::numberOfGroups);
    m.property("groups", &KRScopeBar::groups, &KRScopeBar::setGroups);
    m.property("delegate", &KRScopeBar::delegate, &KRScopeBar::setDelegate);
    m.property("dataSource", &KRScopeBar::dataSource, &KRScopeBar::setDataSource);
    m.property("accessoryView", &KRScopeBar::accessoryView, &KRScopeBar::setAccessoryView);
    m.action("overflowPullDownItemSelected:", &KRScopeBar::overflowPullDownItemSelected);
}

void KRScopeBar::initialize()
{
    g_smallFontSize = NSUInteger(NSFont::systemFontSizeForControlSize(NSSmallControlSize));
    setKeyPathsForValuesAffectingValueForKey<KRScopeBar>("numberOfGroups"_ns, NSArray::arrayWithObject("groups"_ns));
}

// The metrics are set when the class initialises.
NSUInteger KRScopeBar::barMargin()
{
    staticClass();
    return g_smallFontSize;
}
NSUInteger KRScopeBar::groupSpacing() { return barMargin(); }
NSUInteger KRScopeBar::accessoryGap() { return barMargin(); }

Ref<NSView> KRScopeBar::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    m_minimumButtonWidth = 70;
    m_minimumPopUpWidth = 70;
    m_autoResizesGroups = true;
    m_intercellSpacing = 5;
    m_backgroundGradient = NSGradient::initWithStartingColor(NSColor::colorWithCalibratedWhite(0.8, 1.0),
                                                             NSColor::colorWithCalibratedWhite(0.94, 1.0));
    m_borderColor = NSColor::colorWithCalibratedWhite(0.6, 1.0);
    m_separatorColor = NSColor::colorWithCalibratedWhite(0.46, 1.0);
    m_labelColor = NSColor::colorWithCalibratedWhite(0.46, 1.0);

    auto button = static_ref_cast<KRButtonCell>(NSObject::alloc<KRButtonCell>()->initTextCell(""_ns));
    button->setBezelStyle(NSRecessedBezelStyle);
    button->setButtonType(NSPushOnPushOffButton);
    button->setControlSize(NSSmallControlSize);
    button->setFont(NSFont::boldSystemFontOfSize(12));
    button->setShowsBorderOnlyWhileMouseInside(true);
    button->setLineBreakMode(NSLineBreakByTruncatingTail);
    button->setState(NSOffState);
    button->setImagePosition(NSImageLeft);
    setButtonCell(button);

    auto popUp = static_ref_cast<KRPopUpButtonCell>(NSObject::alloc<KRPopUpButtonCell>()->initTextCell(""_ns, false));
    popUp->setBezelStyle(NSRecessedBezelStyle);
    popUp->setButtonType(NSPushOnPushOffButton);
    popUp->setArrowPosition(NSPopUpArrowAtBottom);
    popUp->setControlSize(NSSmallControlSize);
    popUp->setFont(NSFont::boldSystemFontOfSize(12));
    popUp->setShowsBorderOnlyWhileMouseInside(true);
    popUp->setLineBreakMode(NSLineBreakByTruncatingTail);
    popUp->setImagePosition(NSImageLeft);
    setPopUpButtonCell(popUp);

    auto overflow =
        static_ref_cast<KROverflowPullDownCell>(NSObject::alloc<KROverflowPullDownCell>()->initTextCell(""_ns, true));
    auto menu = NSMenu::menuWithTitle(""_ns);
    menu->setAutoenablesItems(false);
    auto face = NSMenuItem::itemWithTitle(""_ns, {}, ""_ns);
    face->setImage(overflowImage());
    menu->addItem(face);
    overflow->setMenu(menu);
    setOverflowPullDownCell(overflow);
    return Ref<NSView>(this);
}

KRScopeBar::~KRScopeBar() { unregisterDelegateForNotification(); }

// --- Groups ---

Ref<KRScopeBarGroup> KRScopeBar::addGroup()
{
    auto group = static_ref_cast<KRScopeBarGroup>(NSObject::make<KRScopeBarGroup>());
    if (numberOfGroups() == 0) group->setShowsSeparator(false);
    addGroup(group);
    return group;
}

void KRScopeBar::addGroup(const Ref<KRScopeBarGroup>& group) { insertGroup(group, numberOfGroups()); }

void KRScopeBar::insertGroup(const Ref<KRScopeBarGroup>& group, NSUInteger index)
{
    if (index > numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:insertGroup:atIndex: groupIndex invalid");
    if (!group) return;
    group->setScopeBar(Ref<KRScopeBar>(this));
    auto helper = NSObject::alloc<KRScopeBarGroupHelper>()->initWithGroup(group, Ref<KRScopeBar>(this));
    if (!m_groups) m_groups = NSMutableArray::array();
    willChangeValueForKey("groups"_ns);
    m_groups->insertObject(helper, index);
    didChangeValueForKey("groups"_ns);
    adjustSubviews();
}

void KRScopeBar::removeGroup(const Ref<KRScopeBarGroup>& group)
{
    const NSUInteger index = indexOfGroup(group);
    if (index != NSUInteger(NSNotFound)) removeGroupAtIndex(index);
}

void KRScopeBar::removeGroupAtIndex(NSUInteger index)
{
    if (index >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:removeGroup:atIndex: groupIndex invalid");
    auto helper = static_ref_cast<KRScopeBarGroupHelper>(m_groups->objectAtIndex(index));
    // A record under the mouse goes with its group.
    if (m_trackingGroup.get().get() == helper.get()) m_trackingGroup = nullptr;
    willChangeValueForKey("groups"_ns);
    helper->group()->setScopeBar(nullptr);
    m_groups->removeObjectAtIndex(index);
    didChangeValueForKey("groups"_ns);
    adjustSubviews();
}

Ref<NSArray> KRScopeBar::groups() const
{
    if (!m_groups) return nullptr;
    std::vector<Id> groups;
    for (NSUInteger i = 0; i < m_groups->count(); ++i)
        groups.push_back(static_ref_cast<KRScopeBarGroupHelper>(m_groups->objectAtIndex(i))->group());
    return NSArray::arrayWithVector(std::move(groups));
}

const std::vector<Ref<KRScopeBarGroupHelper>> KRScopeBar::helpers() const
{
    std::vector<Ref<KRScopeBarGroupHelper>> out;
    for (NSUInteger i = 0; i < numberOfGroups(); ++i)
        out.push_back(static_ref_cast<KRScopeBarGroupHelper>(m_groups->objectAtIndex(i)));
    return out;
}

void KRScopeBar::setGroups(const Ref<NSArray>& groups)
{
    if (m_groups && m_groups->count()) {
        willChangeValueForKey("groups"_ns);
        for (auto& helper : helpers()) helper->group()->setScopeBar(nullptr);
        m_groups->removeAllObjects();
        m_trackingGroup = nullptr;
        didChangeValueForKey("groups"_ns);
    }
    const NSUInteger n = groups ? groups->count() : 0;
    for (NSUInteger i = 0; i < n; ++i) {
        auto group = dynamic_ref_cast<KRScopeBarGroup>(groups->objectAtIndex(i));
        if (!group)
            NSException::raise(NSInvalidArgumentException,
                               "KRScopeBar:setGroups: element in array not of class KRScopeBarGroup");
        addGroup(group);
    }
}

Ref<KRScopeBarGroup> KRScopeBar::groupWithIdentifier(const Ref<NSString>& identifier) const
{
    for (auto& helper : helpers()) {
        auto id = helper->group()->identifier();
        if (id && identifier && id->isEqualToString(identifier)) return helper->group();
    }
    return nullptr;
}

Ref<KRScopeBarGroup> KRScopeBar::groupAtIndex(NSUInteger index) const
{
    if (index >= numberOfGroups()) NSException::raise(NSRangeException, "KRScopeBar:groupAtIndex: groupIndex invalid");
    return static_ref_cast<KRScopeBarGroupHelper>(m_groups->objectAtIndex(index))->group();
}

NSUInteger KRScopeBar::indexOfGroup(const Ref<KRScopeBarGroup>& group) const
{
    for (NSUInteger i = 0; i < numberOfGroups(); ++i)
        if (static_ref_cast<KRScopeBarGroupHelper>(m_groups->objectAtIndex(i))->group().get() == group.get()) return i;
    return NSNotFound;
}

void KRScopeBar::moveGroupWithIndex(NSUInteger from, NSUInteger to)
{
    if (from >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:moveGroupWithIndex:toIndex: originalIndex invalid");
    if (to >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:moveGroupWithIndex:toIndex: destinationIndex invalid");
    Id helper = m_groups->objectAtIndex(from);
    m_groups->removeObjectAtIndex(from);
    m_groups->insertObject(helper, to);
    adjustSubviews();
}

// --- Reloading ---

void KRScopeBar::applySingleSelectionRule(const Ref<KRScopeBarGroup>& group)
{
    if (group->groupSelectionStyle() != KRScopeBarGroup::SingleSelection) return;
    auto selected = group->selectionIndexes();
    if (selected->count() == 1) return;
    if (selected->count() > 1) return group->setSelectionIndexes(NSIndexSet::indexSetWithIndex(selected->firstIndex()));
    const NSUInteger n = group->numberOfObjects();
    if (n == KRScopeBarGroup::kNoRecordCount) return;
    for (NSUInteger i = 0; i < n; ++i) {
        if (!delegateAllowsSelecting(group->objectAtIndex(i))) continue;
        return group->setSelectionIndexes(NSIndexSet::indexSetWithIndex(i));
    }
}

void KRScopeBar::reloadData()
{
    for (auto& helper : helpers()) {
        helper->updateGroupDimensions();
        applySingleSelectionRule(helper->group());
    }
    adjustSubviews();
}

void KRScopeBar::reloadDataForGroup(NSUInteger index)
{
    if (index >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:reloadDataForGroup: groupIndex invalid");
    auto helper = helpers()[index];
    helper->updateGroupDimensions();
    applySingleSelectionRule(helper->group());
    adjustSubviews();
}

void KRScopeBar::adjustSubviews()
{
    m_trackingAreasNeedUpdate = true;
    m_groupsNeedUpdate = true;
    setNeedsDisplay(true);
}

void KRScopeBar::resizeWithOldSuperviewSize(NSSize oldSize)
{
    NSControl::resizeWithOldSuperviewSize(oldSize);
    m_groupsNeedUpdate = true;
    setNeedsDisplay(true);
}

// --- Cells ---

Ref<KRButtonCell> KRScopeBar::buttonCell() const
{
    return m_buttonCell ? static_ref_cast<KRButtonCell>(m_buttonCell->copy()) : nullptr;
}

void KRScopeBar::setButtonCell(const Ref<NSButtonCell>& cell)
{
    if (cell.get() == m_buttonCell.get()) return;
    m_buttonCell = cell ? dynamic_ref_cast<KRButtonCell>(cell->copy()) : nullptr;
    adjustSubviews();
}

Ref<KRPopUpButtonCell> KRScopeBar::popUpButtonCell() const
{
    return m_popUpButtonCell ? static_ref_cast<KRPopUpButtonCell>(m_popUpButtonCell->copy()) : nullptr;
}

void KRScopeBar::setPopUpButtonCell(const Ref<NSPopUpButtonCell>& cell)
{
    m_popUpButtonCell = cell ? dynamic_ref_cast<KRPopUpButtonCell>(cell->copy()) : nullptr;
    if (m_popUpButtonCell) {
        m_popUpButtonCell->setUsesItemFromMenu(false);
        m_popUpButtonCell->setAltersStateOfSelectedItem(false);
        m_popUpButtonCell->setAction("popUpMenuItemSelected:");
        m_popUpButtonCell->setAutoenablesItems(false);
    }
    adjustSubviews();
}

void KRScopeBar::setOverflowPullDownCell(const Ref<NSPopUpButtonCell>& cell)
{
    m_overflowPullDownCell = cell ? dynamic_ref_cast<KROverflowPullDownCell>(cell->copy()) : nullptr;
    if (m_overflowPullDownCell) {
        m_overflowPullDownCell->setTarget(Id(this));
        m_overflowPullDownCell->setAction("overflowPullDownItemSelected:");
        m_overflowPullDownCell->setAutoenablesItems(false);
        m_overflowPullDownCell->setAltersStateOfSelectedItem(false);
        m_overflowPullDownCell->setUsesItemFromMenu(true);
    }
    adjustSubviews();
}

Ref<NSString> KRScopeBar::titleForObject(const Id& object) const
{
    if (m_formatter) {
        if (auto s = m_formatter->stringForObjectValue(object)) return s;
    }
    return object ? object->description() : nullptr;
}

Ref<NSButtonCell> KRScopeBar::preparedButtonCellForGroup(NSUInteger groupIndex, NSUInteger object) const
{
    if (groupIndex >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:preparedButtonCellForGroup:object: groupIndex invalid");
    auto group = groupAtIndex(groupIndex);
    if (object >= group->numberOfObjects())
        NSException::raise(NSRangeException, "KRScopeBar:preparedButtonCellForGroup:object: objectIndex invalid");
    if (!m_buttonCell) return nullptr;
    const bool selected = group->selectionIndexes()->containsIndex(object);
    auto cell = buttonCell();
    if (group->hasContentBinding()) {
        Ref<NSString> title = titleForObject(group->objectAtIndex(object));
        if (auto values = group->boundArray(NSContentValuesBinding); values && object < values->count())
            title = values->objectAtIndex(object)->description();
        cell->setTitle(title ? title : ""_ns);
        if (group->infoForBinding(NSImageBinding)) {
            auto images = group->boundArray(NSImageBinding);
            auto image = images && object < images->count() ? images->objectAtIndex(object) : nullptr;
            cell->setImage(dynamic_ref_cast<NSImage>(image));  // NSNull: no image
        }
    } else {
        auto source = scopeBarDataSource();
        if (!source) return nullptr;
        auto bar = const_cast<KRScopeBar*>(this);
        auto title = titleForObject(source->scopeBarValueForObjectInGroupAtIndex(bar, groupIndex, object));
        cell->setTitle(title ? title : ""_ns);
        auto image = source->scopeBarImageForObjectInGroupAtIndex(bar, groupIndex, object);
        cell->setImage(image ? *image : nullptr);
    }
    cell->setState(selected ? NSOnState : NSOffState);
    return cell;
}

Ref<NSPopUpButtonCell> KRScopeBar::preparedPopUpCellForGroup(NSUInteger groupIndex) const
{
    if (groupIndex >= numberOfGroups())
        NSException::raise(NSRangeException, "KRScopeBar:preparedPopUpCellForGroup: groupIndex invalid");
    auto group = groupAtIndex(groupIndex);
    auto cell = popUpButtonCell();
    if (!cell) return nullptr;
    auto item = NSMenuItem::itemWithTitle(""_ns, {}, ""_ns);
    item->setState(NSOnState);
    auto selected = group->selectionIndexes();
    if (selected->count() >= 2) {
        item->setTitle(group->multipleSelectionPlaceholder());
        cell->setShowsBorderOnlyWhileMouseInside(false);
    } else if (selected->count() == 0) {
        item->setTitle(group->noSelectionPlaceholder());
        cell->setShowsBorderOnlyWhileMouseInside(true);
    } else {
        cell->setShowsBorderOnlyWhileMouseInside(false);
        const NSUInteger index = selected->firstIndex();
        Ref<NSString> title;
        Ref<NSImage> image;
        if (group->hasContentBinding()) {
            if (auto values = group->boundArray(NSContentValuesBinding); values && index < values->count())
                title = values->objectAtIndex(index)->description();
            else title = titleForObject(group->objectAtIndex(index));
            auto images = group->boundArray(NSImageBinding);
            if (images && index < images->count()) image = dynamic_ref_cast<NSImage>(images->objectAtIndex(index));
        } else if (auto source = scopeBarDataSource()) {
            auto bar = const_cast<KRScopeBar*>(this);
            title = titleForObject(source->scopeBarValueForObjectInGroupAtIndex(bar, groupIndex, index));
            if (auto i = source->scopeBarImageForObjectInGroupAtIndex(bar, groupIndex, index)) image = *i;
        }
        item->setTitle(title ? title : ""_ns);
        item->setImage(image);
    }
    cell->setMenuItem(item);
    return cell;
}

// --- Appearance ---

void KRScopeBar::setAccessoryView(const Ref<NSView>& view)
{
    if (view.get() == m_accessoryView.get()) return;
    for (auto subview : std::vector<Ref<NSView>>(subviews())) subview->removeFromSuperview();
    m_accessoryView = view;
    if (view) addSubview(view);
    adjustSubviews();
}

void KRScopeBar::setMinimumButtonWidth(NSUInteger width)
{
    m_minimumButtonWidth = width;
    reloadData();
}

void KRScopeBar::setMinimumPopUpWidth(NSUInteger width)
{
    m_minimumPopUpWidth = width;
    reloadData();
}

void KRScopeBar::setIntercellSpacing(NSUInteger spacing)
{
    m_intercellSpacing = spacing;
    reloadData();
}

void KRScopeBar::setFormatter(const Ref<NSFormatter>& formatter)
{
    if (formatter.get() == m_formatter.get()) return;
    m_formatter = formatter;
    reloadData();
}

void KRScopeBar::setBackgroundGradient(const Ref<NSGradient>& gradient)
{
    if (gradient.get() == m_backgroundGradient.get()) return;
    m_backgroundGradient = gradient ? static_ref_cast<NSGradient>(gradient->copy()) : nullptr;
    adjustSubviews();
}

Ref<NSColor> KRScopeBar::backgroundTopColor() const
{
    return m_backgroundGradient ? m_backgroundGradient->interpolatedColorAtLocation(1.0) : nullptr;
}

Ref<NSColor> KRScopeBar::backgroundBottomColor() const
{
    return m_backgroundGradient ? m_backgroundGradient->interpolatedColorAtLocation(0.0) : nullptr;
}

void KRScopeBar::setBackgroundTopColor(const Ref<NSColor>& color)
{
    m_backgroundGradient = NSGradient::initWithStartingColor(backgroundBottomColor(), color);
    adjustSubviews();
}

void KRScopeBar::setBackgroundBottomColor(const Ref<NSColor>& color)
{
    m_backgroundGradient = NSGradient::initWithStartingColor(color, backgroundTopColor());
    adjustSubviews();
}

void KRScopeBar::setBorderColor(const Ref<NSColor>& color) { m_borderColor = copied(color); }
void KRScopeBar::setSeparatorColor(const Ref<NSColor>& color) { m_separatorColor = copied(color); }
void KRScopeBar::setLabelColor(const Ref<NSColor>& color) { m_labelColor = copied(color); }

// --- Delegate and data source ---

KRScopeBarDelegate* KRScopeBar::scopeBarDelegate() const
{
    return dynamic_cast<KRScopeBarDelegate*>(m_delegate.get().get());
}

KRScopeBarDataSource* KRScopeBar::scopeBarDataSource() const
{
    return dynamic_cast<KRScopeBarDataSource*>(m_dataSource.get().get());
}

bool KRScopeBar::delegateAllowsSelecting(const Id& object)
{
    auto d = scopeBarDelegate();
    if (!d || !m_delegateImplementsShouldSelect) return true;
    return d->scopeBarShouldSelectObject(this, object).value_or(true);
}

// The delegate hears this bar only, once per change, while the bar is in a
// view (or was never put in one).
void KRScopeBar::registerDelegateForNotification()
{
    unregisterDelegateForNotification();
    auto delegate = m_delegate.get();
    if (!delegate) return;
    auto centre = NSNotificationCenter::defaultCenter();
    if (delegate->respondsToSelector("scopeBarSelectionDidChange:")) {
        centre->addObserver(delegate, "scopeBarSelectionDidChange:", KRScopeBarSelectionDidChangeNotification,
                            Id(this));
    } else if (dynamic_cast<KRScopeBarDelegate*>(delegate.get())) {
        Weak<NSObject> weak = delegate;
        m_delegateToken = centre->addObserverForName(
            KRScopeBarSelectionDidChangeNotification, Id(this), nullptr, [weak](const Ref<NSNotification>& note) {
                if (auto d = dynamic_cast<KRScopeBarDelegate*>(weak.get().get())) d->scopeBarSelectionDidChange(note);
            });
    }
}

void KRScopeBar::unregisterDelegateForNotification()
{
    auto centre = NSNotificationCenter::defaultCenter();
    if (m_delegateToken) centre->removeObserver(m_delegateToken);
    m_delegateToken = nullptr;
    if (auto d = m_delegate.get()) centre->removeObserver(d, KRScopeBarSelectionDidChangeNotification, Id(this));
}

void KRScopeBar::setDelegate(const Id& delegate)
{
    if (delegate.get() == m_delegate.get().get()) return;
    unregisterDelegateForNotification();
    m_delegate = delegate;
    registerDelegateForNotification();
    const bool answers = dynamic_cast<KRScopeBarDelegate*>(delegate.get()) != nullptr;
    m_delegateImplementsShouldSelect = answers;
    m_delegateImplementsShouldCollapse = answers;
    m_delegateImplementsShouldExpand = answers;
}

void KRScopeBar::setDataSource(const Id& dataSource)
{
    m_dataSource = dataSource;
    m_dataSourceImplementsImageForObject = dynamic_cast<KRScopeBarDataSource*>(dataSource.get()) != nullptr;
}

void KRScopeBar::viewWillMoveToSuperview(const Ref<NSView>& newSuperview)
{
    NSControl::viewWillMoveToSuperview(newSuperview);
    if (!newSuperview) unregisterDelegateForNotification();
}

void KRScopeBar::viewDidMoveToSuperview()
{
    NSControl::viewDidMoveToSuperview();
    if (superview()) registerDelegateForNotification();
}

// --- Drawing ---

void KRScopeBar::drawBackground()
{
    const NSRect b = bounds();
    auto sv = superview();
    const bool flipped = sv && sv->isFlipped();
    if (m_backgroundGradient) m_backgroundGradient->drawInRect(b, flipped ? -90 : 90);
    if (!m_borderColor) return;
    m_borderColor->setStroke();
    const CGFloat y = flipped ? b.size.height : b.origin.y;
    NSBezierPath::strokeLineFromPoint(NSMakePoint(b.origin.x, y), NSMakePoint(b.size.width, y));
}

void KRScopeBar::drawRect(const NSRect&)
{
    if (m_groupsNeedUpdate) calcSize();
    drawBackground();
    for (auto& helper : helpers()) helper->drawGroup();
    if (m_overflowPullDownCell && overflowMenuCount() > 1)
        m_overflowPullDownCell->drawWithFrame(m_overflowPullDownRect, Ref<NSView>(this));
    if (m_trackingAreasNeedUpdate) updateTrackingAreas();
}

NSInteger KRScopeBar::overflowMenuCount() const
{
    return m_overflowPullDownCell ? m_overflowPullDownCell->numberOfItems() : 0;
}
