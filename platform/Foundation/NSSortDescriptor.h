#pragma once
// Sort descriptors: a key path, a direction and a comparison selector
// ("compare:" unless given), as table columns and sorted arrays use them.
#include "Foundation/NSComparison.h"
#include "Foundation/NSString.h"

class NSArray;

class NSSortDescriptor : public NSObject {
    NS_OBJECT(NSSortDescriptor, NSObject)
protected:
    NSSortDescriptor() = default;

public:
    static Ref<NSSortDescriptor> sortDescriptorWithKey(const Ref<NSString>& key, bool ascending,
                                                       const SEL& selector = "compare:");
    static Ref<NSSortDescriptor> sortDescriptorWithKey(const Ref<NSString>& key, bool ascending,
                                                       const NSComparator& comparator);

    const Ref<NSString>& key() const { return m_key; }
    bool ascending() const { return m_ascending; }
    const SEL& selector() const { return m_selector; }
    Ref<NSSortDescriptor> reversedSortDescriptor() const;

    // Compares the objects' values for the key path (the objects themselves
    // when there is no key); a nil value orders before any other.
    int compareObject(const Id& a, const Id& b) const;
    // Applies the descriptors in turn until one tells the objects apart.
    static int compareObjects(const Id& a, const Id& b, const Ref<NSArray>& descriptors);

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSSortDescriptor*>(this); }

    static void describeClass(NSClassMembers<NSSortDescriptor>& m);

private:
    Ref<NSString> m_key;
    bool m_ascending = true;
    SEL m_selector = "compare:";
    NSComparator m_comparator;
};
