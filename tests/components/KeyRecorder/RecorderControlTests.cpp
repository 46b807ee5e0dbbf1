#include <stdlib.h>

#include "AppKit/AlertLog.h"
#include "AppKit/NSWindow.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaults.h"
#include "HotKeyCenter/HKHotKeyCenter.h"
#include "KeyRecorder/KRRecorderCell.h"
#include "KeyRecorder/KRRecorderControl.h"
#include "RecorderFixture.h"

namespace {

constexpr NSUInteger kCmd = 0x100000, kShift = 0x20000, kFn = 0x800000;

class ComboListener : public NSObject, public KRRecorderControlDelegate {
    NS_OBJECT(ComboListener, NSObject)
protected:
    ComboListener() = default;

public:
    void keyRecorderKeyComboDidChange(const Ref<KRRecorderControl>&, _KeyCombo combo) override
    {
        combos.push_back(combo);
    }
    std::vector<_KeyCombo> combos;
};
NS_CLASS_DEFINE(ComboListener)

// Registers the recorded combination as the one global hot key, as the
// preferences window does.
class HotKeyOwner : public NSObject, public KRRecorderControlDelegate {
    NS_OBJECT(HotKeyOwner, NSObject)
protected:
    HotKeyOwner() = default;

public:
    static void describeClass(NSClassMembers<HotKeyOwner>& m) { m.action("vellamoKeyDown:", &HotKeyOwner::fired); }
    void keyRecorderKeyComboDidChange(const Ref<KRRecorderControl>& recorder, _KeyCombo) override
    {
        auto center = NSObject::make<HKHotKeyCenter>();
        center->unregisterHotKeysWithTarget(this);
        const _KeyCombo combo = recorder->keyCombo();
        registered = combo.code >= 0 && center->registerHotKeyWithKeyCode(uint16_t(combo.code), combo.flags, this,
                                                                          "vellamoKeyDown:", nullptr);
    }
    void fired(const Id&) { ++firings; }
    bool registered = false;
    int firings = 0;
};
NS_CLASS_DEFINE(HotKeyOwner)

class RecorderControlTest : public RecorderTest {
protected:
    void SetUp() override
    {
        RecorderTest::SetUp();
        char dir[] = "/tmp/krtestXXXXXX";
        setenv("XDG_CONFIG_HOME", mkdtemp(dir), 1);
        SymbolicHotKeys::setEntries({});
        AlertLog::clear();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 400, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        window->makeKeyAndOrderFront(nullptr);
        recorder = NSObject::alloc<KRRecorderControl>();
        recorder->initWithFrame(NSMakeRect(20, 20, 200, 10));
        window->contentView()->addSubview(recorder);
        window->makeFirstResponder(recorder);
        pump();
    }
    void TearDown() override
    {
        if (recorder) recorder->removeFromSuperview();
        recorder = nullptr;
        window->orderOut(nullptr);
        window = nullptr;
        pump();
    }

    static void pump()
    {
        while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, nullptr, NSDefaultRunLoopMode, true))
            NSApp->sendEvent(e);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }
    void key(uint16_t code, NSUInteger flags = 0)
    {
        server().injectKey(code, flags, true);
        server().injectKey(code, flags, false);
        pump();
    }
    void clickAt(CGFloat x)
    {
        const NSPoint p = window->convertBaseToScreen(recorder->convertPointToView(NSMakePoint(x, 11), nullptr));
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
        pump();
    }
    void clickToRecord() { clickAt(40); }
    // The snapback (recording) or remove (idle) button at the right end.
    void clickButton() { clickAt(recorder->bounds().size.width - 9); }
    bool recording() const { return recorder->recorderCell()->isRecording(); }

    Ref<NSWindow> window;
    Ref<KRRecorderControl> recorder;
};

}

TEST_F(RecorderControlTest, KeepsItsHeightAndMinimumWidth)
{
    EXPECT_EQ(recorder->frame().size, NSMakeSize(200, 22));
    recorder->setFrameSize(NSMakeSize(10, 40));
    EXPECT_EQ(recorder->frame().size, NSMakeSize(50, 22));
}

TEST_F(RecorderControlTest, RecordsCommandShiftGAndAutosavesIt)
{
    recorder->setAutosaveName("Guides"_ns);
    recorder->setCanCaptureGlobalHotKeys(true);
    auto listener = NSObject::make<ComboListener>();
    recorder->setDelegate(listener);

    clickToRecord();
    ASSERT_TRUE(recording());
    EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 1u);
    // A plain letter is neither a shortcut nor a cancel key: recording goes on.
    key(5);
    EXPECT_TRUE(recording());
    EXPECT_TRUE(listener->combos.empty());

    key(5, kCmd | kShift);
    EXPECT_FALSE(recording());
    EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 0u);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(0x120000, 5));
    ASSERT_EQ(listener->combos.size(), 1u);
    EXPECT_EQ(listener->combos[0], KRMakeKeyCombo(0x120000, 5));
    EXPECT_EQ(utf8(recorder->keyComboString()), "\u21E7\u2318G");

    const auto stored =
        dynamic_ref_cast<NSDictionary>(NSUserDefaults::standardUserDefaults()->objectForKey("KeyRecorder Guides"_ns));
    ASSERT_TRUE(stored);
    auto number = [&](const char* key) {
        const auto n = dynamic_ref_cast<NSNumber>(stored->objectForKey(NSString::stringWithUTF8String(key)));
        return n ? n->integerValue() : -99;
    };
    EXPECT_EQ(number("keyCode"), 5);
    EXPECT_EQ(number("modifierFlags"), 0x120000);
    EXPECT_EQ(number("modifiers"), 0x300);
    const auto chars = dynamic_ref_cast<NSString>(stored->objectForKey("keyChars"_ns));
    const auto ignoring = dynamic_ref_cast<NSString>(stored->objectForKey("keyCharsIgnoringModifiers"_ns));
    ASSERT_TRUE(chars && ignoring);
    EXPECT_EQ(ignoring->length(), 1u);
    EXPECT_EQ(utf8(recorder->keyCharsIgnoringModifiers()), utf8(ignoring));
    EXPECT_EQ(utf8(recorder->keyChars()), utf8(chars));
}

TEST_F(RecorderControlTest, ArchivedCellsTakeTheAutosavedCombination)
{
    recorder->setAutosaveName("Guides"_ns);
    recorder->setAllowedFlags(kCmd | kShift);
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd, 4));
    const Ref<NSData> data = NSKeyedArchiver::archivedDataWithRootObject(recorder->cell());
    // Changed after archiving: the stored combination wins when decoding.
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd | kShift, 5));
    const auto cell = dynamic_ref_cast<KRRecorderCell>(NSKeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->keyCombo(), KRMakeKeyCombo(kCmd | kShift, 5));
    EXPECT_EQ(utf8(cell->autosaveName()), "Guides");
    EXPECT_EQ(cell->allowedFlags(), kCmd | kShift | kFn);

    // Nothing stored under a name is no shortcut.
    recorder->setAutosaveName("Other"_ns);
    recorder->setRequiredFlags(kCmd);
    const Ref<NSData> unnamed = NSKeyedArchiver::archivedDataWithRootObject(recorder->cell());
    const auto fresh = dynamic_ref_cast<KRRecorderCell>(NSKeyedUnarchiver::unarchiveObjectWithData(unnamed));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->keyCombo().code, -1);
    EXPECT_FALSE(fresh->keyComboString());
}

TEST_F(RecorderControlTest, CancelKeysAndKeyOnlySettings)
{
    struct Case {
        const char* name;
        bool keyOnly, escapeRecords;
        uint16_t code;
        NSUInteger flags;
        bool recorded;
    };
    const Case cases[] = {
        {"escape cancels", false, false, 53, 0, false},
        {"command-escape records", false, false, 53, kCmd, true},
        {"delete cancels, does not clear", false, false, 51, 0, false},
        {"forward delete has the function flag", false, false, 117, kFn, true},
        {"key only: escape still cancels", true, false, 53, 0, false},
        {"key only: forward delete cancels", true, false, 117, kFn, false},
        {"escape records when asked", true, true, 53, 0, true},
        {"key only: a letter records", true, false, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder->setKeyCombo(KRMakeKeyCombo(kCmd, 4));
        recorder->setAllowsKeyOnly(c.keyOnly, c.escapeRecords);
        clickToRecord();
        ASSERT_TRUE(recording());
        key(c.code, c.flags);
        EXPECT_FALSE(recording());
        EXPECT_EQ(recorder->keyCombo(), c.recorded ? KRMakeKeyCombo(c.flags, c.code) : KRMakeKeyCombo(kCmd, 4));
    }
}

TEST_F(RecorderControlTest, SuspensionIsBalancedWhateverEndsTheRecording)
{
    const std::vector<std::pair<const char*, std::function<void()>>> enders = {
        {"a recorded shortcut", [this] { key(5, kCmd); }},
        {"escape", [this] { key(53); }},
        {"the snapback button", [this] { clickButton(); }},
        {"another first responder", [this] { window->makeFirstResponder(window->contentView()); }},
        {"the window loses the keyboard", [this] { window->resignKeyWindow(); }},
        {"the window closes", [this] { window->close(); }},
        {"the setting changes before the end",
         [this] {
             recorder->setCanCaptureGlobalHotKeys(false);
             key(53);
         }},
        {"the recorder goes away",
         [this] {
             recorder->removeFromSuperview();
             recorder = nullptr;
         }},
    };
    for (const auto& [name, end] : enders) {
        SCOPED_TRACE(name);
        if (!recorder) SetUp();
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(recorder);
        recorder->setCanCaptureGlobalHotKeys(true);
        clickToRecord();
        ASSERT_TRUE(recording());
        EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 1u);
        end();
        pump();
        EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 0u);
        if (recorder) {
            EXPECT_FALSE(recording());
        }
    }
}

TEST_F(RecorderControlTest, ATakenCombinationIsExplainedAndRecordingGoesOn)
{
    SymbolicHotKeys::setEntries({{5, 0x300, true}});
    clickToRecord();
    // Return dismisses the alert once its modal loop runs.
    NSRunLoop::mainRunLoop()->performBlock({NSModalPanelRunLoopMode}, [] {
        HeadlessWindowServer::current()->injectKey(36, 0, true);
        HeadlessWindowServer::current()->injectKey(36, 0, false);
    });
    key(5, kCmd | kShift);
    const auto alerts = AlertLog::all();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].style, 2u);
    EXPECT_EQ(alerts[0].messageText, "The key combination \u21E7\u2318G can't be used!");
    EXPECT_NE(alerts[0].informativeText.find("keyboard shortcut settings of your desktop"), std::string::npos);
    EXPECT_EQ(alerts[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(recording());
    // The modifiers were let go while the alert had the keyboard: the
    // recorder shows none held.
    auto cell = dynamic_ref_cast<KRRecorderCell>(recorder->cell());
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->recordingFlags() & (kCmd | kShift), 0u);
    EXPECT_EQ(recorder->keyCombo().code, -1);
    key(4, kCmd | kShift);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(0x120000, 4));
}

TEST_F(RecorderControlTest, ObjectValueAndValueBinding)
{
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd, 4));
    const auto value = dynamic_ref_cast<NSDictionary>(recorder->objectValue());
    ASSERT_TRUE(value);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(value->objectForKey("keyCode"_ns))->integerValue(), 4);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(value->objectForKey("modifierFlags"_ns))->unsignedIntegerValue(), kCmd);
    EXPECT_EQ(utf8(dynamic_ref_cast<NSString>(value->objectForKey("characters"_ns))), "H");

    const struct {
        const char* name;
        Id value;
        _KeyCombo expected;
    } cases[] = {
        {"numbers",
         NSDictionary::dictionaryWithObjectsAndKeys(
             {NSNumber::numberWithInt(5), "keyCode"_ns, NSNumber::numberWithInt(0x120000), "modifierFlags"_ns}),
         KRMakeKeyCombo(0x120000, 5)},
        {"a string key code",
         NSDictionary::dictionaryWithObjectsAndKeys(
             {"5"_ns, "keyCode"_ns, NSNumber::numberWithInt(0x120000), "modifierFlags"_ns}),
         KRMakeKeyCombo(0, -1)},
        {"nil", nullptr, KRMakeKeyCombo(0, -1)},
        {"another class", "x"_ns, KRMakeKeyCombo(0, -1)},
    };
    for (const auto& c : cases) {
        recorder->setObjectValue(c.value);
        EXPECT_EQ(recorder->keyCombo(), c.expected) << c.name;
    }
    EXPECT_FALSE(recorder->objectValue());

    // Changes are written back to the bound model.
    auto model = NSMutableDictionary::dictionary();
    recorder->bind("value"_ns, model, "hotKey"_ns, nullptr);
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd | kShift, 5));
    const auto written = dynamic_ref_cast<NSDictionary>(model->objectForKey("hotKey"_ns));
    ASSERT_TRUE(written);
    EXPECT_EQ(dynamic_ref_cast<NSNumber>(written->objectForKey("keyCode"_ns))->integerValue(), 5);
    recorder->unbind("value"_ns);
}

TEST_F(RecorderControlTest, DrawingStates)
{
    auto cell = recorder->recorderCell();
    const NSRect bounds = recorder->bounds();
    auto pixelAt = [&](CGFloat x) {
        window->display();
        const NSPoint p = window->convertBaseToScreen(recorder->convertPointToView(NSMakePoint(x, 11), nullptr));
        return server().screenImage()->pixel(size_t(p.x), size_t(1080 - p.y - 1));
    };
    auto isDark = [](uint32_t argb) { return ((argb >> 16) & 0xFF) < 0xE0 && ((argb >> 8) & 0xFF) < 0xE0; };

    EXPECT_EQ(utf8(cell->displayedText()), "Click to record shortcut");
    EXPECT_TRUE(NSIsEmptyRect(cell->removeButtonRectForFrame(bounds)));
    EXPECT_EQ(pixelAt(bounds.size.width - 9), 0xFFFFFFFFu);  // no button

    recorder->setKeyCombo(KRMakeKeyCombo(kCmd | kShift, 5));
    EXPECT_EQ(utf8(cell->displayedText()), "\u21E7\u2318G");
    EXPECT_TRUE(isDark(pixelAt(NSMidX(cell->removeButtonRectForFrame(bounds)) - 3)));

    recorder->setEnabled(false);
    EXPECT_EQ(utf8(cell->displayedText()), "\u21E7\u2318G");
    EXPECT_TRUE(NSIsEmptyRect(cell->removeButtonRectForFrame(bounds)));
    recorder->setEnabled(true);

    clickToRecord();
    ASSERT_TRUE(recording());
    EXPECT_EQ(utf8(cell->displayedText()), "Type shortcut");
    // The recording gradient shows around the white inner field.
    const uint32_t edge = pixelAt(bounds.size.width - 3);
    EXPECT_NE(edge, 0xFFFFFFFFu);
    server().injectKey(56, kShift, true);  // shift held
    server().injectKey(55, kShift | kCmd, true);
    pump();
    EXPECT_EQ(utf8(cell->displayedText()), "\u21E7\u2318");
    server().injectKey(55, kShift, false);
    server().injectKey(56, 0, false);
    pump();
    EXPECT_EQ(utf8(cell->displayedText()), "Type shortcut");
}

TEST_F(RecorderControlTest, RemoveButtonClearsAndAnimatedStyleSwitchesAtTheEnd)
{
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd, 4));
    clickButton();
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(0, -1));
    EXPECT_FALSE(recording());

    recorder->setStyle(1);
    recorder->setAnimates(true);
    clickToRecord();
    EXPECT_TRUE(recorder->recorderCell()->isAnimatingNow());
    EXPECT_FALSE(recording());
    for (int tick = 0; tick < 10; ++tick) {
        Clock::advance(1.0 / 30.0 + 0.0001);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }
    EXPECT_FALSE(recording());
    Clock::advance(1.0 / 30.0 + 0.0001);
    NSRunLoop::currentRunLoop()->runUntilIdle();
    EXPECT_TRUE(recording());
    window->display();
}

TEST_F(RecorderControlTest, ARecordedCombinationBecomesTheGlobalHotKey)
{
    auto owner = NSObject::make<HotKeyOwner>();
    recorder->setDelegate(owner);
    clickToRecord();
    key(5, kCmd | kShift);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(0x120000, 5));
    EXPECT_TRUE(owner->registered);
    EXPECT_TRUE(server().releaseHotKey(5, 0x300));
    EXPECT_EQ(owner->firings, 1);

    // Held by another program: recorded, not registered.
    server().holdHotKeyElsewhere(4, 0x300);
    clickToRecord();
    key(4, kCmd | kShift);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(0x120000, 4));
    EXPECT_FALSE(owner->registered);
    EXPECT_FALSE(server().releaseHotKey(5, 0x300));

    // Cleared with the remove button: nothing registered.
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd, 0));
    EXPECT_TRUE(owner->registered);
    clickButton();
    EXPECT_EQ(recorder->keyCombo().code, -1);
    EXPECT_FALSE(owner->registered);
    EXPECT_EQ(NSObject::make<HKHotKeyCenter>()->registeredHotKeys()->count(), 0u);
}

TEST_F(RecorderControlTest, AllowedAndRequiredFlags)
{
    auto listener = NSObject::make<ComboListener>();
    recorder->setDelegate(listener);
    recorder->setRequiredFlags(kCmd);
    clickToRecord();
    EXPECT_EQ(recorder->recorderCell()->recordingFlags(), kCmd);
    key(5, kShift);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(kCmd | kShift, 5));
    recorder->setRequiredFlags(0);

    // Narrowing the allowed flags drops the modifier and tells the delegate...
    listener->combos.clear();
    recorder->setAllowedFlags(kCmd);
    EXPECT_EQ(recorder->keyCombo(), KRMakeKeyCombo(kCmd, 5));
    EXPECT_EQ(listener->combos.size(), 1u);
    // ...but not without a key.
    recorder->setKeyCombo(KRMakeKeyCombo(kCmd, -1));
    listener->combos.clear();
    recorder->setAllowedFlags(kShift);
    EXPECT_TRUE(listener->combos.empty());
}
