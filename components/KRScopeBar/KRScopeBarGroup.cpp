#include "KRScopeBar/KRScopeBarGroup.h"

#include "AppKit/NSArrayController.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyValueObserving.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "KRScopeBar/KRScopeBar.h"

NS_CLASS_DEFINE(KRScopeBarGroup)

namespace {

Ref<NSString> copied(const Ref<NSString>& s) { return s ? static_ref_cast<NSString>(s->copy()) : nullptr; }

bool sameString(const Ref<NSString>& a, const Ref<NSString>& b)
{
    if (!a || !b) return a.get() == b.get();
    return a->isEqualToString(b);
}

}  // namespace

void KRScopeBarGroup::describeClass(NSClassMembers<KRScopeBarGroup>& m)
{
    m.property("identifier", &KRScopeBarGroup::identifier, &KRScopeBarGroup::setIdentifier);
    m.property("label", &KRScopeBarGroup::label, &KRScopeBarGroup::setLabel);
    m.property("content", &KRScopeBarGroup::content, &KRScopeBarGroup::setContent);
    m.property("contentValues", &KRScopeBarGroup::contentValues, &KRScopeBarGroup::setContentValues);
    m.property("image", &KRScopeBarGroup::image, &KRScopeBarGroup::setImage);
    m.property("selectionIndexes", &KRScopeBarGroup::selectionIndexes, &KRScopeBarGroup::setSelectionIndexes);
}

void KRScopeBarGroup::initialize()
{
    exposeBinding<KRScopeBarGroup>(NSContentBinding);
    exposeBinding<KRScopeBarGroup>(NSContentValuesBinding);
    exposeBinding<KRScopeBarGroup>(NSImageBinding);
}

Ref<KRScopeBarGroup> KRScopeBarGroup::initWithIdentifier(const Ref<NSString>& identifier, int32_t selectionStyle)
{
    m_identifier = copied(identifier);
    m_selectionStyle = selectionStyle;
    m_showsSeparator = true;
    m_selectionIndexes = NSIndexSet::indexSet();
    return Ref<KRScopeBarGroup>(this);
}

// --- The bar ---

Ref<KRScopeBar> KRScopeBarGroup::scopeBar() const { return m_scopeBar.get(); }

void KRScopeBarGroup::setScopeBar(const Ref<KRScopeBar>& bar) { m_scopeBar = bar; }

NSUInteger KRScopeBarGroup::indexInBar() const
{
    auto bar = scopeBar();
    return bar ? bar->indexOfGroup(Ref<KRScopeBarGroup>(const_cast<KRScopeBarGroup*>(this))) : NSUInteger(NSNotFound);
}

bool KRScopeBarGroup::barHoldsNoRecord() const { return scopeBar() && indexInBar() == NSUInteger(NSNotFound); }

void KRScopeBarGroup::reloadInBar()
{
    const NSUInteger index = indexInBar();
    if (index != NSUInteger(NSNotFound)) scopeBar()->reloadDataForGroup(index);
}

// --- Display ---

void KRScopeBarGroup::setIdentifier(const Ref<NSString>& identifier) { m_identifier = copied(identifier); }

void KRScopeBarGroup::setLabel(const Ref<NSString>& label)
{
    if (sameString(label, m_label)) return;
    m_label = copied(label);
    setShowsLabel(m_label || m_attributedLabel);
    reloadInBar();
}

void KRScopeBarGroup::setAttributedLabel(const Ref<NSAttributedString>& label)
{
    if (label.get() == m_attributedLabel.get() ||
        (label && m_attributedLabel && label->isEqual(m_attributedLabel.get())))
        return;
    m_attributedLabel = label ? NSAttributedString::initWithAttributedString(label) : nullptr;
    setShowsLabel(m_attributedLabel || m_label);
    reloadInBar();
}

Ref<NSAttributedString> KRScopeBarGroup::attributedLabel() const
{
    if (m_attributedLabel) return NSAttributedString::initWithAttributedString(m_attributedLabel);
    // Shown with no label at all: an empty text rather than nil.
    auto text = m_label ? m_label : ""_ns;
    auto bar = scopeBar();
    auto colour = bar ? bar->labelColor() : nullptr;
    if (!colour) return NSAttributedString::initWithString(text);
    auto attributes = NSMutableDictionary::dictionary();
    attributes->setObject(colour, NSForegroundColorAttributeName);
    attributes->setObject(NSFont::boldSystemFontOfSize(11), NSFontAttributeName);
    return NSAttributedString::initWithString(text, attributes);
}

void KRScopeBarGroup::setShowsLabel(bool flag)
{
    m_showsLabel = flag;
    reloadInBar();
}

void KRScopeBarGroup::setShowsSeparator(bool flag)
{
    m_showsSeparator = flag;
    reloadInBar();
}

void KRScopeBarGroup::setGroupSelectionStyle(int32_t style)
{
    m_selectionStyle = style;
    reloadInBar();
}

void KRScopeBarGroup::setCollapsed(bool flag)
{
    if (flag == m_collapsed) return;
    if (auto bar = scopeBar()) {
        auto d = bar->scopeBarDelegate();
        // The bar says by key-value coding whether its delegate answers.
        const auto key = flag ? "delegateImplementsShouldCollapse_"_ns : "delegateImplementsShouldExpand_"_ns;
        auto implements = dynamic_ref_cast<NSNumber>(bar->valueForKey(key));
        if (d && implements && implements->boolValue()) {
            const auto answer =
                flag ? d->scopeBarShouldCollapseGroup(bar.get(), this) : d->scopeBarShouldExpandGroup(bar.get(), this);
            if (answer == false) return;
        }
    }
    m_collapsed = flag;
}

Ref<NSString> KRScopeBarGroup::multipleSelectionPlaceholder() const
{
    return m_multipleSelectionPlaceholder ? copied(m_multipleSelectionPlaceholder) : "<Multiple>"_ns;
}

void KRScopeBarGroup::setMultipleSelectionPlaceholder(const Ref<NSString>& placeholder)
{
    if (sameString(placeholder, m_multipleSelectionPlaceholder)) return;
    m_multipleSelectionPlaceholder = copied(placeholder);
    reloadInBar();
}

Ref<NSString> KRScopeBarGroup::noSelectionPlaceholder() const
{
    if (m_noSelectionPlaceholder) return copied(m_noSelectionPlaceholder);
    if (m_identifier) return copied(m_identifier);
    return "<Untitled>"_ns;
}

void KRScopeBarGroup::setNoSelectionPlaceholder(const Ref<NSString>& placeholder)
{
    if (sameString(placeholder, m_noSelectionPlaceholder)) return;
    m_noSelectionPlaceholder = copied(placeholder);
    reloadInBar();
}

// --- Objects ---

Ref<NSArray> KRScopeBarGroup::boundArray(const Ref<NSString>& binding) const
{
    auto info = infoForBinding(binding);
    if (!info) return nullptr;
    auto observed = info->objectForKey(NSObservedObjectKey);
    auto keyPath = dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey));
    if (!observed || !keyPath) return nullptr;
    return dynamic_ref_cast<NSArray>(observed->valueForKeyPath(keyPath));
}

NSUInteger KRScopeBarGroup::numberOfObjects() const
{
    if (hasContentBinding()) {
        auto array = boundArray(NSContentBinding);
        return array ? array->count() : 0;
    }
    auto bar = scopeBar();
    if (!bar) return 0;
    const NSUInteger index = indexInBar();
    if (index == NSUInteger(NSNotFound)) return kNoRecordCount;
    auto source = bar->scopeBarDataSource();
    return source ? source->scopeBarNumberOfObjectsInScopeBarGroup(bar.get(), index) : 0;
}

Id KRScopeBarGroup::objectAtIndex(NSUInteger index) const
{
    if (index >= numberOfObjects())
        NSException::raise(NSRangeException, "KRScopeBarGroup:objectAtIndex: objectIndex invalid");
    if (hasContentBinding()) {
        auto array = boundArray(NSContentBinding);
        return array ? array->objectAtIndex(index) : nullptr;
    }
    auto bar = scopeBar();
    const NSUInteger group = indexInBar();
    if (!bar || group == NSUInteger(NSNotFound)) return nullptr;
    auto source = bar->scopeBarDataSource();
    return source ? source->scopeBarValueForObjectInGroupAtIndex(bar.get(), group, index) : nullptr;
}

NSUInteger KRScopeBarGroup::indexForObject(const Id& object) const
{
    if (hasContentBinding()) {
        auto array = boundArray(NSContentBinding);
        return array ? array->indexOfObject(object) : NSUInteger(NSNotFound);
    }
    auto bar = scopeBar();
    const NSUInteger group = indexInBar();
    auto source = bar ? bar->scopeBarDataSource() : nullptr;
    if (!source || group == NSUInteger(NSNotFound)) return NSNotFound;
    const NSUInteger n = source->scopeBarNumberOfObjectsInScopeBarGroup(bar.get(), group);
    // The very same object: data sources hand out their own objects.
    for (NSUInteger i = 0; i < n; ++i)
        if (source->scopeBarValueForObjectInGroupAtIndex(bar.get(), group, i).get() == object.get()) return i;
    return NSNotFound;
}

void KRScopeBarGroup::setContent(const Id&)
{
    if (hasContentBinding()) reloadInBar();
}

void KRScopeBarGroup::setContentValues(const Id&)
{
    if (hasContentBinding()) reloadInBar();
}

void KRScopeBarGroup::setImage(const Id&)
{
    if (hasContentBinding()) reloadInBar();
}

// --- Selection ---

void KRScopeBarGroup::setSelectionIndexes(const Ref<NSIndexSet>& indexes)
{
    Ref<KRScopeBarGroup> self(this);
    auto next = indexes ? indexes : NSIndexSet::indexSet();
    const bool same = m_selectionIndexes && m_selectionIndexes->isEqualToIndexSet(next);
    m_selectionIndexes = NSIndexSet::indexSetWithIndexSet(next);
    if (auto info = infoForBinding(NSContentBinding)) {
        if (auto controller = dynamic_ref_cast<NSArrayController>(info->objectForKey(NSObservedObjectKey)))
            controller->setSelectionIndexes(m_selectionIndexes);
    }
    if (barHoldsNoRecord()) return;
    reloadInBar();
    if (same) return;
    auto info = NSMutableDictionary::dictionary();
    if (m_identifier) info->setObject(m_identifier, KRGroupIdentifierKey);
    NSNotificationCenter::defaultCenter()->postNotificationName(KRScopeBarSelectionDidChangeNotification,
                                                                Id(scopeBar()), info);
}

void KRScopeBarGroup::didClickObject_(NSUInteger index, bool alwaysSetToOnState)
{
    if (index >= numberOfObjects())
        NSException::raise(NSRangeException, "KRScopeBarGroup:didClickObject_:alwaysSetToOnState: objectIndex invalid");
    if (alwaysSetToOnState && m_selectionIndexes->containsIndex(index)) return;
    Ref<NSIndexSet> next;
    if (m_selectionStyle != SingleSelection) {
        auto toggled = NSMutableIndexSet::indexSet();
        toggled->addIndexes(m_selectionIndexes);
        if (toggled->containsIndex(index)) toggled->removeIndex(index);
        else toggled->addIndex(index);
        next = toggled;
    } else {
        next = NSIndexSet::indexSetWithIndex(index);
    }
    setSelectionIndexes(next);
}

void KRScopeBarGroup::selectObjectWithIndex(NSUInteger index)
{
    if (index >= numberOfObjects())
        NSException::raise(NSRangeException, "KRScopeBarGroup:selectObjectWithIndex: objectIndex invalid");
    didClickObject_(index, true);
}

void KRScopeBarGroup::selectObject(const Id& object)
{
    const NSUInteger index = indexForObject(object);
    if (index == NSUInteger(NSNotFound))
        NSException::raise(NSInvalidArgumentException,
                           "KRScopeBarGroup:selectObject theObject not a member of this group");
    selectObjectWithIndex(index);
}

Ref<NSArray> KRScopeBarGroup::selectedObjects() const
{
    if (!m_selectionIndexes->count()) return nullptr;
    std::vector<Id> objects;
    m_selectionIndexes->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { objects.push_back(objectAtIndex(i)); });
    return NSArray::arrayWithVector(std::move(objects));
}

Id KRScopeBarGroup::selectedObject() const
{
    auto objects = selectedObjects();
    return objects && objects->count() ? objects->objectAtIndex(0) : nullptr;
}

// --- Bindings ---

void KRScopeBarGroup::bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
                           const Ref<NSDictionary>& options)
{
    NSObject::bind(binding, observable, keyPath, options);
    if (binding->isEqualToString(NSContentBinding) && observable)
        observable->addObserver(Id(this), NSSelectionIndexesBinding, NSKeyValueObservingOptionNew, nullptr);
}

void KRScopeBarGroup::unbind(const Ref<NSString>& binding)
{
    if (binding->isEqualToString(NSContentBinding)) {
        auto info = infoForBinding(NSContentBinding);
        if (auto observed = info ? info->objectForKey(NSObservedObjectKey) : nullptr)
            observed->removeObserver(Id(this), NSSelectionIndexesBinding);
    }
    NSObject::unbind(binding);
}

void KRScopeBarGroup::observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                                  const Ref<NSDictionary>&, void*)
{
    if (!keyPath->isEqualToString(NSSelectionIndexesBinding)) return;
    auto controller = dynamic_ref_cast<NSArrayController>(object);
    NSAssert(controller, "KRScopeBarGroup: Observing selectionIndexes from object not of class NSArrayController");
    setSelectionIndexes(controller->selectionIndexes());
}

// --- Archiving ---

void KRScopeBarGroup::encodeWithCoder(NSCoder* coder) const
{
    if (!coder->allowsKeyedCoding()) return;
    coder->encodeObject(m_identifier, "KRScopeBarGroup identifier"_ns);
    coder->encodeObject(m_label, "KRScopeBarGroup label"_ns);
    coder->encodeObject(m_attributedLabel, "KRScopeBarGroup attributedLabel"_ns);
    coder->encodeInt32(m_selectionStyle, "KRScopeBarGroup groupSelectionStyle"_ns);
    coder->encodeBool(m_showsSeparator, "KRScopeBarGroup showsSeparator"_ns);
    coder->encodeBool(m_showsLabel, "KRScopeBarGroup showsLabel"_ns);
    coder->encodeObject(m_selectionIndexes, "KRScopeBarGroup selectionIndexes"_ns);
    coder->encodeConditionalObject(Id(scopeBar()), "KRScopeBarGroup scopeBar"_ns);
    coder->encodeObject(m_multipleSelectionPlaceholder, "KRScopeBarGroup multipleSelectionPlaceholder"_ns);
    coder->encodeObject(m_noSelectionPlaceholder, "KRScopeBarGroup noSelectionPlaceholder"_ns);
}

Id KRScopeBarGroup::initWithCoder(NSCoder* coder)
{
    if (!coder->allowsKeyedCoding()) return nullptr;
    m_selectionIndexes = NSIndexSet::indexSet();
    setIdentifier(dynamic_ref_cast<NSString>(coder->decodeObjectForKey("KRScopeBarGroup identifier"_ns)));
    setLabel(dynamic_ref_cast<NSString>(coder->decodeObjectForKey("KRScopeBarGroup label"_ns)));
    setAttributedLabel(
        dynamic_ref_cast<NSAttributedString>(coder->decodeObjectForKey("KRScopeBarGroup attributedLabel"_ns)));
    setGroupSelectionStyle(coder->decodeInt32ForKey("KRScopeBarGroup groupSelectionStyle"_ns));
    setShowsSeparator(coder->decodeBoolForKey("KRScopeBarGroup showsSeparator"_ns));
    setShowsLabel(coder->decodeBoolForKey("KRScopeBarGroup showsLabel"_ns));
    setScopeBar(dynamic_ref_cast<KRScopeBar>(coder->decodeObjectForKey("KRScopeBarGroup scopeBar"_ns)));
    setSelectionIndexes(dynamic_ref_cast<NSIndexSet>(coder->decodeObjectForKey("KRScopeBarGroup selectionIndexes"_ns)));
    setMultipleSelectionPlaceholder(
        dynamic_ref_cast<NSString>(coder->decodeObjectForKey("KRScopeBarGroup multipleSelectionPlaceholder"_ns)));
    setNoSelectionPlaceholder(
        dynamic_ref_cast<NSString>(coder->decodeObjectForKey("KRScopeBarGroup noSelectionPlaceholder"_ns)));
    return Id(this);
}
