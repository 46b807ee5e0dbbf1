// Saved layouts in the user defaults, state arrays, archives, and a split
// view from an interface file restoring its layout.
#include <fstream>

#include "AppKit/NSNib.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUnarchiver.h"
#include "SplitViewFixture.h"

namespace {
std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "(nil)"; }
}

TEST_F(SplitViewTest, LayoutStringsRoundTrip)
{
    struct Case {
        const char* name;
        std::vector<double> panes;
        double thickness;
        const char* state;  // applied first
        const char* saved;  // then written
    };
    const Case cases[] = {
        {"fractions kept", {200, 200}, 1, "2 120.4 279.6", "2 120.4 279.6"},
        {"six significant digits", {1000, 1000}, 0, "2 1234.5678 765.4322", "2 1234.57 765.432"},
        // A collapsed pane is written as minus its remembered share, a
        // hidden one with H.
        {"collapsed and hidden", {180, 250, 300}, 0, "3 180 -250 300H", "3 180 -250 300H"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto sv = makeSplit(c.panes, c.thickness);
        for (auto& v : sv->subviews()) static_ref_cast<QXSplitSubview>(v)->setCanCollapse(true);
        EXPECT_TRUE(sv->setStateFromString(NSString::stringWithUTF8String(c.state)));
        EXPECT_EQ(text(sv->stringWithSavedState()), c.saved);
        EXPECT_TRUE(sv->mustAdjust());
    }
}

TEST_F(SplitViewTest, BadLayoutStringsChangeNothingOrCountAsZero)
{
    auto sv = makeSplit({100, 100}, 1);
    const std::string before = text(sv->stringWithSavedState());
    for (const char* bad : {"", "3 100 100 100", "2 100", "2 100 100 100", "1 100 100", "2  100 100"}) {
        EXPECT_FALSE(sv->setStateFromString(NSString::stringWithUTF8String(bad))) << bad;
        EXPECT_EQ(text(sv->stringWithSavedState()), before) << bad;
    }
    EXPECT_FALSE(sv->setStateFromString(nullptr));

    // Values that are not numbers count as 0: the pane collapses when it may
    // and no size is ever NaN.
    for (const char* odd : {"2 nan 150", "2 inf 150", "2 wide 150", "2 -inf 150", "2 1e999 150"}) {
        auto two = makeSplit({100, 100}, 1);
        pane(two, 0)->setCanCollapse(true);
        EXPECT_TRUE(two->setStateFromString(NSString::stringWithUTF8String(odd))) << odd;
        two->adjustSubviews();
        for (double d : dims(two)) EXPECT_TRUE(std::isfinite(d)) << odd;
        EXPECT_EQ(dims(two)[0] + dims(two)[1], 200) << odd;
    }
}

TEST_F(SplitViewTest, LayoutsAreSavedUnderTheAutosaveName)
{
    auto outer = makeSplit({100, 100}, 1);
    auto middle =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 100, 100), 2));
    outer->addSubview(middle);
    auto inner =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 100, 100), 2));
    middle->replaceSubview(middle->subviewAtPosition(0), inner);

    // Nothing is saved until a restore was tried, nor without a name.
    outer->adjustSubviews();
    EXPECT_FALSE(outer->saveState(true));
    EXPECT_FALSE(outer->restoreState(true));
    EXPECT_FALSE(outer->saveState(true));
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults()->persistentDomain()->count() == 0);

    outer->setAutosaveName("Browser"_ns, true);
    EXPECT_EQ(text(middle->autosaveName()), "Browser[2]");
    EXPECT_EQ(text(inner->autosaveName()), "Browser[2][0]");
    EXPECT_EQ(text(QXSplitView::defaultsKeyForName("Browser"_ns, false)), "QXSplitView V Browser");
    // The nested ones may save even though nothing was stored for them.
    EXPECT_TRUE(outer->saveState(true));
    EXPECT_EQ(stored("QXSplitView V Browser"), text(outer->stringWithSavedState()));
    EXPECT_EQ(stored("QXSplitView H Browser[2]"), text(middle->stringWithSavedState()));
    EXPECT_EQ(stored("QXSplitView V Browser[2][0]"), text(inner->stringWithSavedState()));

    // Every pass saves, except during a drag.
    outer->setFrameSize(NSMakeSize(400, 100));
    EXPECT_EQ(stored("QXSplitView V Browser"), text(outer->stringWithSavedState()));
    outer->QX___setDragging(true);
    outer->setFrameSize(NSMakeSize(500, 100));
    EXPECT_NE(stored("QXSplitView V Browser"), text(outer->stringWithSavedState()));
    outer->QX___setDragging(false);
    EXPECT_EQ(stored("QXSplitView V Browser"), text(outer->stringWithSavedState()));

    // The same name again keeps the layout; a new one removes both keys.
    NSUserDefaults::standardUserDefaults()->setObject("x"_ns, "QXSplitView H Browser"_ns);
    outer->setAutosaveName("Browser"_ns, true);
    EXPECT_NE(stored("QXSplitView V Browser"), "(none)");
    outer->setAutosaveName("Other"_ns, false);
    EXPECT_EQ(stored("QXSplitView V Browser"), "(none)");
    EXPECT_EQ(stored("QXSplitView H Browser"), "(none)");
    EXPECT_NE(stored("QXSplitView H Browser[2]"), "(none)");  // not recursive

    // The orientation picks the key.
    outer->setHorizontal(true);
    outer->adjustSubviews();
    EXPECT_NE(stored("QXSplitView H Other"), "(none)");
    outer->setAutosaveName(nullptr, true);
    EXPECT_EQ(stored("QXSplitView H Other"), "(none)");
    EXPECT_EQ(text(inner->autosaveName()), "");
}

TEST_F(SplitViewTest, RestoringAppliesTheStoredLayout)
{
    NSUserDefaults::standardUserDefaults()->setObject("2 -150 250"_ns, "QXSplitView V Saved"_ns);
    auto sv = makeSplit({200, 200}, 1);
    pane(sv, 0)->setCanCollapse(true);
    sv->setAutosaveName("Saved"_ns, false);
    EXPECT_TRUE(sv->restoreState(false));
    sv->adjustSubviews();
    EXPECT_EQ(dims(sv), (std::vector<double>{0, 400}));
    EXPECT_NEAR(pane(sv, 0)->dimension(), 150, 1);

    // A string for three subviews is refused by a split view with two, and
    // the current layout is saved over it.
    NSUserDefaults::standardUserDefaults()->setObject("3 100 100 100"_ns, "QXSplitView V Saved"_ns);
    auto other = makeSplit({200, 200}, 1);
    other->setAutosaveName("Saved"_ns, false);
    EXPECT_FALSE(other->restoreState(true));
    other->adjustSubviews();
    EXPECT_EQ(stored("QXSplitView V Saved"), "2 200 200");
}

TEST_F(SplitViewTest, StateArraysFollowTheNesting)
{
    auto outer = makeSplit({100, 100}, 1);
    auto nested =
        static_ref_cast<QXSplitView>(NSObject::alloc<QXSplitView>()->initWithFrame(NSMakeRect(0, 0, 100, 100), 2));
    outer->replaceSubview(pane(outer, 1), nested);
    outer->adjustSubviews();
    auto states = outer->arrayWithStates();
    ASSERT_EQ(states->count(), 3u);
    EXPECT_EQ(states->objectAtIndex(1), Id(NSNull::null()));
    ASSERT_TRUE(dynamic_ref_cast<NSArray>(states->objectAtIndex(2)));
    EXPECT_TRUE(outer->setStatesFromArray(states));
    EXPECT_FALSE(outer->setStatesFromArray(NSArray::arrayWithObjects({states->objectAtIndex(0)})));
    EXPECT_FALSE(outer->setStatesFromArray(
        NSArray::arrayWithObjects({states->objectAtIndex(0), states->objectAtIndex(2), states->objectAtIndex(1)})));
}

TEST_F(SplitViewTest, ArchivesKeepSettingsAndCollapsedPanes)
{
    auto sv = makeSplit({200, 300}, 0);
    sv->setDivider(dividerImage(4, 4, NSColor::redColor()));
    sv->setDividerThickness(6);
    sv->setBackground(NSColor::blueColor());
    sv->setHorizontal(false);
    sv->setAutosaveName("Archived"_ns, false);
    auto first = pane(sv, 0);
    first->setMinDimension(40, 900);
    first->setTag(77);
    first->setCanCollapse(true);
    sv->setFrameSize(NSMakeSize(506, 100));
    first->collapse();
    sv->adjustSubviews();
    ASSERT_TRUE(first->isCollapsed());

    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.insert(allowed.end(),
                   {&QXSplitView::classRecord(), &QXSplitSubview::classRecord(), &NSColor::classRecord()});
    struct Coder {
        const char* name;
        std::function<Ref<NSData>(const Id&)> archive;
        std::function<Id(const Ref<NSData>&)> unarchive;
    };
    const Coder coders[] = {
        {"keyed", [](const Id& o) { return NSKeyedArchiver::archivedDataWithRootObject(o); },
         [&](const Ref<NSData>& d) { return NSKeyedUnarchiver::unarchiveObjectWithData(d, allowed); }},
        {"sequential", [](const Id& o) { return NSArchiver::archivedDataWithRootObject(o); },
         [&](const Ref<NSData>& d) { return NSUnarchiver::unarchiveObjectWithData(d, allowed); }},
    };
    for (const auto& coder : coders) {
        SCOPED_TRACE(coder.name);
        auto copy = dynamic_ref_cast<QXSplitView>(coder.unarchive(coder.archive(sv)));
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->dividerThickness(), 6);
        ASSERT_TRUE(copy->divider());
        EXPECT_TRUE(copy->divider()->isFlipped());
        EXPECT_EQ(copy->divider()->size(), NSMakeSize(4, 4));
        EXPECT_TRUE(copy->background()->isEqual(NSColor::blueColor().get()));
        EXPECT_EQ(text(copy->autosaveName()), "Archived");
        auto copied = copy->subviewAtPosition(0);
        ASSERT_TRUE(copied);
        EXPECT_EQ(copied->minDimension(), 40);
        EXPECT_EQ(copied->maxDimension(), 900);
        EXPECT_EQ(copied->tag(), 77);
        EXPECT_TRUE(copied->isCollapsed());
        EXPECT_EQ(copied->frame().origin.x, first->frame().origin.x);
        copy->adjustSubviews();
        EXPECT_EQ(dims(copy), dims(sv));
    }
}

TEST_F(SplitViewTest, InterfaceFileSplitViewRestoresItsLayoutWhenAwoken)
{
    NSUserDefaults::standardUserDefaults()->setObject("2 90 210"_ns, "QXSplitView V FromFile"_ns);
    const std::string path = m_config + "/Split.json";
    std::ofstream(path) << R"({"version": 1, "objects": [
      {"id": 1, "placeholder": "owner"},
      {"id": 10, "class": "QXSplitView", "keys": {"NSFrame": {"$rect": [0, 0, 301, 80]}, "autosaveName": "FromFile",
        "dividerThickness": 1, "isCoupled": true}, "subviews": [{"$ref": 11}, {"$ref": 12}]},
      {"id": 11, "class": "QXSplitSubview", "keys": {"NSFrame": {"$rect": [0, 0, 150, 80]}, "minDimension": 1,
        "maxDimension": 1000000, "identifier": "left"}},
      {"id": 12, "class": "QXSplitSubview", "keys": {"NSFrame": {"$rect": [151, 0, 150, 80]}, "minDimension": 1,
        "maxDimension": 1000000}}
    ], "topLevelObjects": [{"$ref": 10}]})";
    auto nib = NSObject::alloc<NSNib>()->initWithContentsOfFile(NSString::stringWithUTF8String(path.c_str()));
    ASSERT_TRUE(nib);
    Ref<NSArray> top;
    ASSERT_TRUE(nib->instantiateWithOwner(nullptr, &top));
    auto sv = dynamic_ref_cast<QXSplitView>(top->objectAtIndex(0));
    ASSERT_TRUE(sv);
    EXPECT_EQ(text(sv->subviewAtPosition(0)->identifier()), "left");
    sv->adjustSubviews();
    EXPECT_EQ(dims(sv), (std::vector<double>{90, 210}));
}
