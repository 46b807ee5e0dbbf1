#include "Foundation/NSIndexPath.h"

#include <algorithm>

#include "Foundation/NSClass.h"
#include "Foundation/NSString.h"

NS_CLASS_DEFINE(NSIndexPath)

Ref<NSIndexPath> NSIndexPath::indexPath() { return alloc<NSIndexPath>(); }

Ref<NSIndexPath> NSIndexPath::indexPathWithIndex(NSUInteger index)
{
    return indexPathWithIndexes(std::vector<NSUInteger>{index});
}

Ref<NSIndexPath> NSIndexPath::indexPathWithIndexes(const NSUInteger* indexes, NSUInteger length)
{
    if (!indexes) length = 0;
    return indexPathWithIndexes(std::vector<NSUInteger>(indexes, indexes + length));
}

Ref<NSIndexPath> NSIndexPath::indexPathWithIndexes(std::vector<NSUInteger> indexes)
{
    auto p = alloc<NSIndexPath>();
    p->m_indexes = std::move(indexes);
    return p;
}

NSUInteger NSIndexPath::indexAtPosition(NSUInteger position) const
{
    return position < m_indexes.size() ? m_indexes[position] : static_cast<NSUInteger>(NSNotFound);
}

Ref<NSIndexPath> NSIndexPath::indexPathByAddingIndex(NSUInteger index) const
{
    auto v = m_indexes;
    v.push_back(index);
    return indexPathWithIndexes(std::move(v));
}

Ref<NSIndexPath> NSIndexPath::indexPathByRemovingLastIndex() const
{
    auto v = m_indexes;
    if (!v.empty()) v.pop_back();
    return indexPathWithIndexes(std::move(v));
}

int NSIndexPath::compare(const Ref<NSIndexPath>& other) const
{
    if (!other) return 1;
    auto r = std::lexicographical_compare_three_way(m_indexes.begin(), m_indexes.end(), other->m_indexes.begin(),
                                                    other->m_indexes.end());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool NSIndexPath::isEqual(const NSObject* other) const
{
    auto* p = dynamic_cast<const NSIndexPath*>(other);
    return p && p->m_indexes == m_indexes;
}

NSUInteger NSIndexPath::hash() const { return HashFNV1a(m_indexes); }

Ref<NSString> NSIndexPath::description() const
{
    std::string path;
    for (size_t i = 0; i < m_indexes.size(); ++i) path += (i ? " - " : "") + std::to_string(m_indexes[i]);
    return NSString::stringWithUTF8String("{length = " + std::to_string(m_indexes.size()) + ", path = " + path + "}");
}
