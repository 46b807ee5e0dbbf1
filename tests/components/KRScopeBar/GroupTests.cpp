#include "AppKit/NSArrayController.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "ScopeBarFixture.h"

NS_CLASS_DEFINE(RecordingView)
NS_CLASS_DEFINE(FixedButtonCell)
NS_CLASS_DEFINE(FixedPopUpCell)
NS_CLASS_DEFINE(ScopeSource)
NS_CLASS_DEFINE(ScopeDelegate)

namespace {

Ref<NSIndexSet> indexes(std::initializer_list<NSUInteger> list)
{
    auto set = NSMutableIndexSet::indexSet();
    for (auto i : list) set->addIndex(i);
    return set;
}

std::vector<NSUInteger> list(const Ref<NSIndexSet>& set)
{
    std::vector<NSUInteger> out;
    set->enumerateIndexesUsingBlock([&](NSUInteger i, bool*) { out.push_back(i); });
    return out;
}

TEST_F(ScopeBarTest, ClicksReplaceOrToggleAndPostOnlyChanges)
{
    struct Case {
        const char* what;
        int32_t style;
        std::vector<NSUInteger> before;
        std::function<void(KRScopeBarGroup&)> act;
        std::vector<NSUInteger> after;
        bool posts;
    };
    const std::vector<Case> cases = {
        {"single: click the selected",
         KRScopeBarGroup::SingleSelection,
         {1},
         [](auto& g) { g.didClickObject(1); },
         {1},
         false},
        {"single: click another",
         KRScopeBarGroup::SingleSelection,
         {1},
         [](auto& g) { g.didClickObject(2); },
         {2},
         true},
        {"multiple: click the only selected",
         KRScopeBarGroup::MultipleSelection,
         {1},
         [](auto& g) { g.didClickObject(1); },
         {},
         true},
        {"multiple: click another",
         KRScopeBarGroup::MultipleSelection,
         {1},
         [](auto& g) { g.didClickObject(0); },
         {0, 1},
         true},
        {"multiple: select the selected",
         KRScopeBarGroup::MultipleSelection,
         {0, 2},
         [](auto& g) { g.selectObjectWithIndex(2); },
         {0, 2},
         false},
        {"multiple: select by object",
         KRScopeBarGroup::MultipleSelection,
         {0},
         [](auto& g) { g.selectObject(g.objectAtIndex(2)); },
         {0, 2},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bar = barWithGroups({{"a", "b", "c"}}, 600, c.style);
        auto g = bar->groupAtIndex(0);
        g->setSelectionIndexes(indexes({}));
        for (auto i : c.before) g->setSelectionIndexes(indexes({i}));
        if (c.before.size() > 1) g->setSelectionIndexes(indexes({c.before[0], c.before[1]}));
        posted.clear();
        c.act(*g);
        EXPECT_EQ(list(g->selectionIndexes()), c.after);
        EXPECT_EQ(posted, c.posts ? std::vector<std::string>{"g0"} : std::vector<std::string>{});
        if (c.posts) {
            EXPECT_EQ(postedFrom.back().get(), Id(bar).get());
        }
    }
}

TEST_F(ScopeBarTest, GroupWithoutBarOrWithoutRecord)
{
    auto loose = NSObject::alloc<KRScopeBarGroup>()->initWithIdentifier("loose"_ns, KRScopeBarGroup::MultipleSelection);
    EXPECT_EQ(loose->numberOfObjects(), 0u);
    loose->setSelectionIndexes(indexes({3}));
    EXPECT_EQ(posted, (std::vector<std::string>{"loose"}));
    EXPECT_FALSE(postedFrom.back());

    // Linked to a bar that holds no record for it (as while an archive is read).
    auto bar = barWithGroups({{"a"}});
    auto orphan = NSObject::alloc<KRScopeBarGroup>()->initWithIdentifier("orphan"_ns, 0);
    orphan->setScopeBar(bar);
    EXPECT_EQ(orphan->numberOfObjects(), KRScopeBarGroup::kNoRecordCount);
    EXPECT_EQ(orphan->indexForObject("a"_ns), NSUInteger(NSNotFound));
    EXPECT_FALSE(orphan->selectedObjects());
    posted.clear();
    orphan->setSelectionIndexes(indexes({1}));
    EXPECT_EQ(list(orphan->selectionIndexes()), (std::vector<NSUInteger>{1}));
    EXPECT_TRUE(posted.empty());
    // No identifier: the notification carries no user information entry.
    auto anonymous = NSObject::make<KRScopeBarGroup>();
    anonymous->setSelectionIndexes(indexes({0}));
    EXPECT_EQ(posted.back(), "(none)");
}

TEST_F(ScopeBarTest, OutOfRangeIndexesRaise)
{
    auto bar = barWithGroups({{"a", "b"}});
    auto g = bar->groupAtIndex(0);
    struct Case {
        std::function<void()> act;
        std::string name, reason;
    };
    const std::vector<Case> cases = {
        {[&] { g->objectAtIndex(2); }, NSRangeException, "KRScopeBarGroup:objectAtIndex: objectIndex invalid"},
        {[&] { g->didClickObject(5); }, NSRangeException,
         "KRScopeBarGroup:didClickObject_:alwaysSetToOnState: objectIndex invalid"},
        {[&] { g->selectObjectWithIndex(2); }, NSRangeException,
         "KRScopeBarGroup:selectObjectWithIndex: objectIndex invalid"},
        {[&] { g->selectObject("z"_ns); }, NSInvalidArgumentException,
         "KRScopeBarGroup:selectObject theObject not a member of this group"},
        {[&] { bar->insertGroup(NSObject::make<KRScopeBarGroup>(), 3); }, NSRangeException,
         "KRScopeBar:insertGroup:atIndex: groupIndex invalid"},
        {[&] { bar->removeGroupAtIndex(1); }, NSRangeException, "KRScopeBar:removeGroup:atIndex: groupIndex invalid"},
        {[&] { bar->moveGroupWithIndex(1, 0); }, NSRangeException,
         "KRScopeBar:moveGroupWithIndex:toIndex: originalIndex invalid"},
        {[&] { bar->moveGroupWithIndex(0, 1); }, NSRangeException,
         "KRScopeBar:moveGroupWithIndex:toIndex: destinationIndex invalid"},
        {[&] { bar->reloadDataForGroup(1); }, NSRangeException, "KRScopeBar:reloadDataForGroup: groupIndex invalid"},
        {[&] { bar->preparedButtonCellForGroup(1, 0); }, NSRangeException,
         "KRScopeBar:preparedButtonCellForGroup:object: groupIndex invalid"},
        {[&] { bar->preparedButtonCellForGroup(0, 2); }, NSRangeException,
         "KRScopeBar:preparedButtonCellForGroup:object: objectIndex invalid"},
        {[&] { bar->preparedPopUpCellForGroup(1); }, NSRangeException,
         "KRScopeBar:preparedPopUpCellForGroup: groupIndex invalid"},
        {[&] {
             bar->setGroups(NSArray::arrayWithObjects({NSObject::make<KRScopeBarGroup>(), "x"_ns}));
         },
         NSInvalidArgumentException, "KRScopeBar:setGroups: element in array not of class KRScopeBarGroup"},
        {[&] { NSObject::make<KRScopeBarGroupHelper>(); }, "KRScopeBarException",
         "An instance of an KRScopeBarGroupHelper was initialized using init instead of initWithGroup:inScopeBar:"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].reason);
        try {
            cases[i].act();
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name()->UTF8String(), cases[i].name);
            EXPECT_EQ(e.reasonUTF8(), cases[i].reason);
        }
    }
    // insertGroup accepts the end.
    EXPECT_NO_THROW(bar->insertGroup(NSObject::make<KRScopeBarGroup>(), bar->numberOfGroups()));
}

TEST_F(ScopeBarTest, PlaceholdersAndLabels)
{
    auto g = NSObject::make<KRScopeBarGroup>();
    EXPECT_EQ(std::string(g->multipleSelectionPlaceholder()->UTF8String()), "<Multiple>");
    EXPECT_EQ(std::string(g->noSelectionPlaceholder()->UTF8String()), "<Untitled>");
    g->setIdentifier("kind"_ns);
    EXPECT_EQ(std::string(g->noSelectionPlaceholder()->UTF8String()), "kind");
    g->setNoSelectionPlaceholder("Any"_ns);
    g->setMultipleSelectionPlaceholder("Several"_ns);
    EXPECT_EQ(std::string(g->noSelectionPlaceholder()->UTF8String()), "Any");
    EXPECT_EQ(std::string(g->multipleSelectionPlaceholder()->UTF8String()), "Several");

    // Without a bar (or a bar's label colour) the label has no attributes.
    EXPECT_FALSE(g->showsLabel());
    g->setLabel("Kind:"_ns);
    EXPECT_TRUE(g->showsLabel());
    auto plain = g->attributedLabel();
    EXPECT_EQ(std::string(plain->string()->UTF8String()), "Kind:");
    EXPECT_EQ(plain->attributesAtIndex(0, nullptr)->count(), 0u);
    auto bar = makeBar();
    bar->addGroup(g);
    auto styled = g->attributedLabel()->attributesAtIndex(0, nullptr);
    EXPECT_TRUE(dynamic_ref_cast<NSColor>(styled->objectForKey(NSForegroundColorAttributeName))
                    ->isEqual(bar->labelColor().get()));
    EXPECT_EQ(dynamic_ref_cast<NSFont>(styled->objectForKey(NSFontAttributeName))->pointSize(), 11);
    bar->setLabelColor(nullptr);
    EXPECT_EQ(g->attributedLabel()->attributesAtIndex(0, nullptr)->count(), 0u);
    g->setLabel(nullptr);
    EXPECT_FALSE(g->showsLabel());
}

TEST_F(ScopeBarTest, SelectionFollowsABoundArrayControllerBothWays)
{
    auto bar = makeBar();
    auto controller = static_ref_cast<NSArrayController>(NSObject::make<NSArrayController>());
    controller->setContent(NSArray::arrayWithObjects({"red"_ns, "green"_ns, "blue"_ns}));
    auto g = NSObject::alloc<KRScopeBarGroup>()->initWithIdentifier("colour"_ns, KRScopeBarGroup::MultipleSelection);
    bar->addGroup(g);
    g->bind(NSContentBinding, controller, "arrangedObjects"_ns, nullptr);
    EXPECT_EQ(g->numberOfObjects(), 3u);
    EXPECT_EQ(std::string(g->objectAtIndex(2)->description()->UTF8String()), "blue");
    EXPECT_EQ(g->indexForObject("green"_ns), 1u);

    posted.clear();
    controller->setSelectionIndexes(indexes({0, 2}));
    EXPECT_EQ(list(g->selectionIndexes()), (std::vector<NSUInteger>{0, 2}));
    EXPECT_EQ(posted.size(), 1u);
    g->didClickObject(0);
    EXPECT_EQ(list(controller->selectionIndexes()), (std::vector<NSUInteger>{2}));
    EXPECT_EQ(posted.size(), 2u);  // the loop back from the controller posts nothing more
    EXPECT_EQ(std::string(bar->preparedButtonCellForGroup(0, 2)->title()->UTF8String()), "blue");
    EXPECT_EQ(bar->preparedButtonCellForGroup(0, 2)->state(), NSOnState);

    g->unbind(NSContentBinding);
    controller->setSelectionIndexes(indexes({1}));
    EXPECT_EQ(list(g->selectionIndexes()), (std::vector<NSUInteger>{2}));
}

TEST_F(ScopeBarTest, ArrayControllerKeepsItsSelectionInRange)
{
    auto controller = static_ref_cast<NSArrayController>(NSObject::make<NSArrayController>());
    controller->setContent(NSArray::arrayWithObjects({"a"_ns, "b"_ns, "c"_ns}));
    EXPECT_FALSE(controller->canRemove());
    controller->setSelectionIndexes(indexes({1, 7}));
    EXPECT_EQ(list(controller->selectionIndexes()), (std::vector<NSUInteger>{1}));
    EXPECT_TRUE(controller->canRemove());
    controller->addObject("d"_ns);
    EXPECT_EQ(controller->selectionIndex(), 3u);
    controller->insertObjectAtArrangedObjectIndex("z"_ns, 0);
    EXPECT_EQ(std::string(controller->arrangedObjects()->objectAtIndex(0)->description()->UTF8String()), "z");
    controller->setSelectedObjects(NSArray::arrayWithObjects({"b"_ns, "d"_ns}));
    EXPECT_EQ(list(controller->selectionIndexes()), (std::vector<NSUInteger>{2, 4}));
    controller->removeObjectAtArrangedObjectIndex(0);
    EXPECT_EQ(list(controller->selectionIndexes()), (std::vector<NSUInteger>{1, 3}));
    controller->setContent(NSArray::arrayWithObjects({"x"_ns, "y"_ns}));
    EXPECT_EQ(list(controller->selectionIndexes()), (std::vector<NSUInteger>{1}));
}

TEST_F(ScopeBarTest, GroupsAndBarsRoundTripThroughKeyedArchives)
{
    auto bar = barWithGroups({{"a", "b"}, {"c"}});
    auto g = bar->groupAtIndex(1);
    g->setLabel("Where:"_ns);
    g->setGroupSelectionStyle(KRScopeBarGroup::MultipleSelection);
    g->setSelectionIndexes(indexes({0}));
    g->setNoSelectionPlaceholder("Anywhere"_ns);
    g->setShowsLabel(false);  // the archived flag wins over the label
    bar->setMinimumButtonWidth(40);
    bar->setMinimumPopUpWidth(50);
    bar->setIntercellSpacing(3);
    bar->setAutoResizesGroups(false);
    bar->setIbInitialized(true);
    bar->setBorderColor(NSColor::redColor());
    auto accessory = NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(0, 0, 30, 12));
    bar->setAccessoryView(accessory);

    auto data = NSKeyedArchiver::archivedDataWithRootObject(bar);
    ASSERT_TRUE(data);
    auto back = dynamic_ref_cast<KRScopeBar>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->numberOfGroups(), 2u);
    auto g2 = back->groupAtIndex(1);
    EXPECT_EQ(std::string(g2->identifier()->UTF8String()), "g1");
    EXPECT_EQ(std::string(g2->label()->UTF8String()), "Where:");
    EXPECT_FALSE(g2->showsLabel());
    EXPECT_EQ(g2->groupSelectionStyle(), KRScopeBarGroup::MultipleSelection);
    EXPECT_EQ(list(g2->selectionIndexes()), (std::vector<NSUInteger>{0}));
    EXPECT_EQ(std::string(g2->noSelectionPlaceholder()->UTF8String()), "Anywhere");
    EXPECT_EQ(g2->scopeBar().get(), back.get());
    EXPECT_FALSE(back->groupAtIndex(0)->showsSeparator());
    EXPECT_EQ(back->minimumButtonWidth(), 40u);
    EXPECT_EQ(back->minimumPopUpWidth(), 50u);
    EXPECT_EQ(back->intercellSpacing(), 3u);
    EXPECT_FALSE(back->autoResizesGroups());
    EXPECT_TRUE(back->ibInitialized());
    EXPECT_TRUE(back->borderColor()->isEqual(NSColor::redColor().get()));
    EXPECT_TRUE(back->backgroundGradient()->isEqual(bar->backgroundGradient().get()));
    EXPECT_EQ(back->accessoryView()->frame().size, NSMakeSize(30, 12));
    EXPECT_TRUE(dynamic_ref_cast<FixedButtonCell>(back->buttonCell()));
    EXPECT_TRUE(dynamic_ref_cast<FixedPopUpCell>(back->popUpButtonCell()));
    EXPECT_TRUE(back->buttonCell()->showsBorderOnlyWhileMouseInside());
    ASSERT_TRUE(back->overflowPullDownCell());
    EXPECT_TRUE(back->overflowPullDownCell()->pullsDown());
    EXPECT_EQ(back->overflowPullDownCell()->cellSize(), bar->overflowPullDownCell()->cellSize());

    // The archive's keys, the overflow cell's among them.
    const std::string json(reinterpret_cast<const char*>(data->bytes()), data->length());
    for (const char* key :
         {"KRScopeBar groups", "KRScopeBar buttonCell", "KRScopeBar popUpButtonCell", "KRScopeBar overfloPullDownCell",
          "KRScopeBar minimumButtonWidth", "KRScopeBar minimumPopUpWidth", "KRScopeBar intercellSpacing",
          "KRScopeBar accessoryView", "KRScopeBar backgroundGradient", "KRScopeBar borderColor",
          "KRScopeBar separatorColor", "KRScopeBar labelColor", "KRScopeBar autoResizesGroups",
          "KRScopeBar ibInitialized", "KRScopeBarGroup identifier", "KRScopeBarGroup showsLabel",
          "KRScopeBarGroup selectionIndexes", "KRScopeBarGroup noSelectionPlaceholder"})
        EXPECT_NE(json.find(key), std::string::npos) << key;

    // A non-keyed coder gets nothing and gives nil.
    auto flat = NSObject::alloc<KRScopeBarGroup>();
    auto plainArchiver = NSArchiver::create();
    EXPECT_FALSE(flat->initWithCoder(plainArchiver.get()));
}

}  // namespace
