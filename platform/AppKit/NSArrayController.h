#pragma once
// A controller of a list: its content (an array, or the array a
// "contentArray" binding delivers), the arranged objects (here the content
// in its own order: no sorting, no filtering) and a selection of indexes.
// Observers of "arrangedObjects" hear insertions and removals with their
// indexes; observers of "selectionIndexes" (and of "selectionIndex" and
// "selectedObjects", which follow it) hear every change of the selection.
// Adding or removing through the controller writes the new array back to a
// bound model.
#include "AppKit/NSObjectController.h"
#include "Foundation/NSIndexSet.h"

class NSArrayController : public NSObjectController {
    NS_OBJECT(NSArrayController, NSObjectController)
public:
    NSArrayController() = default;

    Id initWithContent(const Id& content) override;
    static void initialize();

    // Any array (nil: empty). The selection keeps the indexes still in range.
    void setContent(const Id& content) override;
    Ref<NSArray> arrangedObjects() const;

    Ref<NSIndexSet> selectionIndexes() const { return m_selectionIndexes; }
    // Indexes past the end are dropped; answers whether the selection changed.
    bool setSelectionIndexes(const Ref<NSIndexSet>& indexes);
    // The first selected index, NSNotFound when none.
    NSUInteger selectionIndex() const;
    bool setSelectionIndex(NSUInteger index);
    Ref<NSArray> selectedObjects() const override;
    // Selects the arranged objects equal to those given.
    bool setSelectedObjects(const Ref<NSArray>& objects);

    // Content not empty and a selection.
    bool canRemove() const override;
    // Appends and selects the object.
    void addObject(const Id& object) override;
    void insertObjectAtArrangedObjectIndex(const Id& object, NSUInteger index);
    void removeObject(const Id& object) override;
    void removeObjectAtArrangedObjectIndex(NSUInteger index);

    static void describeClass(NSClassMembers<NSArrayController>& m);

private:
    Ref<NSMutableArray> list() const;
    // Writes the list back to the model of a "contentArray" binding.
    void writeBack();
    void changeSelection(const Ref<NSIndexSet>& indexes);

    Ref<NSIndexSet> m_selectionIndexes = NSIndexSet::indexSet();
};
