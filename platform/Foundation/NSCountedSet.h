#pragma once
// A set that counts how often each distinct object was added; an object
// leaves when it has been removed as often.
#include "Foundation/NSSet.h"

class NSCountedSet : public NSMutableSet {
    NS_OBJECT(NSCountedSet, NSMutableSet)
protected:
    NSCountedSet() = default;

public:
    static Ref<NSCountedSet> set();
    Id copy() const override;

    void addObject(const Id& object) override;
    void removeObject(const Id& object) override;
    void removeAllObjects() override;
    NSUInteger countForObject(const Id& object) const;

private:
    std::unordered_map<Id, NSUInteger, Hash, Equal> m_counts;
};
