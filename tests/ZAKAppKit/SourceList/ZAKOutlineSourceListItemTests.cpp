// The source list's item: tree edits with their announcements, archives,
// copies and node covers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListItem.h"

namespace {

using Item = ZAKOutlineSourceListItem;

Ref<Item> item(const char* title, const char* identifier = nullptr)
{
    auto i = NSObject::alloc<Item>()->initWithTitle(NSString::stringWithUTF8String(title),
                                                    identifier ? NSString::stringWithUTF8String(identifier) : nullptr);
    return i;
}

std::string titleOf(const Id& object)
{
    auto i = dynamic_ref_cast<Item>(object);
    return i && i->title() ? i->title()->UTF8String() : "nil";
}

std::vector<std::string> titles(const Ref<NSArray>& array)
{
    std::vector<std::string> out;
    for (const Id& o : array->objects()) out.push_back(titleOf(o));
    return out;
}

// Hears the root's delegate messages and the three notifications, in one
// list, in the order they come.
class Announcements : public NSObject, public ZAKOutlineSourceListItemDelegate {
    NS_OBJECT(Announcements, NSObject)
protected:
    Announcements() = default;

public:
    std::vector<std::string> heard;
    std::vector<Id> tokens;

    void listen()
    {
        auto centre = NSNotificationCenter::defaultCenter();
        const std::pair<const char*, const char*> names[] = {
            {ZAKOutlineSourceListItemDidAddEntryNotification, "note add"},
            {ZAKOutlineSourceListItemDidRemoveEntryNotification, "note remove"},
            {ZAKOutlineSourceListItemAttributesChangedEntryNotification, "note title"}};
        for (auto [name, label] : names)
            tokens.push_back(centre->addObserverForName(
                NSString::stringWithUTF8String(name), nullptr, nullptr, [this, label](const Ref<NSNotification>& n) {
                    auto info = n->userInfo();
                    std::string line = std::string(label) + " " + titleOf(n->object());
                    if (info) line += " in " + titleOf(info->objectForKey("parent"_ns));
                    heard.push_back(line);
                }));
    }
    void stop()
    {
        for (auto& t : tokens) NSNotificationCenter::defaultCenter()->removeObserver(t);
        tokens.clear();
    }

    void outlineSourceListItemDidAddEntryAtIndex(Item* parent, Item* child, NSUInteger index) override
    {
        heard.push_back("add " + titleOf(Id(child)) + " in " + titleOf(Id(parent)) + " at " + std::to_string(index));
    }
    void outlineSourceListItemDidRemoveEntryAtIndex(Item* parent, Item* child, NSUInteger index) override
    {
        heard.push_back("remove " + titleOf(Id(child)) + " in " + titleOf(Id(parent)) + " at " + std::to_string(index));
    }
    void outlineSourceListItemAttributesChanged(Item* i) override { heard.push_back("title " + titleOf(Id(i))); }
};

NS_CLASS_DEFINE(Announcements)

class SourceListItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        listener = NSObject::make<Announcements>();
        listener->listen();
    }
    void TearDown() override { listener->stop(); }
    Ref<Announcements> listener;
};

}

TEST_F(SourceListItemTest, NewItemsHaveNoBadgeUntilZero)
{
    auto i = NSObject::make<Item>();
    EXPECT_EQ(i->badgeValue(), -1);
    EXPECT_FALSE(i->hasBadge());
    EXPECT_FALSE(i->hasChildren());
    EXPECT_FALSE(i->hasIcon());
    EXPECT_FALSE(i->children());
    i->setBadgeValue(0);
    EXPECT_TRUE(i->hasBadge());
    // The enumerator makes the (empty) children array.
    EXPECT_FALSE(i->childEnumerator()->nextObject());
    EXPECT_TRUE(i->children());
    EXPECT_FALSE(i->hasChildren());
}

TEST_F(SourceListItemTest, EditsAnnounceToTheRootsDelegateThenByNotification)
{
    auto root = item("root");
    auto group = item("group");
    root->silentAddChild(group);
    root->setDelegate(listener);
    auto a = item("a");
    auto b = item("b");
    listener->heard.clear();
    group->addChild(a);
    group->insertChild(b, 0);
    a->setTitle("a"_ns);
    a->setTitle("a"_ns);  // an equal title announces again
    group->removeChild(a);
    EXPECT_EQ(listener->heard,
              (std::vector<std::string>{"add a in group at 0", "note add a in group", "add b in group at 0",
                                        "note add b in group", "title a", "note title a", "title a", "note title a",
                                        "remove a in group at 1", "note remove a in group"}));
    // A removed item has left the tree: its changes reach only the centre.
    EXPECT_FALSE(a->parent());
    EXPECT_EQ(a->rootObject().get(), a.get());
    listener->heard.clear();
    a->setTitle("renamed"_ns);
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"note title renamed"}));
    // Silent edits and icon, identifier and badge changes announce nothing.
    listener->heard.clear();
    group->silentInsertChild(a, 1);
    a->setBadgeValue(3);
    a->setIdentifier("x"_ns);
    EXPECT_TRUE(listener->heard.empty());
    EXPECT_EQ(a->parent().get(), group.get());
}

TEST_F(SourceListItemTest, RemovalsRaiseOutsideTheChildrenAndAnnounceNothing)
{
    auto lonely = item("lonely");
    auto stranger = item("stranger");
    listener->heard.clear();
    EXPECT_THROW(lonely->removeChildAtIndex(0), NSException);
    EXPECT_THROW(lonely->removeChild(stranger), NSException);
    EXPECT_THROW(lonely->childAtIndex(0), NSException);
    EXPECT_EQ(lonely->indexOfChild(stranger), NSUInteger(NSNotFound));
    EXPECT_TRUE(listener->heard.empty());

    // An item cannot become a child of itself or of its own descendant.
    auto child = item("child");
    lonely->silentAddChild(child);
    EXPECT_THROW(child->addChild(lonely), NSException);
    EXPECT_THROW(lonely->addChild(lonely), NSException);
    EXPECT_EQ(lonely->countOfChildren(), 1u);
    EXPECT_FALSE(lonely->parent());
}

TEST_F(SourceListItemTest, RemoveAllChildrenGoesInOrderOverASnapshot)
{
    auto root = item("root");
    for (const char* t : {"a", "b", "c"}) root->silentAddChild(item(t));
    root->setDelegate(listener);
    listener->stop();
    listener->heard.clear();
    root->removeAllChildren();
    EXPECT_EQ(listener->heard,
              (std::vector<std::string>{"remove a in root at 0", "remove b in root at 0", "remove c in root at 0"}));
    EXPECT_EQ(root->countOfChildren(), 0u);
}

TEST_F(SourceListItemTest, QueriesOverTheTree)
{
    auto root = item("root");
    auto first = item("first", "same");
    auto second = item("second", "same");
    auto nested = item("nested", "deep");
    root->silentAddChild(first);
    root->silentAddChild(second);
    first->silentAddChild(nested);
    EXPECT_EQ(root->childWithIdentifier("same"_ns).get(), second.get());
    EXPECT_FALSE(root->childWithIdentifier("deep"_ns));
    EXPECT_EQ(nested->rootObject().get(), root.get());
    EXPECT_TRUE(nested->isDescendantOfNode(first));
    EXPECT_TRUE(nested->isDescendantOfNode(nested));
    EXPECT_FALSE(first->isDescendantOfNode(nested));
    EXPECT_TRUE(nested->isDescendantOfNodeInArray(NSArray::arrayWithObjects({second, root})));
    EXPECT_FALSE(nested->isDescendantOfNodeInArray(NSArray::arrayWithObjects({second})));
    EXPECT_EQ(root->indexOfChild(second), 1u);

    // Direct matches first, then each child's own, depth first.
    auto deeper = item("deeper", "same");
    nested->silentAddChild(deeper);
    auto matches = root->filteredFlatObjectTreeWithPredicate(
        [](const Ref<Item>& i) { return i->identifier() && i->identifier()->isEqual("same"_ns.get()); },
        Item::staticClass());
    EXPECT_EQ(titles(matches), (std::vector<std::string>{"first", "second", "deeper"}));
    EXPECT_EQ(titles(root->filteredFlatObjectTreeWithPredicate(nullptr, Item::staticClass())),
              (std::vector<std::string>{"first", "second", "nested", "deeper"}));
}

TEST_F(SourceListItemTest, NodeCoversNeverHoldANodeInsideAnother)
{
    auto root = item("root");
    auto parent = item("parent");
    auto child = item("child");
    auto grandchild = item("grandchild");
    auto sibling = item("sibling");
    auto unrelated = item("unrelated");
    root->silentAddChild(parent);
    root->silentAddChild(sibling);
    parent->silentAddChild(child);
    child->silentAddChild(grandchild);
    auto sibling2 = item("sibling2");
    root->silentAddChild(sibling2);

    struct Case {
        std::vector<Ref<Item>> nodes;
        std::vector<std::string> cover;
    } cases[] = {
        {{parent, child, unrelated}, {"parent", "unrelated"}},
        {{sibling, sibling2}, {"sibling", "sibling2"}},
        {{child, parent}, {"parent"}},
        // A grandchild before its grandparent, the parent between them absent.
        {{grandchild, parent}, {"parent"}},
        {{grandchild, root, unrelated}, {"root", "unrelated"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<Id> nodes(c.nodes.begin(), c.nodes.end());
        EXPECT_EQ(titles(Item::minimumNodeCoverFromNodesInArray(NSArray::arrayWithVector(nodes))), c.cover);
    }
}

TEST_F(SourceListItemTest, ACopyIsShallowAndKeepsTheDelegate)
{
    auto root = item("root", "id");
    root->setBadgeValue(7);
    root->setIcon(NSImage::initWithSize(NSMakeSize(16, 16)));
    root->silentAddChild(item("child"));
    root->setDelegate(listener);
    auto parent = item("parent");
    parent->silentAddChild(root);
    listener->heard.clear();

    auto copy = dynamic_ref_cast<Item>(root->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(titleOf(copy), "root");
    EXPECT_TRUE(copy->identifier()->isEqual("id"_ns.get()));
    EXPECT_EQ(copy->icon().get(), root->icon().get());
    EXPECT_EQ(copy->badgeValue(), 7);
    EXPECT_EQ(copy->delegate().get(), listener.get());
    EXPECT_FALSE(copy->children());
    EXPECT_FALSE(copy->parent());
    // The title is set before the delegate: only the centre hears it.
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"note title root"}));
}

TEST_F(SourceListItemTest, ArchivesKeepTheTreeAndTheFiveKeys)
{
    auto root = item("root", "r");
    auto a = item("a", "ia");
    auto b = item("b", "ib");
    auto icon = NSImage::initWithSize(NSMakeSize(4, 3));
    icon->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, 4, 3));
    icon->unlockFocus();
    a->setIcon(icon);
    a->setBadgeValue(12);
    root->silentAddChild(a);
    root->silentAddChild(b);
    a->silentAddChild(item("a1"));

    auto data = NSKeyedArchiver::archivedDataWithRootObject(root);
    auto decoded = dynamic_ref_cast<Item>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(titles(decoded->children()), (std::vector<std::string>{"a", "b"}));
    auto da = decoded->childAtIndex(0);
    EXPECT_TRUE(da->identifier()->isEqual("ia"_ns.get()));
    EXPECT_EQ(da->badgeValue(), 12);
    EXPECT_EQ(decoded->childAtIndex(1)->badgeValue(), -1);
    ASSERT_TRUE(da->icon());
    EXPECT_EQ(da->icon()->size().width, 4);
    EXPECT_EQ(da->icon()->size().height, 3);
    EXPECT_TRUE(da->icon()->PNGRepresentation()->isEqual(icon->PNGRepresentation().get()));
    EXPECT_EQ(titles(da->children()), (std::vector<std::string>{"a1"}));
    // Parents come back only from setParentForTree.
    EXPECT_FALSE(da->parent());
    decoded->setParentForTree();
    EXPECT_EQ(da->parent().get(), decoded.get());
    EXPECT_EQ(da->childAtIndex(0)->parent().get(), da.get());

    // The keys are those of the stored format.
    auto text = std::string(reinterpret_cast<const char*>(data->bytes()), data->length());
    for (const char* key : {"\"title\"", "\"identifier\"", "\"icon\"", "\"children\"", "\"badgeValue\""})
        EXPECT_NE(text.find(key), std::string::npos) << key;
}
