#include "AppKit/NSArrayController.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyValueObserving.h"

NS_CLASS_DEFINE(NSArrayController)

void NSArrayController::describeClass(NSClassMembers<NSArrayController>& m)
{
    m.property("contentArray", &NSArrayController::content, &NSArrayController::setContent);
    m.property("arrangedObjects", &NSArrayController::arrangedObjects);
    m.property("selectionIndexes", &NSArrayController::selectionIndexes, &NSArrayController::changeSelection);
    m.property("selectionIndex", &NSArrayController::selectionIndex);
    m.property("selectedObjects", &NSArrayController::selectedObjects);
}

void NSArrayController::initialize()
{
    auto follows = NSArray::arrayWithObject("selectionIndexes"_ns);
    setKeyPathsForValuesAffectingValueForKey<NSArrayController>("selectionIndex"_ns, follows);
    setKeyPathsForValuesAffectingValueForKey<NSArrayController>(
        "selectedObjects"_ns, NSArray::arrayWithObjects({"selectionIndexes"_ns, "arrangedObjects"_ns}));
    setKeyPathsForValuesAffectingValueForKey<NSArrayController>("canRemove"_ns, follows);
}

Id NSArrayController::initWithContent(const Id& content)
{
    m_selectionIndexes = NSIndexSet::indexSet();
    return NSObjectController::initWithContent(content ? content : Id(NSMutableArray::array()));
}

Ref<NSMutableArray> NSArrayController::list() const { return static_ref_cast<NSMutableArray>(m_content); }

void NSArrayController::setContent(const Id& content)
{
    auto array = dynamic_ref_cast<NSArray>(content);
    willChangeValueForKey("arrangedObjects"_ns);
    m_content = array ? NSMutableArray::arrayWithArray(array) : NSMutableArray::array();
    didChangeValueForKey("arrangedObjects"_ns);
    // Indexes past the new end are no longer selected.
    const NSUInteger n = list()->count();
    if (m_selectionIndexes && m_selectionIndexes->count() && m_selectionIndexes->lastIndex() >= n) {
        auto kept = NSMutableIndexSet::indexSet();
        kept->addIndexes(m_selectionIndexes);
        kept->removeIndexesInRange(NSMakeRange(n, NSUIntegerMax - n));
        changeSelection(kept);
    }
}

Ref<NSArray> NSArrayController::arrangedObjects() const
{
    return m_content ? NSArray::arrayWithArray(list()) : NSArray::array();
}

void NSArrayController::changeSelection(const Ref<NSIndexSet>& indexes) { setSelectionIndexes(indexes); }

bool NSArrayController::setSelectionIndexes(const Ref<NSIndexSet>& indexes)
{
    auto valid = NSMutableIndexSet::indexSet();
    const NSUInteger n = m_content ? list()->count() : 0;
    if (indexes) {
        valid->addIndexes(indexes);
        if (n < NSUIntegerMax) valid->removeIndexesInRange(NSMakeRange(n, NSUIntegerMax - n));
    }
    if (m_selectionIndexes && m_selectionIndexes->isEqualToIndexSet(valid)) return false;
    willChangeValueForKey("selectionIndexes"_ns);
    m_selectionIndexes = NSIndexSet::indexSetWithIndexSet(valid);
    didChangeValueForKey("selectionIndexes"_ns);
    return true;
}

NSUInteger NSArrayController::selectionIndex() const
{
    return m_selectionIndexes->count() ? m_selectionIndexes->firstIndex() : NSUInteger(NSNotFound);
}

bool NSArrayController::setSelectionIndex(NSUInteger index)
{
    return setSelectionIndexes(index == NSUInteger(NSNotFound) ? NSIndexSet::indexSet()
                                                               : NSIndexSet::indexSetWithIndex(index));
}

Ref<NSArray> NSArrayController::selectedObjects() const
{
    if (!m_content) return NSArray::array();
    return list()->objectsAtIndexes(m_selectionIndexes);
}

bool NSArrayController::setSelectedObjects(const Ref<NSArray>& objects)
{
    auto indexes = NSMutableIndexSet::indexSet();
    const NSUInteger n = objects ? objects->count() : 0;
    for (NSUInteger i = 0; i < n; ++i) {
        const NSUInteger at = list()->indexOfObject(objects->objectAtIndex(i));
        if (at != NSUInteger(NSNotFound)) indexes->addIndex(at);
    }
    return setSelectionIndexes(indexes);
}

bool NSArrayController::canRemove() const { return m_editable && list()->count() > 0 && m_selectionIndexes->count(); }

void NSArrayController::addObject(const Id& object) { insertObjectAtArrangedObjectIndex(object, list()->count()); }

void NSArrayController::insertObjectAtArrangedObjectIndex(const Id& object, NSUInteger index)
{
    if (!object || !m_editable) return;
    index = std::min(index, list()->count());
    auto at = NSIndexSet::indexSetWithIndex(index);
    willChangeValuesAtIndexesForKey(NSKeyValueChangeInsertion, at, "arrangedObjects"_ns);
    list()->insertObject(object, index);
    didChangeValuesAtIndexesForKey(NSKeyValueChangeInsertion, at, "arrangedObjects"_ns);
    writeBack();
    setSelectionIndexes(at);  // inserted objects are selected
}

void NSArrayController::removeObject(const Id& object)
{
    const NSUInteger index = list()->indexOfObject(object);
    if (index != NSUInteger(NSNotFound)) removeObjectAtArrangedObjectIndex(index);
}

void NSArrayController::removeObjectAtArrangedObjectIndex(NSUInteger index)
{
    if (!m_editable || index >= list()->count()) return;
    auto at = NSIndexSet::indexSetWithIndex(index);
    willChangeValuesAtIndexesForKey(NSKeyValueChangeRemoval, at, "arrangedObjects"_ns);
    list()->removeObjectAtIndex(index);
    didChangeValuesAtIndexesForKey(NSKeyValueChangeRemoval, at, "arrangedObjects"_ns);
    writeBack();
    // The selection closes up over the removed element.
    auto kept = NSMutableIndexSet::indexSet();
    kept->addIndexes(m_selectionIndexes);
    kept->removeIndex(index);
    kept->shiftIndexesStartingAtIndex(index + 1, -1);
    setSelectionIndexes(kept);
}

void NSArrayController::writeBack()
{
    auto info = infoForBinding(NSContentArrayBinding);
    if (!info) return;
    auto observed = info->objectForKey(NSObservedObjectKey);
    auto keyPath = dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey));
    if (!observed || !keyPath) return;
    observed->setValueForKeyPath(NSArray::arrayWithArray(list()), keyPath);
}
