#pragma once
// Sets of unsigned indexes, kept as sorted, disjoint, non-adjacent ranges.
// NSNotFound can never be stored: adding it (or a larger index), or a range
// reaching it, raises NSInvalidArgumentException. A range whose end overflows
// the unsigned type adds nothing.
#include <functional>
#include <vector>

#include "Foundation/NSObject.h"

class NSIndexSet : public NSObject {
    NS_OBJECT(NSIndexSet, NSObject)
protected:
    NSIndexSet() = default;

public:
    static Ref<NSIndexSet> indexSet();
    static Ref<NSIndexSet> indexSetWithIndex(NSUInteger index);
    static Ref<NSIndexSet> indexSetWithIndexesInRange(NSRange range);
    static Ref<NSIndexSet> indexSetWithIndexSet(const Ref<NSIndexSet>& other);

    NSUInteger count() const;
    NSUInteger countOfIndexesInRange(NSRange range) const;
    bool containsIndex(NSUInteger index) const;
    bool containsIndexesInRange(NSRange range) const;
    bool containsIndexes(const Ref<NSIndexSet>& other) const;
    bool intersectsIndexesInRange(NSRange range) const;

    // NSNotFound when there is no such index.
    NSUInteger firstIndex() const;
    NSUInteger lastIndex() const;
    NSUInteger indexGreaterThanIndex(NSUInteger index) const;
    NSUInteger indexGreaterThanOrEqualToIndex(NSUInteger index) const;
    NSUInteger indexLessThanIndex(NSUInteger index) const;
    NSUInteger indexLessThanOrEqualToIndex(NSUInteger index) const;

    // Ascending enumeration; setting *stop ends it.
    void enumerateIndexesUsingBlock(const std::function<void(NSUInteger index, bool* stop)>& block) const;
    void enumerateRangesUsingBlock(const std::function<void(NSRange range, bool* stop)>& block) const;
    const std::vector<NSRange>& ranges() const { return m_ranges; }

    bool isEqualToIndexSet(const Ref<NSIndexSet>& other) const;
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return count(); }
    Ref<NSString> description() const override;
    Id copy() const override;
    Id mutableCopy() const override;

protected:
    void insertRange(NSRange range);
    void eraseRange(NSRange range);
    std::vector<NSRange> m_ranges;
};

class NSMutableIndexSet : public NSIndexSet {
    NS_OBJECT(NSMutableIndexSet, NSIndexSet)
protected:
    NSMutableIndexSet() = default;

public:
    static Ref<NSMutableIndexSet> indexSet();
    static Ref<NSMutableIndexSet> indexSetWithIndex(NSUInteger index);
    static Ref<NSMutableIndexSet> indexSetWithIndexesInRange(NSRange range);

    void addIndex(NSUInteger index);
    void addIndexesInRange(NSRange range);
    void addIndexes(const Ref<NSIndexSet>& other);
    void removeIndex(NSUInteger index);
    void removeIndexesInRange(NSRange range);
    void removeIndexes(const Ref<NSIndexSet>& other);
    void removeAllIndexes() { m_ranges.clear(); }
    // Moves every index at or above start by delta. Shifting down first
    // removes the indexes in [start + delta, start); indexes that would fall
    // below 0 or reach NSNotFound are dropped.
    void shiftIndexesStartingAtIndex(NSUInteger start, NSInteger delta);
    Id copy() const override;
};
