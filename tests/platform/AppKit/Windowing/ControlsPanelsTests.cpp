// Combo boxes, colour wells with the colour panel, and alerts.
#include "AppKit/AlertLog.h"
#include "AppKit/NSAlert.h"
#include "AppKit/NSApplicationSheets.h"
#include "AppKit/NSColorPanel.h"
#include "AppKit/NSColorWell.h"
#include "AppKit/NSComboBox.h"
#include "ControlsFixture.h"

// --- Combo boxes ---

TEST_F(ControlsTest, ComboBoxTypedTextAndChoices)
{
    auto combo = add<NSComboBox>(NSMakeRect(20, 150, 200, 24));
    combo->addItemsWithObjectValues(NSArray::arrayWithObjects({"Alpha"_ns, "Beta"_ns, "Gamma"_ns}));
    EXPECT_EQ(combo->numberOfItems(), 3);
    EXPECT_EQ(combo->indexOfSelectedItem(), -1);

    clickAt(onScreen(combo, NSMakePoint(40, 12)));
    ASSERT_TRUE(combo->currentEditor());
    key(kVK_ANSI_A, NSCommandKeyMask);
    type(u"Be");
    EXPECT_EQ(combo->stringValue()->UTF8String(), "Be");
    EXPECT_EQ(combo->indexOfSelectedItem(), -1);
    type(u"ta");
    EXPECT_EQ(combo->indexOfSelectedItem(), 1);  // before editing ends
    key(kVK_Return);
    EXPECT_EQ(combo->stringValue()->UTF8String(), "Beta");
    EXPECT_EQ(recorder->count, 1);

    combo->selectItemAtIndex(2);
    EXPECT_EQ(combo->stringValue()->UTF8String(), "Gamma");
    EXPECT_EQ(combo->objectValueOfSelectedItem()->description()->UTF8String(), "Gamma");

    // The button drops the list below the field; rows are 20 high.
    const NSPoint button = onScreen(combo, NSMakePoint(190, 12));
    const NSPoint firstRow = onScreen(combo, NSMakePoint(30, 24 + 12));
    for (auto p : {button, firstRow}) {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
    }
    pump();
    EXPECT_EQ(combo->indexOfSelectedItem(), 0);
    EXPECT_EQ(combo->stringValue()->UTF8String(), "Alpha");
    EXPECT_EQ(recorder->count, 2);
}

// --- Colour wells and the colour panel ---

class ColorWellTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        well = add<NSColorWell>(NSMakeRect(20, 20, 44, 28));
        well->setColor(NSColor::whiteColor());
    }
    void TearDown() override
    {
        well->deactivate();
        if (NSColorPanel::sharedColorPanelExists()) NSColorPanel::sharedColorPanel()->orderOut(nullptr);
        ControlsTest::TearDown();
    }
    static uint32_t rgb(const Ref<NSColor>& c)
    {
        return uint32_t(
            std::stoul(NSColorPanel::hexStringForColor(c)->substringFromIndex(1)->UTF8String(), nullptr, 16));
    }
    Ref<NSColorWell> well;
};

TEST_F(ColorWellTest, PanelChangesReachTheActiveWellAndSendItsAction)
{
    clickAt(centreOf(well));
    ASSERT_TRUE(well->isActive());
    auto panel = NSColorPanel::sharedColorPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isKeyWindow());
    EXPECT_EQ(recorder->count, 0);

    struct Case {
        const char* name;
        std::function<void()> act;
        uint32_t expected;
    };
    auto swatches = panel->swatchView();
    const Case cases[] = {
        {"swatch clicked",
         [&] {
             const NSPoint p =
                 panel->convertBaseToScreen(swatches->convertPointToView(NSMakePoint(6 * 28 + 14, 10), nullptr));
             clickAt(p);
         },
         0xFF0000},
        {"swatch by arrow key",
         [&] {
             panel->makeFirstResponder(swatches);
             key(kVK_RightArrow);
         },
         0xFF8000},
        {"hex typed",
         [&] {
             panel->makeFirstResponder(panel->hexField());
             pump();
             key(kVK_ANSI_A, NSCommandKeyMask);
             type(u"#00ff00");
             key(kVK_Return);
         },
         0x00FF00},
        {"red slider to its end",
         [&] {
             panel->makeFirstResponder(panel->componentSlider(0));
             key(kVK_End);
         },
         0xFFFF00},
        {"blue field, committed by Tab",
         [&] {
             panel->makeFirstResponder(panel->componentField(2));
             pump();
             key(kVK_ANSI_A, NSCommandKeyMask);
             type(u"128");
             key(kVK_Tab);
         },
         0xFFFF80},
    };
    int sent = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        ++sent;
        EXPECT_EQ(rgb(well->color()), c.expected);
        EXPECT_EQ(rgb(panel->color()), c.expected);
        EXPECT_EQ(recorder->count, sent);
        EXPECT_EQ(recorder->lastSender.get(), well.get());
    }
    EXPECT_EQ(panel->hexField()->stringValue()->UTF8String(), "#FFFF80");

    well->deactivate();
    panel->userChoseColor(NSColor::blackColor());
    EXPECT_EQ(rgb(well->color()), 0xFFFF80u);
    EXPECT_EQ(recorder->count, sent);
}

TEST(ColorPanelHex, ParsesAndRejects)
{
    const std::pair<const char*, const char*> cases[] = {
        {"#FF8000", "#FF8000"}, {"ff8000", "#FF8000"}, {" #0f0 ", "#00FF00"},
        {"#12345", nullptr},    {"#GG0000", nullptr},  {"", nullptr},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        auto colour = NSColorPanel::colorFromHexString(NSString::stringWithUTF8String(text));
        if (!expected) {
            EXPECT_FALSE(colour);
            continue;
        }
        ASSERT_TRUE(colour);
        EXPECT_EQ(NSColorPanel::hexStringForColor(colour)->UTF8String(), expected);
    }
}

// --- Alerts ---

class AlertTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        AlertLog::clear();
    }
    // Runs the user's input once the modal loop waits.
    static void whenModal(std::function<void()> input)
    {
        NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, std::move(input));
    }
    static void pressKey(uint16_t code)
    {
        server().injectKey(code, 0, true);
        server().injectKey(code, 0, false);
    }
    static void clickButton(const Ref<NSAlert>& alert, size_t index)
    {
        auto b = alert->buttons()[index];
        const NSPoint p = alert->window()->convertBaseToScreen(
            b->convertPointToView(NSMakePoint(NSMidX(b->bounds()), NSMidY(b->bounds())), nullptr));
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
    }
};

TEST_F(AlertTest, RunModalAnswersTheButtonCodesAndIsRecorded)
{
    struct Case {
        const char* name;
        bool legacy;
        int input;  // -1 Return, -2 Escape, else the index of the button clicked
        NSInteger expected;
    };
    const Case cases[] = {
        {"legacy Return", true, -1, NSAlertDefaultReturn},     {"legacy Escape", true, -2, NSAlertAlternateReturn},
        {"legacy other", true, 2, NSAlertOtherReturn},         {"legacy alternate", true, 1, NSAlertAlternateReturn},
        {"added Return", false, -1, NSAlertFirstButtonReturn}, {"added Escape", false, -2, NSAlertSecondButtonReturn},
        {"added third", false, 2, NSAlertThirdButtonReturn},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertLog::clear();
        Ref<NSAlert> alert;
        if (c.legacy) {
            alert = NSAlert::alertWithMessageText("Delete the set?"_ns, "Delete"_ns, "Cancel"_ns, "Keep"_ns,
                                                  "%d guidelines go.", 3);
        } else {
            alert = NSObject::make<NSAlert>();
            alert->setMessageText("Save changes?"_ns);
            alert->setInformativeText("They are lost otherwise."_ns);
            alert->setAlertStyle(NSCriticalAlertStyle);
            alert->addButtonWithTitle("Save"_ns);
            alert->addButtonWithTitle("Cancel"_ns);
            alert->addButtonWithTitle("Don't Save"_ns);
        }
        whenModal([&] {
            if (c.input == -1) pressKey(kVK_Return);
            else if (c.input == -2) pressKey(kVK_Escape);
            else clickButton(alert, size_t(c.input));
        });
        EXPECT_EQ(alert->runModal(), c.expected);
        EXPECT_FALSE(alert->window()->isVisible());
        auto log = AlertLog::all();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].result, c.expected);
        if (c.legacy) {
            EXPECT_EQ(log[0].style, NSUInteger(NSWarningAlertStyle));
            EXPECT_EQ(log[0].messageText, "Delete the set?");
            EXPECT_EQ(log[0].informativeText, "3 guidelines go.");
            EXPECT_EQ(log[0].buttons, (std::vector<std::string>{"Delete", "Cancel", "Keep"}));
        } else {
            EXPECT_EQ(log[0].style, NSUInteger(NSCriticalAlertStyle));
            EXPECT_EQ(log[0].messageText, "Save changes?");
            EXPECT_EQ(log[0].informativeText, "They are lost otherwise.");
            EXPECT_EQ(log[0].buttons, (std::vector<std::string>{"Save", "Cancel", "Don't Save"}));
        }
    }
}

TEST_F(AlertTest, RunAlertPanelAndSheetForm)
{
    whenModal([] { pressKey(kVK_Return); });
    EXPECT_EQ(NSRunAlertPanel("Title"_ns, "Message"_ns, nullptr, nullptr, nullptr), NSAlertDefaultReturn);
    auto log = AlertLog::all();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(log[0].messageText, "Title");
    EXPECT_EQ(log[0].informativeText, "Message");

    auto parent = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(300, 300, 500, 400), NSTitledWindowMask,
                                                                   NSBackingStoreBuffered, false);
    auto content = NSObject::alloc<RecordingView>();
    content->initWithFrame(NSMakeRect(0, 0, 500, 400));
    parent->setContentView(content);
    parent->makeKeyAndOrderFront(nullptr);
    pump();
    auto recorder = NSObject::make<ActionRecorder>();
    Weak<NSAlert> weakAlert;
    {
        auto alert = NSAlert::alertWithMessageText("Sheet"_ns, nullptr, "Cancel"_ns, nullptr, ""_ns);
        weakAlert = alert;
        alert->beginSheetModalForWindow(parent, recorder, "act:", nullptr);
        EXPECT_TRUE(alert->window()->isVisible());
        EXPECT_TRUE(NSApplicationExt::isSheet(alert->window()));
        EXPECT_TRUE(alert->window()->isSheet());
        EXPECT_FALSE(parent->isSheet());
        EXPECT_TRUE(alert->window()->isKeyWindow());
    }
    // The parent refuses clicks while its sheet is up.
    parent->sendEvent(NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(50, 50), 0, 0,
                                                  parent->windowNumber(), nullptr, 0, 1, 1));
    EXPECT_TRUE(content->downs.empty());
    EXPECT_TRUE(weakAlert.get()->window()->isKeyWindow());
    ASSERT_TRUE(weakAlert.get());  // the sheet keeps its alert
    EXPECT_EQ(recorder->count, 0);
    EXPECT_EQ(AlertLog::all().back().result, NSModalResponseContinue);
    pressKey(kVK_Escape);
    pump();
    EXPECT_EQ(recorder->count, 1);
    EXPECT_EQ(recorder->lastSender.get(), weakAlert.get().get());
    EXPECT_EQ(AlertLog::all().back().result, NSAlertAlternateReturn);
    EXPECT_FALSE(weakAlert.get()->window()->isVisible());
    EXPECT_FALSE(NSApplicationExt::attachedSheet(parent));
    recorder->lastSender = nullptr;
    pump();
    EXPECT_FALSE(weakAlert.get());
    parent->orderOut(nullptr);
}

TEST_F(AlertTest, SuppressionCheckBoxIsOfferedRecordedAndTickable)
{
    for (bool sheet : {false, true}) {
        SCOPED_TRACE(sheet ? "sheet" : "modal");
        AlertLog::clear();
        auto alert = NSObject::make<NSAlert>();
        alert->setMessageText("Replace the set?"_ns);
        alert->addButtonWithTitle("Replace"_ns);
        alert->setShowsSuppressionButton(true);
        auto box = alert->suppressionButton();
        EXPECT_EQ(box, alert->suppressionButton());
        EXPECT_EQ(box->state(), NSOffState);
        // The harness ticks the box where the log says it is, then presses Return.
        auto tickAndReturn = [] {
            const auto log = AlertLog::all();
            ASSERT_EQ(log.size(), 1u);
            EXPECT_TRUE(log[0].showsSuppressionButton);
            const NSRect frame = log[0].suppressionButtonFrame;
            ASSERT_GT(frame.size.width, 0);
            const NSPoint p = NSMakePoint(frame.origin.x + 8, NSMidY(frame));
            server().injectMouse(NSEventTypeLeftMouseDown, p);
            server().injectMouse(NSEventTypeLeftMouseUp, p);
            pressKey(kVK_Return);
        };
        if (sheet) {
            auto parent = makeWindow(NSMakeRect(300, 300, 500, 400), NSColor::whiteColor());
            parent->makeKeyAndOrderFront(nullptr);
            alert->beginSheetModalForWindow(parent, nullptr, SEL(), nullptr);
            pump();
            tickAndReturn();
            pump();
            parent->orderOut(nullptr);
        } else {
            whenModal(tickAndReturn);
            EXPECT_EQ(alert->runModal(), NSAlertFirstButtonReturn);
        }
        EXPECT_EQ(box->state(), NSOnState);
        const auto log = AlertLog::all();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].result, NSAlertFirstButtonReturn);
        EXPECT_TRUE(log[0].suppressed);
    }
    // Without asking, no box is laid out or recorded.
    AlertLog::clear();
    auto plain = NSObject::make<NSAlert>();
    plain->setMessageText("Plain"_ns);
    whenModal([] { pressKey(kVK_Return); });
    plain->runModal();
    EXPECT_FALSE(plain->suppressionButton()->superview());
    EXPECT_FALSE(AlertLog::all()[0].showsSuppressionButton);
    EXPECT_FALSE(AlertLog::all()[0].suppressed);
}
