#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "ScopeBarFixture.h"

namespace {

TEST_F(ScopeBarTest, NewBarAndItsGroups)
{
    auto bar = static_ref_cast<KRScopeBar>(NSObject::alloc<KRScopeBar>()->initWithFrame(NSMakeRect(0, 0, 300, 25)));
    EXPECT_FALSE(bar->groups());
    EXPECT_EQ(bar->numberOfGroups(), 0u);
    EXPECT_EQ(bar->minimumButtonWidth(), 70u);
    EXPECT_EQ(bar->minimumPopUpWidth(), 70u);
    EXPECT_EQ(bar->intercellSpacing(), 5u);
    EXPECT_TRUE(bar->autoResizesGroups());
    EXPECT_EQ(KRScopeBar::barMargin(), 11u);
    EXPECT_EQ(KRScopeBar::groupSpacing(), 11u);
    EXPECT_EQ(KRScopeBar::accessoryGap(), 11u);
    auto first = bar->addGroup();
    auto second = bar->addGroup();
    EXPECT_FALSE(first->showsSeparator());
    EXPECT_TRUE(second->showsSeparator());
    EXPECT_EQ(bar->groups()->count(), 2u);
    EXPECT_EQ(first->scopeBar().get(), bar.get());
    // The templates the bar draws copies of.
    auto cell = bar->buttonCell();
    EXPECT_EQ(cell->bezelStyle(), NSRecessedBezelStyle);
    EXPECT_EQ(cell->buttonType(), NSPushOnPushOffButton);
    EXPECT_TRUE(cell->showsBorderOnlyWhileMouseInside());
    EXPECT_EQ(cell->lineBreakMode(), NSUInteger(NSLineBreakByTruncatingTail));
    EXPECT_NE(bar->buttonCell().get(), bar->buttonCell().get());
    auto popUp = bar->popUpButtonCell();
    EXPECT_FALSE(popUp->usesItemFromMenu());
    EXPECT_FALSE(popUp->altersStateOfSelectedItem());
    EXPECT_EQ(popUp->arrowPosition(), NSPopUpArrowAtBottom);
    EXPECT_EQ(bar->overflowPullDownCell().get(), bar->overflowPullDownCell().get());
    EXPECT_EQ(bar->overflowPullDownCell()->numberOfItems(), 1);

    // Removing unlinks; moving keeps the records.
    bar->moveGroupWithIndex(0, 1);
    EXPECT_EQ(bar->groupAtIndex(1).get(), first.get());
    bar->removeGroup(first);
    EXPECT_FALSE(first->scopeBar());
    EXPECT_EQ(bar->indexOfGroup(first), NSUInteger(NSNotFound));
    bar->removeGroup(first);  // ignored
    EXPECT_EQ(bar->numberOfGroups(), 1u);
    first->setLabel("later"_ns);  // reloads nothing
}

TEST_F(ScopeBarTest, SingleSelectionRuleAtReload)
{
    auto bar = makeBar();
    source = NSObject::make<ScopeSource>();
    source->set({{"a", "b", "c"}, {"x", "y"}});
    bar->setDataSource(source);
    auto delegate = NSObject::make<ScopeDelegate>();
    delegate->refusedObjects = {"a"};
    bar->setDelegate(delegate);
    auto single = NSObject::alloc<KRScopeBarGroup>()->initWithIdentifier("g0"_ns, KRScopeBarGroup::SingleSelection);
    auto multiple = NSObject::alloc<KRScopeBarGroup>()->initWithIdentifier("g1"_ns, KRScopeBarGroup::MultipleSelection);
    bar->addGroup(single);
    bar->addGroup(multiple);
    posted.clear();
    bar->reloadData();
    // The first object the delegate allows; multiple selection is left alone.
    EXPECT_EQ(single->selectedObject()->description()->UTF8String(), std::string("b"));
    EXPECT_FALSE(multiple->selectedObjects());
    EXPECT_EQ(posted, (std::vector<std::string>{"g0"}));
    // Several selected in a single-selection group: the lowest stays.
    auto m = NSMutableIndexSet::indexSet();
    m->addIndex(1);
    m->addIndex(2);
    single->setSelectionIndexes(m);  // reloads, which applies the rule
    EXPECT_EQ(single->selectionIndexes()->count(), 1u);
    EXPECT_EQ(single->selectionIndexes()->firstIndex(), 1u);
    // Nothing allowed: nothing selected.
    delegate->refusedObjects = {"x", "y"};
    multiple->setGroupSelectionStyle(KRScopeBarGroup::SingleSelection);
    EXPECT_FALSE(multiple->selectedObject());
}

TEST_F(ScopeBarTest, DelegateHearsItsOwnBarOnceAndIsReplaceable)
{
    auto bar = barWithGroups({{"a", "b"}});
    auto other = barWithGroups({{"c", "d"}});
    auto delegate = NSObject::make<ScopeDelegate>();
    bar->setDelegate(delegate);
    other->setDelegate(delegate);
    bar->groupAtIndex(0)->didClickObject(1);
    EXPECT_EQ(delegate->heard.size(), 1u);
    EXPECT_EQ(delegate->heardFrom.back().get(), Id(bar).get());
    other->groupAtIndex(0)->didClickObject(1);
    EXPECT_EQ(delegate->heard.size(), 2u);
    EXPECT_EQ(delegate->heardFrom.back().get(), Id(other).get());

    // Off the view tree it hears nothing; back in, it hears again.
    show(bar);
    bar->removeFromSuperview();
    bar->groupAtIndex(0)->didClickObject(0);
    EXPECT_EQ(delegate->heard.size(), 2u);
    m_window->contentView()->addSubview(bar);
    bar->groupAtIndex(0)->didClickObject(1);
    EXPECT_EQ(delegate->heard.size(), 3u);

    auto replacement = NSObject::make<ScopeDelegate>();
    bar->setDelegate(replacement);
    bar->groupAtIndex(0)->didClickObject(0);
    EXPECT_EQ(delegate->heard.size(), 3u);
    EXPECT_EQ(replacement->heard.size(), 1u);
    // A delegate that goes away is simply not called.
    replacement = nullptr;
    bar->groupAtIndex(0)->didClickObject(1);
}

TEST_F(ScopeBarTest, AccessoryViewReplacesEverySubview)
{
    auto bar = makeBar();
    auto stray = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 5, 5));
    bar->addSubview(stray);
    auto accessory = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 40, 15));
    bar->setAccessoryView(accessory);
    ASSERT_EQ(bar->subviews().size(), 1u);
    EXPECT_EQ(bar->subviews()[0].get(), accessory.get());
    EXPECT_FALSE(stray->superview());
}

TEST_F(ScopeBarTest, PreparedCellsShowObjectsAndPlaceholders)
{
    auto bar = barWithGroups({{"alpha", "beta", "gamma"}}, 600, KRScopeBarGroup::MultipleSelection);
    auto g = bar->groupAtIndex(0);
    struct Case {
        std::vector<NSUInteger> selected;
        std::string title;
        bool borderAlways;
    };
    for (const Case& c : {Case{{}, "g0", false}, Case{{1}, "beta", true}, Case{{0, 2}, "<Multiple>", true}}) {
        auto set = NSMutableIndexSet::indexSet();
        for (auto i : c.selected) set->addIndex(i);
        g->setSelectionIndexes(set);
        auto cell = bar->preparedPopUpCellForGroup(0);
        EXPECT_EQ(cell->title()->UTF8String(), c.title);
        EXPECT_EQ(cell->menuItem()->state(), NSOnState);
        EXPECT_EQ(!cell->showsBorderOnlyWhileMouseInside(), c.borderAlways);
    }
    auto button = bar->preparedButtonCellForGroup(0, 2);
    EXPECT_EQ(std::string(button->title()->UTF8String()), "gamma");
    EXPECT_EQ(button->state(), NSOnState);
    EXPECT_EQ(bar->preparedButtonCellForGroup(0, 1)->state(), NSOffState);
}

// --- Cells ---

TEST_F(ScopeBarTest, ButtonCellLookFollowsStateAndMouse)
{
    auto cell = static_ref_cast<KRButtonCell>(NSObject::alloc<KRButtonCell>()->initTextCell("Title"_ns));
    cell->setState(NSMixedState);
    EXPECT_FALSE(cell->selected());
    cell->setState(NSOnState);
    EXPECT_TRUE(cell->selected());
    cell->setState(NSOffState);

    auto textOf = [&](bool mouseInside) {
        if (mouseInside) cell->mouseEntered(nullptr);
        else cell->mouseExited(nullptr);
        auto rec = CGRecordingContext::create({200, 40});
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, false));
        cell->drawWithFrame(NSMakeRect(0, 0, 120, 20), nullptr);
        NSGraphicsContext::restoreGraphicsState();
        for (const auto& op : rec->operations())
            if (op.kind == CGRecordedOperation::Kind::Glyphs) return op;
        ADD_FAILURE() << "no text drawn";
        return CGRecordedOperation{};
    };
    const auto hovered = textOf(true);
    EXPECT_TRUE(cell->mouseOver());
    EXPECT_EQ(hovered.paint.color, (CGRGBA{1, 1, 1, 1}));
    EXPECT_TRUE(hovered.shadow.enabled);
    EXPECT_EQ(hovered.fontSize, 11);
    const auto plain = textOf(false);
    EXPECT_NEAR(plain.paint.color.r, 0.25, 1e-6);
    EXPECT_EQ(plain.fontSize, 11);
    // A copy keeps every setting.
    cell->setShowsBorderOnlyWhileMouseInside(true);
    cell->setLineBreakMode(NSLineBreakByTruncatingTail);
    auto copy = static_ref_cast<KRButtonCell>(cell->copy());
    EXPECT_TRUE(copy->showsBorderOnlyWhileMouseInside());
    EXPECT_EQ(copy->lineBreakMode(), NSUInteger(NSLineBreakByTruncatingTail));
}

TEST_F(ScopeBarTest, OverflowCellAlwaysPullsDownAndMeasuresItsImage)
{
    for (bool asked : {false, true}) {
        auto cell = NSObject::alloc<KROverflowPullDownCell>()->initTextCell(""_ns, asked);
        EXPECT_TRUE(cell->pullsDown());
        EXPECT_EQ(cell->arrowPosition(), NSPopUpNoArrow);
        EXPECT_EQ(cell->imagePosition(), NSImageOnly);
        EXPECT_FALSE(cell->isBordered());
        EXPECT_EQ(cell->cellSize(), NSZeroSize);  // no item
        cell->addItemWithTitle("face"_ns);
        EXPECT_EQ(cell->cellSize(), NSZeroSize);  // an item without an image
        cell->itemAtIndex(0)->setImage(NSImage::initWithSize(NSMakeSize(14, 10)));
        EXPECT_EQ(cell->cellSize(), NSMakeSize(26, 10));
    }
    auto bar = makeBar();
    EXPECT_EQ(bar->overflowPullDownCell()->cellSize(), NSMakeSize(26, 10));  // the bundle's image
}

}  // namespace
