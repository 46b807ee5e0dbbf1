#pragma once
// A tree node for source lists: title, identifier, icon, badge number and an
// ordered list of children with a weak link to the parent. Changes of the
// tree and of a title are announced twice: to the delegate of the tree's
// root (looked up when the change happens) and as notifications on the
// default centre. Items archive with keyed coding ("title", "identifier",
// "icon", "children", "badgeValue"); a decoded tree gets its parent links
// back from setParentForTree. A copy is shallow: no children, no parent.
#include <functional>

#include "AppKit/NSImage.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSEnumerator.h"
#include "Foundation/NSString.h"

class ZAKOutlineSourceListItem;

inline constexpr char ZAKOutlineSourceListItemDidAddEntryNotification[] =
    "ZAKOutlineSourceListItemDidAddEntryNotification";
inline constexpr char ZAKOutlineSourceListItemDidRemoveEntryNotification[] =
    "ZAKOutlineSourceListItemDidRemoveEntryNotification";
inline constexpr char ZAKOutlineSourceListItemAttributesChangedEntryNotification[] =
    "ZAKOutlineSourceListItemAttributesChangedEntryNotification";

// What the root item's delegate hears; every method is optional.
class ZAKOutlineSourceListItemDelegate {
public:
    virtual ~ZAKOutlineSourceListItemDelegate() = default;
    virtual void outlineSourceListItemDidAddEntryAtIndex(ZAKOutlineSourceListItem*, ZAKOutlineSourceListItem*,
                                                         NSUInteger)
    { }
    virtual void outlineSourceListItemDidRemoveEntryAtIndex(ZAKOutlineSourceListItem*, ZAKOutlineSourceListItem*,
                                                            NSUInteger)
    { }
    virtual void outlineSourceListItemAttributesChanged(ZAKOutlineSourceListItem*) { }
};

class ZAKOutlineSourceListItem : public NSObject, public NSCoding {
    NS_OBJECT(ZAKOutlineSourceListItem, NSObject)
protected:
    ZAKOutlineSourceListItem() = default;

public:
    // Tests the children collected by filteredFlatObjectTree.
    using Predicate = std::function<bool(const Ref<ZAKOutlineSourceListItem>&)>;
    static constexpr int64_t kNoBadge = -1;

    Id init() override;
    Ref<ZAKOutlineSourceListItem> initWithTitle(const Ref<NSString>& title);
    Ref<ZAKOutlineSourceListItem> initWithTitle(const Ref<NSString>& title, const Ref<NSString>& identifier);

    // --- Properties ---
    Ref<NSString> title() const { return m_title; }
    // Announces every call, also with an equal title.
    void setTitle(const Ref<NSString>& title);
    Ref<NSString> identifier() const { return m_identifier; }
    void setIdentifier(const Ref<NSString>& identifier) { m_identifier = identifier; }
    Ref<NSImage> icon() const { return m_icon; }
    void setIcon(const Ref<NSImage>& icon) { m_icon = icon; }
    // -1: no badge.
    int64_t badgeValue() const { return m_badgeValue; }
    void setBadgeValue(int64_t value) { m_badgeValue = value; }
    Ref<ZAKOutlineSourceListItem> parent() const { return m_parent.get(); }
    void setParent(const Ref<ZAKOutlineSourceListItem>& parent) { m_parent = parent; }
    // Heard on the root item only.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    // nil until the first child is added.
    Ref<NSMutableArray> children() const { return m_children; }
    void setChildren(const Ref<NSMutableArray>& children) { m_children = children; }

    // --- Queries ---
    bool hasBadge() const { return m_badgeValue >= 0; }
    bool hasChildren() const { return m_children && m_children->count() > 0; }
    bool hasIcon() const { return bool(m_icon); }
    NSUInteger countOfChildren() const { return m_children ? m_children->count() : 0; }
    // Raises NSRangeException outside the children.
    Ref<ZAKOutlineSourceListItem> childAtIndex(NSUInteger index) const;
    // By identity; NSNotFound when absent.
    NSUInteger indexOfChild(const Ref<ZAKOutlineSourceListItem>& child) const;
    Ref<NSEnumerator> childEnumerator();
    // The last child with an equal identifier, or nil.
    Ref<ZAKOutlineSourceListItem> childWithIdentifier(const Ref<NSString>& identifier) const;
    // The item above all others, following the parents (itself without parent).
    Ref<ZAKOutlineSourceListItem> rootObject() const;
    // Whether the node is this item or one of its ancestors.
    bool isDescendantOfNode(const Ref<ZAKOutlineSourceListItem>& node) const;
    bool isDescendantOfNodeInArray(const Ref<NSArray>& nodes) const;
    // The children of the class that pass the test, then for each child in
    // order its own result: direct matches precede deeper ones.
    Ref<NSArray> filteredFlatObjectTreeWithPredicate(const Predicate& predicate, const NSClass& objectClass) const;

    // --- Tree edits ---
    void silentAddChild(const Ref<ZAKOutlineSourceListItem>& child);
    void silentInsertChild(const Ref<ZAKOutlineSourceListItem>& child, NSUInteger index);
    void addChild(const Ref<ZAKOutlineSourceListItem>& child);
    void insertChild(const Ref<ZAKOutlineSourceListItem>& child, NSUInteger index);
    // The removed child no longer has a parent.
    void removeChildAtIndex(NSUInteger index);
    // Raises NSRangeException for an item that is not a child.
    void removeChild(const Ref<ZAKOutlineSourceListItem>& child);
    void removeChildren(const Ref<NSArray>& children);
    void removeAllChildren();
    // Points every descendant at its parent again (after decoding).
    void setParentForTree();

    // The smallest set of the nodes whose subtrees hold all of them, in the
    // order found; never a node inside another.
    static Ref<NSArray> minimumNodeCoverFromNodesInArray(const Ref<NSArray>& nodes);

    // --- Copying and coding ---
    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<ZAKOutlineSourceListItem>& m);

private:
    ZAKOutlineSourceListItemDelegate* rootDelegate() const;
    void announceEntry(bool added, const Ref<ZAKOutlineSourceListItem>& child, NSUInteger index);

    Ref<NSString> m_title;
    Ref<NSString> m_identifier;
    Ref<NSImage> m_icon;
    int64_t m_badgeValue = kNoBadge;
    Weak<ZAKOutlineSourceListItem> m_parent;
    Weak<NSObject> m_delegate;
    Ref<NSMutableArray> m_children;
};
