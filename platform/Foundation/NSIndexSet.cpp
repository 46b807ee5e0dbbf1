#include "Foundation/NSIndexSet.h"

#include <algorithm>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSIndexSet)
NS_CLASS_DEFINE(NSMutableIndexSet)

static constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

// Whether a range can be stored: false when it is empty or its end overflows
// (then nothing is added); raises when it would hold NSNotFound.
static bool storableRange(NSRange range)
{
    if (range.length == 0) return false;
    if (range.location > NSUIntegerMax - range.length) return false;
    if (NSMaxRange(range) > kNotFound)
        NSException::raise(NSInvalidArgumentException, "NSIndexSet: range {" + std::to_string(range.location) + ", " +
                                                           std::to_string(range.length) +
                                                           "} exceeds maximum index value of NSNotFound - 1");
    return true;
}

// A single index must lie below NSNotFound.
static NSRange singleIndex(NSUInteger index)
{
    if (index >= kNotFound)
        NSException::raise(NSInvalidArgumentException, "NSIndexSet: index " + std::to_string(index) +
                                                           " exceeds maximum index value of NSNotFound - 1");
    return {index, 1};
}

// The range clipped to what an index set can hold (for queries and removals).
static NSRange clipped(NSRange range)
{
    if (range.location >= kNotFound) return {kNotFound, 0};
    NSUInteger room = kNotFound - range.location;
    return {range.location, std::min(range.length, room)};
}

Ref<NSIndexSet> NSIndexSet::indexSet() { return alloc<NSIndexSet>(); }

Ref<NSIndexSet> NSIndexSet::indexSetWithIndex(NSUInteger index)
{
    return indexSetWithIndexesInRange(singleIndex(index));
}

Ref<NSIndexSet> NSIndexSet::indexSetWithIndexesInRange(NSRange range)
{
    auto s = alloc<NSIndexSet>();
    s->insertRange(range);
    return s;
}

Ref<NSIndexSet> NSIndexSet::indexSetWithIndexSet(const Ref<NSIndexSet>& other)
{
    auto s = alloc<NSIndexSet>();
    if (other) s->m_ranges = other->m_ranges;
    return s;
}

void NSIndexSet::insertRange(NSRange range)
{
    if (!storableRange(range)) return;
    NSUInteger start = range.location, end = NSMaxRange(range);
    // Merge with every range that overlaps or touches [start, end).
    auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), start,
                                  [](const NSRange& r, NSUInteger s) { return NSMaxRange(r) < s; });
    auto last = first;
    while (last != m_ranges.end() && last->location <= end) {
        start = std::min(start, last->location);
        end = std::max(end, NSMaxRange(*last));
        ++last;
    }
    auto at = m_ranges.erase(first, last);
    m_ranges.insert(at, NSRange{start, end - start});
}

void NSIndexSet::eraseRange(NSRange range)
{
    range = clipped(range);
    if (range.length == 0) return;
    NSUInteger start = range.location, end = NSMaxRange(range);
    std::vector<NSRange> kept;
    kept.reserve(m_ranges.size() + 1);
    for (const NSRange& r : m_ranges) {
        NSUInteger rEnd = NSMaxRange(r);
        if (rEnd <= start || r.location >= end) {
            kept.push_back(r);
            continue;
        }
        if (r.location < start) kept.push_back({r.location, start - r.location});
        if (rEnd > end) kept.push_back({end, rEnd - end});
    }
    m_ranges = std::move(kept);
}

NSUInteger NSIndexSet::count() const
{
    NSUInteger n = 0;
    for (const NSRange& r : m_ranges) n += r.length;
    return n;
}

NSUInteger NSIndexSet::countOfIndexesInRange(NSRange range) const
{
    range = clipped(range);
    NSUInteger n = 0;
    for (const NSRange& r : m_ranges) n += NSIntersectionRange(r, range).length;
    return n;
}

bool NSIndexSet::containsIndex(NSUInteger index) const { return containsIndexesInRange({index, 1}); }

bool NSIndexSet::containsIndexesInRange(NSRange range) const
{
    if (range.length == 0 || range.location > NSUIntegerMax - range.length) return false;
    auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), range.location,
                               [](NSUInteger i, const NSRange& r) { return i < r.location; });
    if (it == m_ranges.begin()) return false;
    --it;
    return NSMaxRange(range) <= NSMaxRange(*it);
}

bool NSIndexSet::containsIndexes(const Ref<NSIndexSet>& other) const
{
    if (!other) return true;
    for (const NSRange& r : other->m_ranges)
        if (!containsIndexesInRange(r)) return false;
    return true;
}

bool NSIndexSet::intersectsIndexesInRange(NSRange range) const { return countOfIndexesInRange(range) > 0; }

NSUInteger NSIndexSet::firstIndex() const { return m_ranges.empty() ? kNotFound : m_ranges.front().location; }

NSUInteger NSIndexSet::lastIndex() const { return m_ranges.empty() ? kNotFound : NSMaxRange(m_ranges.back()) - 1; }

NSUInteger NSIndexSet::indexGreaterThanOrEqualToIndex(NSUInteger index) const
{
    for (const NSRange& r : m_ranges) {
        if (index < r.location) return r.location;
        if (index < NSMaxRange(r)) return index;
    }
    return kNotFound;
}

NSUInteger NSIndexSet::indexGreaterThanIndex(NSUInteger index) const
{
    return index >= kNotFound - 1 ? kNotFound : indexGreaterThanOrEqualToIndex(index + 1);
}

NSUInteger NSIndexSet::indexLessThanOrEqualToIndex(NSUInteger index) const
{
    for (auto it = m_ranges.rbegin(); it != m_ranges.rend(); ++it) {
        if (index >= NSMaxRange(*it)) return NSMaxRange(*it) - 1;
        if (index >= it->location) return index;
    }
    return kNotFound;
}

NSUInteger NSIndexSet::indexLessThanIndex(NSUInteger index) const
{
    return index == 0 ? kNotFound : indexLessThanOrEqualToIndex(index - 1);
}

void NSIndexSet::enumerateIndexesUsingBlock(const std::function<void(NSUInteger, bool*)>& block) const
{
    auto ranges = m_ranges;  // the block may change a mutable receiver
    bool stop = false;
    for (const NSRange& r : ranges)
        for (NSUInteger i = r.location; i < NSMaxRange(r); ++i) {
            block(i, &stop);
            if (stop) return;
        }
}

void NSIndexSet::enumerateRangesUsingBlock(const std::function<void(NSRange, bool*)>& block) const
{
    auto ranges = m_ranges;
    bool stop = false;
    for (const NSRange& r : ranges) {
        block(r, &stop);
        if (stop) return;
    }
}

bool NSIndexSet::isEqualToIndexSet(const Ref<NSIndexSet>& other) const { return other && other->m_ranges == m_ranges; }

bool NSIndexSet::isEqual(const NSObject* other) const
{
    auto* s = dynamic_cast<const NSIndexSet*>(other);
    return s && s->m_ranges == m_ranges;
}

Ref<NSString> NSIndexSet::description() const
{
    std::string text = "[number of indexes: " + std::to_string(count()) + " (in " + std::to_string(m_ranges.size()) +
                       " ranges), indexes: (";
    for (size_t i = 0; i < m_ranges.size(); ++i) {
        const NSRange& r = m_ranges[i];
        if (i) text += ' ';
        text += std::to_string(r.location);
        if (r.length > 1) {
            text += '-';
            text += std::to_string(NSMaxRange(r) - 1);
        }
    }
    return NSString::stringWithUTF8String(text + ")]");
}

Id NSIndexSet::copy() const { return const_cast<NSIndexSet*>(this); }

Id NSIndexSet::mutableCopy() const
{
    auto s = alloc<NSMutableIndexSet>();
    s->m_ranges = m_ranges;
    return s;
}

// NSMutableIndexSet

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSet() { return alloc<NSMutableIndexSet>(); }

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSetWithIndex(NSUInteger index)
{
    return indexSetWithIndexesInRange(singleIndex(index));
}

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSetWithIndexesInRange(NSRange range)
{
    auto s = alloc<NSMutableIndexSet>();
    s->insertRange(range);
    return s;
}

void NSMutableIndexSet::addIndex(NSUInteger index) { insertRange(singleIndex(index)); }
void NSMutableIndexSet::addIndexesInRange(NSRange range) { insertRange(range); }
void NSMutableIndexSet::removeIndex(NSUInteger index) { eraseRange({index, 1}); }
void NSMutableIndexSet::removeIndexesInRange(NSRange range) { eraseRange(range); }

void NSMutableIndexSet::addIndexes(const Ref<NSIndexSet>& other)
{
    if (!other) return;
    auto ranges = other->ranges();  // the argument may be the receiver
    for (const NSRange& r : ranges) insertRange(r);
}

void NSMutableIndexSet::removeIndexes(const Ref<NSIndexSet>& other)
{
    if (!other) return;
    auto ranges = other->ranges();
    for (const NSRange& r : ranges) eraseRange(r);
}

void NSMutableIndexSet::shiftIndexesStartingAtIndex(NSUInteger start, NSInteger delta)
{
    if (delta == 0 || start >= kNotFound) return;
    NSUInteger magnitude = delta < 0 ? static_cast<NSUInteger>(-(delta + 1)) + 1 : static_cast<NSUInteger>(delta);
    if (delta < 0) {
        NSUInteger from = magnitude > start ? 0 : start - magnitude;
        eraseRange({from, start - from});
    }
    std::vector<NSRange> shifted;
    std::vector<NSRange> old = std::move(m_ranges);
    m_ranges.clear();
    for (const NSRange& r : old) {
        NSUInteger end = NSMaxRange(r);
        if (end <= start) {
            m_ranges.push_back(r);
            continue;
        }
        if (r.location < start) m_ranges.push_back({r.location, start - r.location});
        shifted.push_back({std::max(r.location, start), end - std::max(r.location, start)});
    }
    for (NSRange r : shifted) {
        NSUInteger end = NSMaxRange(r);
        if (delta < 0) {
            // Drop what would fall below 0.
            if (end <= magnitude) continue;
            NSUInteger lo = r.location > magnitude ? r.location - magnitude : 0;
            insertRange({lo, end - magnitude - lo});
        } else {
            // Drop what would reach NSNotFound.
            if (r.location >= kNotFound - magnitude) continue;
            NSUInteger hi = std::min(end, kNotFound - magnitude);
            insertRange({r.location + magnitude, hi - r.location});
        }
    }
}

Id NSMutableIndexSet::copy() const { return indexSetWithIndexSet(const_cast<NSMutableIndexSet*>(this)); }
