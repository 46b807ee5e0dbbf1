#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListItem.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNotificationCenter.h"
#include "FoundationExtensions/NSArray+ZAKNSArray_Extension.h"

NS_CLASS_DEFINE(ZAKOutlineSourceListItem)

namespace {

using Item = ZAKOutlineSourceListItem;

Ref<Item> asItem(const Id& object) { return dynamic_ref_cast<Item>(object); }

bool containsIdentical(const std::vector<Id>& objects, const NSObject* object)
{
    return std::find_if(objects.begin(), objects.end(), [&](const Id& o) { return o.get() == object; }) !=
           objects.end();
}

void eraseIdentical(std::vector<Id>& objects, const NSObject* object)
{
    std::erase_if(objects, [&](const Id& o) { return o.get() == object; });
}

}

void ZAKOutlineSourceListItem::describeClass(NSClassMembers<ZAKOutlineSourceListItem>& m)
{
    m.property("title", &Item::title, &Item::setTitle);
    m.property("identifier", &Item::identifier, &Item::setIdentifier);
}

Id ZAKOutlineSourceListItem::init()
{
    m_badgeValue = kNoBadge;
    return this;
}

Ref<Item> ZAKOutlineSourceListItem::initWithTitle(const Ref<NSString>& title)
{
    init();
    setTitle(title);
    return Ref<Item>(this);
}

Ref<Item> ZAKOutlineSourceListItem::initWithTitle(const Ref<NSString>& title, const Ref<NSString>& identifier)
{
    initWithTitle(title);
    setIdentifier(identifier);
    return Ref<Item>(this);
}

void ZAKOutlineSourceListItem::setTitle(const Ref<NSString>& title)
{
    m_title = title;
    Ref<Item> self(this);
    if (auto* d = rootDelegate()) d->outlineSourceListItemAttributesChanged(this);
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(ZAKOutlineSourceListItemAttributesChangedEntryNotification), self);
}

// --- Queries ---

Ref<Item> ZAKOutlineSourceListItem::childAtIndex(NSUInteger index) const
{
    if (!m_children || index >= m_children->count())
        NSException::raise(NSRangeException, "-[ZAKOutlineSourceListItem childAtIndex:]: index beyond bounds");
    return asItem(m_children->objectAtIndex(index));
}

NSUInteger ZAKOutlineSourceListItem::indexOfChild(const Ref<Item>& child) const
{
    return m_children ? m_children->indexOfObjectIdenticalTo(child) : NSUInteger(NSNotFound);
}

Ref<NSEnumerator> ZAKOutlineSourceListItem::childEnumerator()
{
    if (!m_children) m_children = NSMutableArray::array();
    return m_children->objectEnumerator();
}

Ref<Item> ZAKOutlineSourceListItem::childWithIdentifier(const Ref<NSString>& identifier) const
{
    if (!m_children || !identifier) return nullptr;
    Ref<Item> found;
    for (const Id& object : m_children->objects())
        if (auto child = asItem(object); child && child->identifier() && child->identifier()->isEqual(identifier.get()))
            found = child;
    return found;
}

Ref<Item> ZAKOutlineSourceListItem::rootObject() const
{
    Ref<Item> node(const_cast<Item*>(this));
    while (auto parent = node->parent()) node = parent;
    return node;
}

bool ZAKOutlineSourceListItem::isDescendantOfNode(const Ref<Item>& node) const
{
    if (!node) return false;
    for (Ref<Item> n(const_cast<Item*>(this)); n; n = n->parent())
        if (n.get() == node.get()) return true;
    return false;
}

bool ZAKOutlineSourceListItem::isDescendantOfNodeInArray(const Ref<NSArray>& nodes) const
{
    if (!nodes) return false;
    for (const Id& node : nodes->objects())
        if (isDescendantOfNode(asItem(node))) return true;
    return false;
}

Ref<NSArray> ZAKOutlineSourceListItem::filteredFlatObjectTreeWithPredicate(const Predicate& predicate,
                                                                           const NSClass& objectClass) const
{
    auto result = NSMutableArray::array();
    if (!m_children) return result;
    const auto ofClass = NSArrayExt::arrayWithObjectsOfClass(m_children, objectClass);
    for (const Id& object : ofClass->objects())
        if (auto child = asItem(object); child && (!predicate || predicate(child))) result->addObject(child);
    for (const Id& object : m_children->snapshot())
        if (auto child = asItem(object))
            result->addObjectsFromArray(child->filteredFlatObjectTreeWithPredicate(predicate, objectClass));
    return result;
}

// --- Tree edits ---

void ZAKOutlineSourceListItem::silentAddChild(const Ref<Item>& child) { silentInsertChild(child, countOfChildren()); }

void ZAKOutlineSourceListItem::silentInsertChild(const Ref<Item>& child, NSUInteger index)
{
    // An item inside itself would make the parent links a loop.
    if (child && isDescendantOfNode(child))
        NSException::raise(NSInvalidArgumentException,
                           "-[ZAKOutlineSourceListItem insertChild:atIndex:]: the child holds this item");
    if (!m_children) m_children = NSMutableArray::array();
    // Inserting checks the index (and a nil child) before anything changes.
    m_children->insertObject(child, index);
    child->setParent(Ref<Item>(this));
}

void ZAKOutlineSourceListItem::addChild(const Ref<Item>& child)
{
    silentAddChild(child);
    announceEntry(true, child, countOfChildren() - 1);
}

void ZAKOutlineSourceListItem::insertChild(const Ref<Item>& child, NSUInteger index)
{
    silentInsertChild(child, index);
    announceEntry(true, child, index);
}

void ZAKOutlineSourceListItem::removeChildAtIndex(NSUInteger index)
{
    Ref<Item> child = childAtIndex(index);
    m_children->removeObjectAtIndex(index);
    // A detached item must not report to, or point at, its old tree.
    if (child && child->parent().get() == this) child->setParent(nullptr);
    announceEntry(false, child, index);
}

void ZAKOutlineSourceListItem::removeChild(const Ref<Item>& child)
{
    const NSUInteger index = indexOfChild(child);
    if (index == NSUInteger(NSNotFound))
        NSException::raise(NSRangeException, "-[ZAKOutlineSourceListItem removeChild:]: not a child of this item");
    removeChildAtIndex(index);
}

void ZAKOutlineSourceListItem::removeChildren(const Ref<NSArray>& children)
{
    if (!children) return;
    for (const Id& child : children->snapshot()) removeChild(asItem(child));
}

void ZAKOutlineSourceListItem::removeAllChildren()
{
    if (!m_children) return;
    removeChildren(NSArray::arrayWithArray(m_children));
}

void ZAKOutlineSourceListItem::setParentForTree()
{
    if (!m_children) return;
    for (const Id& object : m_children->objects())
        if (auto child = asItem(object)) {
            child->setParent(Ref<Item>(this));
            child->setParentForTree();
        }
}

// --- Announcements ---

ZAKOutlineSourceListItemDelegate* ZAKOutlineSourceListItem::rootDelegate() const
{
    return dynamic_cast<ZAKOutlineSourceListItemDelegate*>(rootObject()->m_delegate.get().get());
}

void ZAKOutlineSourceListItem::announceEntry(bool added, const Ref<Item>& child, NSUInteger index)
{
    Ref<Item> self(this);
    if (auto* d = rootDelegate()) {
        if (added) d->outlineSourceListItemDidAddEntryAtIndex(this, child.get(), index);
        else d->outlineSourceListItemDidRemoveEntryAtIndex(this, child.get(), index);
    }
    const char* name =
        added ? ZAKOutlineSourceListItemDidAddEntryNotification : ZAKOutlineSourceListItemDidRemoveEntryNotification;
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(name), child, NSDictionary::dictionaryWithObjectForKey(self, "parent"_ns));
}

// --- Node covers ---

Ref<NSArray> ZAKOutlineSourceListItem::minimumNodeCoverFromNodesInArray(const Ref<NSArray>& nodes)
{
    std::vector<Id> work = nodes ? nodes->snapshot() : std::vector<Id>{};
    std::vector<Id> cover;
    while (!work.empty()) {
        Id node = work.front();
        work.erase(work.begin());
        // Climb while the parent is among the nodes still to place.
        for (auto item = asItem(node); item && item->parent() && containsIdentical(work, item->parent().get());
             item = asItem(node)) {
            eraseIdentical(work, node.get());
            node = item->parent();
        }
        eraseIdentical(work, node.get());
        auto item = asItem(node);
        if (item && item->isDescendantOfNodeInArray(NSArray::arrayWithVector(cover))) continue;
        // A node found later may hold nodes taken before: they give way to it.
        if (item)
            std::erase_if(cover, [&](const Id& c) {
                auto placed = asItem(c);
                return placed && placed->isDescendantOfNode(item);
            });
        else if (containsIdentical(cover, node.get())) continue;
        cover.push_back(node);
    }
    return NSArray::arrayWithVector(std::move(cover));
}

// --- Copying and coding ---

Id ZAKOutlineSourceListItem::copy() const
{
    auto clone = static_ref_cast<Item>(realClass().allocInstance());
    clone->init();
    clone->setTitle(m_title);
    clone->setIdentifier(m_identifier);
    clone->setIcon(m_icon);
    clone->setBadgeValue(m_badgeValue);
    clone->setDelegate(m_delegate.get());
    return clone;
}

void ZAKOutlineSourceListItem::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeObject(m_title, "title"_ns);
    coder->encodeObject(m_identifier, "identifier"_ns);
    coder->encodeObject(m_icon, "icon"_ns);
    coder->encodeObject(m_children, "children"_ns);
    coder->encodeInt64(m_badgeValue, "badgeValue"_ns);
}

Id ZAKOutlineSourceListItem::initWithCoder(NSCoder* coder)
{
    init();
    setTitle(dynamic_ref_cast<NSString>(coder->decodeObjectForKey("title"_ns)));
    setIdentifier(dynamic_ref_cast<NSString>(coder->decodeObjectForKey("identifier"_ns)));
    setIcon(dynamic_ref_cast<NSImage>(coder->decodeObjectForKey("icon"_ns)));
    // Only items are kept as children; anything else in the array is dropped.
    if (auto array = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey("children"_ns))) {
        auto children = NSMutableArray::array();
        for (const Id& object : array->objects())
            if (asItem(object)) children->addObject(object);
        setChildren(children);
    }
    setBadgeValue(coder->containsValueForKey("badgeValue"_ns) ? coder->decodeInt64ForKey("badgeValue"_ns) : kNoBadge);
    return this;
}
