#include <gtest/gtest.h>

#include "AppKit/NSButton.h"
#include "AppKit/NSToolbarView.h"
#include "Foundation/NSUserDefaults.h"
#include "LogCapture.h"
#include "PaneRecording.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPrefPaneIconView.h"
#include "ZAKAppKit/ZAKWindow/ZAKWindow.h"

NS_CLASS_DEFINE(RecordingPane)
NS_CLASS_DEFINE(RecordingPaneDelegate)

namespace {

std::vector<std::string> strings(const Ref<NSArray>& array)
{
    std::vector<std::string> out;
    for (auto& s : array->snapshot()) out.push_back(static_ref_cast<NSString>(s)->UTF8String());
    return out;
}

}  // namespace

// Each test makes the process's one controller (CTest runs every test in a
// process of its own); the defaults live in a fresh folder.
class PreferenceWindowTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
        NSUserDefaults::resetStandardUserDefaults();
    }
    void TearDown() override
    {
        WindowingTest::TearDown();
        NSUserDefaults::resetStandardUserDefaults();
    }

    Ref<ZAKPreferenceWindowController> makeController(bool configurationPane = false)
    {
        auto controller = ZAKPreferenceWindowController::allocController();
        EXPECT_TRUE(controller) << "one controller per process";
        controller->initWithAutosaveName("Prefs"_ns);
        controller->setUsesConfigurationPane(configurationPane);
        return controller;
    }
    static void finishAnimations()
    {
        Clock::advance(1);
        pump();
    }

    HookLog log;
    TemporaryFolder m_config;
};

TEST_F(PreferenceWindowTest, PanesKeepTheirInsertionOrderAndIdentifiers)
{
    auto controller = makeController();
    auto delegate = NSObject::make<RecordingPaneDelegate>();
    delegate->refused = {"Refused"};
    controller->setDelegate(delegate);
    auto b = RecordingPane::make("B", &log, NSMakeSize(300, 200));
    auto a = RecordingPane::make("A", &log, NSMakeSize(300, 200));
    EXPECT_TRUE(controller->addPaneWithIdentifier(b, "B"_ns));
    EXPECT_TRUE(controller->addPaneWithIdentifier(a, "A"_ns));
    EXPECT_EQ(b->sortOrder(), 0u);
    EXPECT_EQ(a->sortOrder(), 1u);
    EXPECT_FALSE(controller->addPaneWithIdentifier(RecordingPane::make("B", &log, NSMakeSize(1, 1)), "B"_ns));
    EXPECT_EQ(controller->prefPaneWithIdentifier("B"_ns).get(), b.get());
    EXPECT_FALSE(
        controller->addPaneWithIdentifier(RecordingPane::make("Refused", &log, NSMakeSize(1, 1)), "Refused"_ns));
    EXPECT_FALSE(controller->addPaneWithIdentifier(NSObject::make<NSObject>(), "Plain"_ns));
    EXPECT_EQ(strings(controller->validPrefPaneIdentifiers()), (std::vector<std::string>{"B", "A"}));

    auto window = controller->window();
    auto toolbar = window->toolbar();
    ASSERT_TRUE(toolbar);
    EXPECT_TRUE(toolbar->identifier()->isEqualToString("ZAKPPToolbar"_ns));
    std::vector<std::string> items;
    for (auto& item : toolbar->items()->snapshot())
        items.push_back(static_ref_cast<NSToolbarItem>(item)->itemIdentifier()->UTF8String());
    EXPECT_EQ(items, (std::vector<std::string>{"B", "A"}));
    // Without the configuration pane: no show-all, no customising.
    EXPECT_FALSE(toolbar->allowsUserCustomization());
    EXPECT_TRUE(toolbar->autosavesConfiguration());
    // The first item is selected and shown.
    EXPECT_EQ(controller->activePane().get(), b.get());
    EXPECT_TRUE(toolbar->selectedItemIdentifier()->isEqualToString("B"_ns));
    EXPECT_TRUE(window->title()->isEqualToString("Pane B"_ns));
    EXPECT_TRUE(dynamic_ref_cast<ZAKWindow>(window));
    EXPECT_FALSE(window->showsToolbarButton());
}

TEST_F(PreferenceWindowTest, SelectionRunsItsStepsInOrder)
{
    auto controller = makeController();
    auto delegate = NSObject::make<RecordingPaneDelegate>();
    delegate->log = &log;
    controller->setDelegate(delegate);
    auto a = RecordingPane::make("A", &log, NSMakeSize(300, 200));
    auto b = RecordingPane::make("B", &log, NSMakeSize(400, 250));
    auto empty = RecordingPane::make("Empty", &log, NSZeroSize);
    controller->addPaneWithIdentifier(a, "A"_ns);
    controller->addPaneWithIdentifier(b, "B"_ns);
    controller->addPaneWithIdentifier(empty, "Empty"_ns);
    auto window = controller->window();  // selects A
    finishAnimations();
    log.clear();

    const NSRect before = window->frame();
    EXPECT_TRUE(controller->selectPaneWithIdentifier("B"_ns));
    EXPECT_EQ(log, (HookLog{"B.loadMainView", "A.willUnselect", "delegate.willSelect:B", "B.willSelect",
                            "B.shouldResize", "delegate.didUnselect:A", "A.didUnselect", "B.didSelect"}));
    EXPECT_EQ(controller->activePane().get(), b.get());
    EXPECT_EQ(window->contentView().get(), b->mainView().get());
    EXPECT_TRUE(window->title()->isEqualToString("Pane B"_ns));
    EXPECT_TRUE(window->toolbar()->selectedItemIdentifier()->isEqualToString("B"_ns));
    finishAnimations();
    // Resized to the pane's view, the top edge kept.
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, NSMakeSize(400, 250));
    EXPECT_EQ(NSMaxY(window->frame()), NSMaxY(before));
    EXPECT_EQ(window->frame().origin.x, before.origin.x);

    log.clear();
    EXPECT_TRUE(controller->selectPaneWithIdentifier("B"_ns));  // already active
    EXPECT_TRUE(log.empty());
    LogCapture lines;
    EXPECT_FALSE(controller->selectPaneWithIdentifier("Empty"_ns));
    EXPECT_FALSE(controller->selectPaneWithIdentifier("Unknown"_ns));
    EXPECT_EQ(log, HookLog{"Empty.loadMainView"});
    EXPECT_EQ(lines.lines(), std::vector<std::string>{"Preference Pane \"Empty\" has no view"});
    EXPECT_EQ(controller->activePane().get(), b.get());

    // A click on the toolbar item selects too.
    auto strip = dynamic_ref_cast<NSToolbarView>(window->toolbar()->stripView());
    auto itemA = static_ref_cast<NSToolbarItem>(window->toolbar()->items()->objectAtIndex(0));
    window->setFrameOrigin(NSMakePoint(100, 100));
    window->makeKeyAndOrderFront(nullptr);
    pump();
    const NSRect slot = strip->rectOfItem(itemA);
    const NSPoint at = window->convertBaseToScreen(strip->convertPointToView(NSMakePoint(NSMidX(slot), 20), nullptr));
    click(at);
    EXPECT_EQ(controller->activePane().get(), a.get());

    // Closing and quitting leave the pane active, unselect hooks unpaired.
    log.clear();
    window->close();
    EXPECT_EQ(log, (HookLog{"A.willUnselect", "A.didUnselect"}));
    EXPECT_EQ(controller->activePane().get(), a.get());
}

TEST_F(PreferenceWindowTest, ShowAllAndTheSeparatorComeWithTheConfigurationPane)
{
    auto controller = makeController(true);
    auto a = RecordingPane::make("A", &log, NSMakeSize(300, 200), "General");
    controller->addPaneWithIdentifier(a, "A"_ns);
    auto window = controller->window();
    auto toolbar = window->toolbar();
    EXPECT_EQ(strings(controller->toolbarDefaultItemIdentifiers(toolbar.get())),
              (std::vector<std::string>{"ZAKPPToolbarShowAll", "NSToolbarSeparatorItem", "A"}));
    EXPECT_EQ(strings(controller->toolbarSelectableItemIdentifiers(toolbar.get())),
              (std::vector<std::string>{"ZAKPPToolbarShowAll", "A"}));
    EXPECT_TRUE(toolbar->allowsUserCustomization());
    EXPECT_TRUE(toolbar->customizesOnClickAndDrag());
    EXPECT_EQ(toolbar->firstMovableItemIndex(), 2u);
    auto showAll = static_ref_cast<NSToolbarItem>(toolbar->items()->objectAtIndex(0));
    EXPECT_TRUE(showAll->label()->isEqualToString("Show All"_ns));
    EXPECT_TRUE(showAll->image());
    // Show-all first: no pane is found, the empty view stays.
    EXPECT_FALSE(controller->activePane());

    controller->selectPaneWithIdentifier("A"_ns);
    showAll->performClick();
    EXPECT_FALSE(controller->activePane());
    EXPECT_EQ(window->contentView().get(), controller->iconView().get());
    EXPECT_TRUE(window->title()->isEqualToString("Preferences"_ns));
    EXPECT_FALSE(window->standardWindowButton(NSWindowZoomButton)->isEnabled());

    // Sorting by category again shows the icon view; an unchanged value does nothing.
    controller->setSortByCategory(true);
    EXPECT_TRUE(controller->iconView()->sortByCategory());
    controller->selectPaneWithIdentifier("A"_ns);
    controller->setSortByCategory(true);
    EXPECT_EQ(controller->activePane().get(), a.get());
}

TEST_F(PreferenceWindowTest, TheSavedFrameGivesTheTopLeftCorner)
{
    // A window 300 high: a content of 221 under a title bar of 22 and the toolbar.
    const CGFloat content = 300 - kNSWindowTitleBarHeight - NSToolbarView::heightFor(0, 0);
    NSUserDefaults::standardUserDefaults()->setObject("100 200 500 400 0 0 1920 1080"_ns, "NSWindow Frame Prefs"_ns);
    auto controller = makeController();
    controller->addPaneWithIdentifier(RecordingPane::make("A", &log, NSMakeSize(300, content)), "A"_ns);
    auto window = controller->window();
    finishAnimations();
    EXPECT_EQ(window->frame(), NSMakeRect(100, 300, 300, 300));

    // Moved on screen: the frame is saved.
    window->orderFront(nullptr);
    window->setFrameOrigin(NSMakePoint(150, 320));
    pump();
    auto saved = NSUserDefaults::standardUserDefaults()->stringForKey("NSWindow Frame Prefs"_ns);
    EXPECT_TRUE(saved->hasPrefix("150 320 300 300"_ns)) << saved->UTF8String();
}

TEST_F(PreferenceWindowTest, AFrameStringWithoutFourNumbersCentres)
{
    NSUserDefaults::standardUserDefaults()->setObject("100 200"_ns, "NSWindow Frame Prefs"_ns);
    auto controller = makeController();
    auto window = controller->window();
    auto centred = NSObject::alloc<NSWindow>()->initWithContentRect(window->contentRectForFrameRect(window->frame()),
                                                                    window->styleMask(), NSBackingStoreBuffered, true);
    centred->setToolbar(NSObject::alloc<NSToolbar>()->initWithIdentifier("other"_ns));
    centred->setFrame(window->frame(), false);
    centred->center();
    EXPECT_EQ(window->frame(), centred->frame());
}

TEST_F(PreferenceWindowTest, ZoomGoesToTheActivePanesStandardSize)
{
    auto controller = makeController();
    auto a = RecordingPane::make("A", &log, NSMakeSize(300, 200));
    a->standard = NSMakeSize(500, 320);
    controller->addPaneWithIdentifier(a, "A"_ns);
    auto window = dynamic_ref_cast<ZAKWindow>(controller->window());
    finishAnimations();
    const NSRect before = window->frame();
    window->zoom(nullptr);
    finishAnimations();
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, NSMakeSize(500, 320));
    EXPECT_EQ(NSMaxY(window->frame()), NSMaxY(before));
    window->zoom(nullptr);  // back
    finishAnimations();
    EXPECT_EQ(window->frame(), before);
}

TEST_F(PreferenceWindowTest, CategoriesAskTheDelegateAndThePane)
{
    auto controller = makeController();
    auto delegate = NSObject::make<RecordingPaneDelegate>();
    controller->setDelegate(delegate);
    controller->addPaneWithIdentifier(RecordingPane::make("A", &log, NSMakeSize(10, 10), "Net"), "A"_ns);
    controller->addPaneWithIdentifier(RecordingPane::make("B", &log, NSMakeSize(10, 10), "Net"), "B"_ns);
    controller->addPaneWithIdentifier(RecordingPane::make("C", &log, NSMakeSize(10, 10)), "C"_ns);
    EXPECT_EQ(strings(controller->categories()), std::vector<std::string>{"Net"});
    EXPECT_TRUE(controller->categoryDisplayNameForIdentifier("A"_ns)->isEqualToString("Net"_ns));
    delegate->renamesCategories = true;
    EXPECT_TRUE(controller->categoryDisplayNameForIdentifier("A"_ns)->isEqualToString("Group Net"_ns));
    delegate->answersNilCategory = true;
    EXPECT_FALSE(controller->categoryForIdentifier("A"_ns));
    EXPECT_EQ(controller->categories()->count(), 0u);
}

TEST_F(PreferenceWindowTest, PlugInsLoadFromAFolderSkippingTheBadOnes)
{
    auto controller = makeController();
    auto delegate = NSObject::make<RecordingPaneDelegate>();
    delegate->log = &log;
    delegate->refused = {"org.plumbline.test.OldFrameworkPane"};
    controller->setDelegate(delegate);
    LogCapture lines;
    controller->addPluginsOfTypeFromPath("prefPane"_ns, NSString::stringWithUTF8String(PLUMBLINE_PREFPANE_BUNDLES));
    // Only the good pane made it, and only it was reported loaded.
    EXPECT_EQ(strings(controller->prefPanes()->allKeys()), std::vector<std::string>{"org.plumbline.test.GoodPane"});
    EXPECT_EQ(log, HookLog{"delegate.didLoad:org.plumbline.test.GoodPane"});
    auto has = [&](const std::string& text) {
        for (const auto& line : lines.lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("loaded: "));
    EXPECT_TRUE(has("principal class name not found"));
    EXPECT_TRUE(has("class ZAKPreferencePanel already exists"));
    EXPECT_TRUE(has("delegate did not approve plugin org.plumbline.test.OldFrameworkPane"));
    EXPECT_TRUE(has("plugin org.plumbline.test.NilInitPane not added"));

    LogCapture missing;
    controller->addPluginFromPath("/nonexistent/Missing.prefPane"_ns);
    EXPECT_EQ(missing.lines(), std::vector<std::string>{"error loading bundle: /nonexistent/Missing.prefPane"});

    // The plug-in's pane shows like any other.
    EXPECT_TRUE(controller->selectPaneWithIdentifier("org.plumbline.test.GoodPane"_ns));
    EXPECT_TRUE(controller->window()->title()->isEqualToString("org.plumbline.test.GoodPane"_ns));
}
