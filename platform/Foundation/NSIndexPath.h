#pragma once
// A path of indexes into nested collections (tree nodes, table rows).
#include <initializer_list>
#include <vector>

#include "Foundation/NSObject.h"

class NSIndexPath : public NSObject {
    NS_OBJECT(NSIndexPath, NSObject)
protected:
    NSIndexPath() = default;

public:
    static Ref<NSIndexPath> indexPath();
    static Ref<NSIndexPath> indexPathWithIndex(NSUInteger index);
    static Ref<NSIndexPath> indexPathWithIndexes(const NSUInteger* indexes, NSUInteger length);
    static Ref<NSIndexPath> indexPathWithIndexes(std::vector<NSUInteger> indexes);

    NSUInteger length() const { return m_indexes.size(); }
    // NSNotFound past the end.
    NSUInteger indexAtPosition(NSUInteger position) const;
    const std::vector<NSUInteger>& indexes() const { return m_indexes; }
    Ref<NSIndexPath> indexPathByAddingIndex(NSUInteger index) const;
    // An empty path stays empty.
    Ref<NSIndexPath> indexPathByRemovingLastIndex() const;
    // Index by index; a path that is a prefix of the other orders first.
    int compare(const Ref<NSIndexPath>& other) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSIndexPath*>(this); }

private:
    std::vector<NSUInteger> m_indexes;
};
