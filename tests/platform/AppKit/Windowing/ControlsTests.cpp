// Buttons, text fields, sliders, radio matrices and pop-up buttons driven by
// injected clicks and keys.
#include "AppKit/NSButton.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSSecureTextField.h"
#include "AppKit/NSSlider.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSTextView.h"
#include "ControlsFixture.h"

NS_CLASS_DEFINE(ActionRecorder)

// --- Buttons ---

struct ButtonCase {
    const char* name;
    NSButtonType type;
    bool mixed;
    std::vector<NSInteger> statesAfterEachClick;
};

TEST_F(ControlsTest, ButtonsChangeStateByClickAndByPerformClick)
{
    const ButtonCase cases[] = {
        {"push", NSMomentaryPushInButton, false, {0, 0}},
        {"check box", NSSwitchButton, false, {1, 0, 1}},
        {"check box with mixed", NSSwitchButton, true, {1, -1, 0}},
        {"radio", NSRadioButton, false, {1, 1}},
        {"toggle", NSToggleButton, false, {1, 0}},
    };
    for (const auto& c : cases) {
        for (bool byClick : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (byClick ? " clicked" : " performClick"));
            auto button = add<NSButton>(NSMakeRect(20, 20, 120, 24));
            button->setButtonType(c.type);
            button->setAllowsMixedState(c.mixed);
            recorder->count = 0;
            for (size_t i = 0; i < c.statesAfterEachClick.size(); ++i) {
                if (byClick) clickAt(centreOf(button));
                else button->performClick(nullptr);
                EXPECT_EQ(button->state(), c.statesAfterEachClick[i]) << "after click " << i + 1;
            }
            EXPECT_EQ(recorder->count, int(c.statesAfterEachClick.size()));
            EXPECT_EQ(recorder->lastSender.get(), button.get());
            button->removeFromSuperview();
        }
    }
}

TEST_F(ControlsTest, ButtonClickReleasedOutsideOrDisabledDoesNothing)
{
    auto button = add<NSButton>(NSMakeRect(20, 20, 120, 24));
    button->setButtonType(NSSwitchButton);
    server().injectMouse(NSEventTypeLeftMouseDown, centreOf(button));
    server().injectMouse(NSEventTypeLeftMouseDragged, onScreen(button, NSMakePoint(300, 200)));
    server().injectMouse(NSEventTypeLeftMouseUp, onScreen(button, NSMakePoint(300, 200)));
    pump();
    EXPECT_EQ(button->state(), NSOffState);
    EXPECT_EQ(recorder->count, 0);

    button->setEnabled(false);
    clickAt(centreOf(button));
    button->performClick(nullptr);
    EXPECT_EQ(button->state(), NSOffState);
    EXPECT_EQ(recorder->count, 0);
}

TEST_F(ControlsTest, SendActionOnChoosesTheMouseEventsThatSend)
{
    struct Case {
        const char* name;
        NSEventMask mask;
        int expected;  // for a press, one drag inside and a release
    };
    const Case cases[] = {
        {"mouse-up (the default)", NSLeftMouseUpMask, 1},
        {"mouse-down and drags (66)", NSLeftMouseDownMask | NSLeftMouseDraggedMask, 2},
        {"down, drags and up", NSLeftMouseDownMask | NSLeftMouseDraggedMask | NSLeftMouseUpMask, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto button = add<NSButton>(NSMakeRect(20, 20, 120, 24));
        EXPECT_EQ(button->sendActionOn(c.mask), NSEventMask(NSLeftMouseUpMask));
        recorder->count = 0;
        server().injectMouse(NSEventTypeLeftMouseDown, onScreen(button, NSMakePoint(10, 10)));
        server().injectMouse(NSEventTypeLeftMouseDragged, onScreen(button, NSMakePoint(30, 10)));
        server().injectMouse(NSEventTypeLeftMouseUp, onScreen(button, NSMakePoint(30, 10)));
        pump();
        EXPECT_EQ(recorder->count, c.expected);
        button->removeFromSuperview();
    }
}

TEST_F(ControlsTest, KeyEquivalentClicksTheButton)
{
    auto ok = add<NSButton>(NSMakeRect(20, 20, 80, 24));
    ok->setKeyEquivalent("\r"_ns);
    auto other = add<NSButton>(NSMakeRect(120, 20, 80, 24));
    other->setKeyEquivalent("d"_ns);
    other->setKeyEquivalentModifierMask(NSCommandKeyMask);
    key(kVK_Return);
    EXPECT_EQ(recorder->count, 1);
    EXPECT_EQ(recorder->lastSender.get(), ok.get());
    key(kVK_ANSI_D);  // without Command: not the equivalent
    EXPECT_EQ(recorder->count, 1);
    key(kVK_ANSI_D, NSCommandKeyMask);
    EXPECT_EQ(recorder->count, 2);
    EXPECT_EQ(recorder->lastSender.get(), other.get());
}

// --- Text fields ---

class TextFieldTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        field = add<NSTextField>(NSMakeRect(20, 200, 200, 22));
        field->setStringValue("hello"_ns);
    }
    Ref<NSTextField> field;
};

TEST_F(TextFieldTest, TypedTextIsInStringValueBeforeReturnCommitsIt)
{
    NoteCounter begin(NSControlTextDidBeginEditingNotification, field);
    NoteCounter change(NSControlTextDidChangeNotification, field);
    NoteCounter end(NSControlTextDidEndEditingNotification, field);
    clickAt(centreOf(field));
    ASSERT_TRUE(field->currentEditor());
    EXPECT_EQ(window->firstResponder().get(), field->currentEditor().get());
    key(kVK_ANSI_A, NSCommandKeyMask);
    type(u"42");
    EXPECT_EQ(field->stringValue()->UTF8String(), "42");
    EXPECT_EQ(field->intValue(), 42);
    EXPECT_EQ(begin.notes.size(), 1u);
    EXPECT_EQ(change.notes.size(), 2u);
    EXPECT_EQ(end.notes.size(), 0u);
    EXPECT_EQ(recorder->count, 0);

    key(kVK_Return);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(field->stringValue()->UTF8String(), "42");
    ASSERT_EQ(end.notes.size(), 1u);
    auto info = end.notes[0]->userInfo();
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->objectForKey("NSFieldEditor"_ns));
    EXPECT_EQ(info->objectForKey("NSTextMovement"_ns)->description()->integerValue(), NSReturnTextMovement);
    ASSERT_TRUE(change.notes[0]->userInfo());
    EXPECT_TRUE(change.notes[0]->userInfo()->objectForKey("NSFieldEditor"_ns));
    EXPECT_EQ(recorder->count, 1);
}

TEST_F(TextFieldTest, EditingKeys)
{
    struct Stroke {
        uint16_t key;
        NSUInteger flags;
        std::u16string text;  // typed instead when not empty
    };
    struct Case {
        const char* name;
        std::vector<Stroke> strokes;
        const char* expected;
    };
    const NSUInteger shift = NSShiftKeyMask;
    const Case cases[] = {
        {"backspace", {{kVK_Delete, 0, u""}}, "hell"},
        {"left then backspace", {{kVK_LeftArrow, 0, u""}, {kVK_LeftArrow, 0, u""}, {kVK_Delete, 0, u""}}, "helo"},
        {"home then forward delete", {{kVK_Home, 0, u""}, {kVK_ForwardDelete, 0, u""}}, "ello"},
        {"shift-left selects", {{kVK_LeftArrow, shift, u""}, {kVK_LeftArrow, shift, u""}, {0, 0, u"X"}}, "helX"},
        {"shift-home selects to start", {{kVK_LeftArrow, 0, u""}, {kVK_Home, shift, u""}, {kVK_Delete, 0, u""}}, "o"},
        {"select all", {{kVK_ANSI_A, NSCommandKeyMask, u""}, {0, 0, u"Z"}}, "Z"},
        {"typing in the middle", {{kVK_Home, 0, u""}, {kVK_RightArrow, 0, u""}, {0, 0, u"-"}}, "h-ello"},
        {"backspace at the start", {{kVK_Home, 0, u""}, {kVK_Delete, 0, u""}}, "hello"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        field->setStringValue("hello"_ns);
        window->makeFirstResponder(field);
        pump();
        ASSERT_TRUE(field->currentEditor());
        key(kVK_End);
        for (const auto& s : c.strokes) {
            if (!s.text.empty()) type(s.text);
            else key(s.key, s.flags);
        }
        EXPECT_EQ(field->stringValue()->UTF8String(), c.expected);
        key(kVK_Tab);
        EXPECT_FALSE(field->currentEditor());
        EXPECT_EQ(field->stringValue()->UTF8String(), c.expected);
    }
}

class RefusingDelegate : public NSObject, public NSControlTextEditingDelegate {
    NS_OBJECT(RefusingDelegate, NSObject)
protected:
    RefusingDelegate() = default;

public:
    bool allow = false;
    int changes = 0;
    std::optional<bool> controlTextShouldEndEditing(const Ref<NSControl>&, const Ref<NSText>&) override
    {
        return allow;
    }
    void controlTextDidChange(const Ref<NSNotification>&) override { ++changes; }
};

NS_CLASS_DEFINE(RefusingDelegate)

TEST_F(TextFieldTest, EscapeRestoresAndDelegateCanKeepEditing)
{
    clickAt(centreOf(field));
    type(u"xyz");
    key(kVK_Escape);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(field->stringValue()->UTF8String(), "hello");

    auto delegate = NSObject::make<RefusingDelegate>();
    field->setDelegate(delegate);
    clickAt(centreOf(field));
    type(u"!");
    key(kVK_Return);
    EXPECT_TRUE(field->currentEditor());
    EXPECT_EQ(delegate->changes, 1);
    delegate->allow = true;
    key(kVK_Return);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(field->stringValue()->UTF8String(), "hello!");
}

// The window's field editor is a text view lying over the field while it
// edits; a line longer than the field slides so the caret stays inside.
TEST_F(TextFieldTest, FieldEditorIsATextViewOverTheField)
{
    clickAt(centreOf(field));
    auto editor = dynamic_ref_cast<NSTextView>(field->currentEditor());
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isFieldEditor());
    EXPECT_EQ(editor->superview().get(), field.get());
    EXPECT_EQ(editor->delegate().get(), field.get());
    EXPECT_TRUE(NSContainsRect(field->bounds(), editor->frame()));
    EXPECT_EQ(window->fieldEditor(false, field), Ref<NSResponder>(editor));

    type(std::u16string(60, u'w'));
    const NSRect caret = editor->insertionPointRect();
    EXPECT_GE(caret.origin.x, 0);
    EXPECT_LE(NSMaxX(caret), editor->bounds().size.width);
    key(kVK_Home);
    EXPECT_LE(editor->insertionPointRect().origin.x, 1);

    key(kVK_Return);
    EXPECT_FALSE(editor->superview());
    EXPECT_FALSE(editor->delegate());
    EXPECT_EQ(field->stringValue()->length(), 65u);
}

// Tab and Shift-Tab follow the key-view loop, skipping hidden views.
TEST_F(TextFieldTest, TabFollowsTheKeyViewLoop)
{
    auto hidden = add<NSTextField>(NSMakeRect(20, 150, 200, 22));
    hidden->setHidden(true);
    auto second = add<NSTextField>(NSMakeRect(20, 100, 200, 22));
    field->setNextKeyView(hidden);
    hidden->setNextKeyView(second);
    second->setNextKeyView(field);
    EXPECT_EQ(second->previousKeyView().get(), hidden.get());
    EXPECT_EQ(field->nextValidKeyView().get(), second.get());

    clickAt(centreOf(field));
    ASSERT_TRUE(field->currentEditor());
    key(kVK_Tab);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_TRUE(second->currentEditor());
    key(kVK_Tab, NSShiftKeyMask);
    EXPECT_FALSE(second->currentEditor());
    EXPECT_TRUE(field->currentEditor());
}

TEST_F(TextFieldTest, LabelsDoNotEditAndNumbersParse)
{
    auto label = NSTextField::labelWithString("Label"_ns);
    window->contentView()->addSubview(label);
    label->setFrameOrigin(NSMakePoint(20, 100));
    clickAt(centreOf(label));
    EXPECT_FALSE(label->currentEditor());
    EXPECT_FALSE(label->acceptsFirstResponder());

    field->setStringValue(" 12.5xyz"_ns);
    EXPECT_EQ(field->intValue(), 12);
    EXPECT_DOUBLE_EQ(field->doubleValue(), 12.5);
    field->setIntValue(7);
    EXPECT_EQ(field->stringValue()->UTF8String(), "7");
}

TEST_F(ControlsTest, SecureFieldEditsHiddenText)
{
    auto field = add<NSSecureTextField>(NSMakeRect(20, 200, 200, 22));
    clickAt(centreOf(field));
    ASSERT_TRUE(field->currentEditor());
    type(u"pw1");
    EXPECT_EQ(field->stringValue()->UTF8String(), "pw1");
    // The editor lays out and shows bullets only.
    auto editor = dynamic_ref_cast<NSTextView>(field->currentEditor());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->textStorage()->string()->utf16(), u"\u2022\u2022\u2022");
    key(kVK_Return);
    EXPECT_EQ(field->stringValue()->UTF8String(), "pw1");
    EXPECT_EQ(editor->string()->length(), 0u);  // the shared editor keeps no password
}

// --- Sliders ---

TEST_F(ControlsTest, SliderMovesByKeysAndSendsItsAction)
{
    auto slider = add<NSSlider>(NSMakeRect(20, 100, 200, 22));
    slider->setMinValue(0);
    slider->setMaxValue(10);
    struct Case {
        const char* name;
        double altIncrement;
        NSInteger ticks;
        uint16_t key;
        double expected;
    };
    const Case cases[] = {
        {"right", 0, 0, kVK_RightArrow, 6},    {"left", 0, 0, kVK_LeftArrow, 4}, {"up", 0, 0, kVK_UpArrow, 6},
        {"down", 0, 0, kVK_DownArrow, 4},      {"home", 0, 0, kVK_Home, 0},      {"end", 0, 0, kVK_End, 10},
        {"step", 2.5, 0, kVK_RightArrow, 7.5}, {"tick", 0, 3, kVK_LeftArrow, 0},
    };
    window->makeFirstResponder(slider);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        slider->setNumberOfTickMarks(0);
        slider->setAllowsTickMarkValuesOnly(false);
        slider->setDoubleValue(5);
        slider->setAltIncrementValue(c.altIncrement);
        if (c.ticks) {
            slider->setNumberOfTickMarks(c.ticks);
            slider->setAllowsTickMarkValuesOnly(true);
        }
        recorder->count = 0;
        key(c.key);
        EXPECT_DOUBLE_EQ(slider->doubleValue(), c.expected);
        EXPECT_EQ(recorder->count, 1);
    }
    slider->setDoubleValue(10);
    recorder->count = 0;
    key(kVK_RightArrow);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 10);
    EXPECT_EQ(recorder->count, 0);  // nothing changed, nothing sent
}

TEST_F(ControlsTest, SliderDragIsContinuousAndVerticalWhenTall)
{
    auto slider = add<NSSlider>(NSMakeRect(20, 100, 216, 22));
    slider->setMaxValue(100);
    // The track runs from 8 to 208 in the slider.
    server().injectMouse(NSEventTypeLeftMouseDown, onScreen(slider, NSMakePoint(8, 11)));
    server().injectMouse(NSEventTypeLeftMouseDragged, onScreen(slider, NSMakePoint(58, 11)));
    server().injectMouse(NSEventTypeLeftMouseDragged, onScreen(slider, NSMakePoint(108, 40)));
    server().injectMouse(NSEventTypeLeftMouseUp, onScreen(slider, NSMakePoint(108, 40)));
    pump();
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 50);
    EXPECT_GE(recorder->count, 3);

    auto tall = add<NSSlider>(NSMakeRect(300, 20, 22, 216));
    tall->setMaxValue(100);
    EXPECT_TRUE(tall->isVertical());
    EXPECT_FALSE(slider->isVertical());
    clickAt(onScreen(tall, NSMakePoint(11, 8)));  // the top, in a flipped control
    EXPECT_DOUBLE_EQ(tall->doubleValue(), 100);
}

// --- Radio matrix ---

TEST_F(ControlsTest, RadioMatrixKeepsOneCellOn)
{
    auto prototype = NSObject::alloc<NSButtonCell>();
    prototype->initTextCell("Option"_ns);
    prototype->setButtonType(NSRadioButton);
    auto matrix = NSObject::alloc<NSMatrix>();
    matrix->initWithFrame(NSMakeRect(20, 50, 120, 80), NSRadioModeMatrix, Ref<NSCell>(prototype), 3, 1);
    matrix->setCellSize(NSMakeSize(120, 20));
    matrix->setTarget(recorder);
    matrix->setAction("act:");
    window->contentView()->addSubview(matrix);
    for (NSInteger i = 0; i < 3; ++i) matrix->cellAtRow(i, 0)->setTag(10 + i);

    auto states = [&] {
        std::vector<NSInteger> s;
        for (NSUInteger i = 0; i < matrix->cells()->count(); ++i)
            s.push_back(dynamic_ref_cast<NSCell>(matrix->cells()->objectAtIndex(i))->state());
        return s;
    };
    EXPECT_EQ(states(), (std::vector<NSInteger>{1, 0, 0}));

    clickAt(onScreen(matrix, NSMakePoint(30, 52)));  // row 2 (flipped)
    EXPECT_EQ(matrix->selectedRow(), 2);
    EXPECT_EQ(matrix->selectedTag(), 12);
    EXPECT_EQ(states(), (std::vector<NSInteger>{0, 0, 1}));
    EXPECT_EQ(recorder->count, 1);

    EXPECT_TRUE(matrix->selectCellWithTag(11));
    EXPECT_EQ(states(), (std::vector<NSInteger>{0, 1, 0}));
    matrix->deselectAllCells();  // refused: a radio matrix keeps one on
    EXPECT_EQ(states(), (std::vector<NSInteger>{0, 1, 0}));

    window->makeFirstResponder(matrix);
    key(kVK_UpArrow);
    EXPECT_EQ(matrix->selectedRow(), 0);
    key(kVK_UpArrow);  // at the edge
    EXPECT_EQ(matrix->selectedRow(), 0);
    matrix->cellAtRow(1, 0)->setEnabled(false);
    key(kVK_DownArrow);  // skips the disabled cell
    EXPECT_EQ(matrix->selectedRow(), 2);
    EXPECT_EQ(states(), (std::vector<NSInteger>{0, 0, 1}));
    EXPECT_EQ(recorder->count, 3);
}

// --- Pop-up buttons ---

// The list is at least as wide as the button: a click under the button's
// right end chooses an item instead of falling outside a narrow list.
TEST_F(ControlsTest, PopUpButtonListIsAsWideAsTheButton)
{
    auto popup = add<NSPopUpButton>(NSMakeRect(20, 220, 300, 24));
    popup->addItemsWithTitles(NSArray::arrayWithObjects({"A"_ns, "B"_ns, "C"_ns}));
    const NSPoint button = centreOf(popup);
    for (auto p : {button, NSMakePoint(button.x + 130, button.y - 40)}) {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
    }
    pump();
    EXPECT_EQ(popup->indexOfSelectedItem(), 2);
}

TEST_F(ControlsTest, PopUpButtonChoosesByClick)
{
    auto popup = add<NSPopUpButton>(NSMakeRect(20, 220, 150, 24));
    popup->addItemsWithTitles(NSArray::arrayWithObjects({"Alpha"_ns, "Beta"_ns, "Gamma"_ns}));
    popup->cell()->setTag(0);
    dynamic_ref_cast<NSPopUpButtonCell>(popup->cell())->setTagOfItemAtIndex(7, 2);
    EXPECT_EQ(popup->indexOfSelectedItem(), 0);
    EXPECT_EQ(popup->titleOfSelectedItem()->UTF8String(), "Alpha");

    // The menu opens with the selected item over the button; items are 20 high.
    const NSPoint button = centreOf(popup);
    // The menu's tracking loop waits for the second click: queue all first.
    auto clicks = [&](std::vector<NSPoint> points) {
        for (auto p : points) {
            server().injectMouse(NSEventTypeLeftMouseDown, p);
            server().injectMouse(NSEventTypeLeftMouseUp, p);
        }
        pump();
    };
    clicks({button, NSMakePoint(button.x, button.y - 40)});  // the first click opens, the menu stays open
    EXPECT_EQ(popup->indexOfSelectedItem(), 2);
    EXPECT_EQ(popup->titleOfSelectedItem()->UTF8String(), "Gamma");
    EXPECT_EQ(popup->selectedTag(), 7);
    EXPECT_EQ(recorder->count, 1);
    EXPECT_EQ(popup->selectedItem()->state(), NSOnState);
    EXPECT_EQ(popup->itemAtIndex(0)->state(), NSOffState);

    // A click outside cancels.
    clicks({button, NSMakePoint(button.x + 200, button.y - 150)});
    EXPECT_EQ(popup->indexOfSelectedItem(), 2);
    EXPECT_EQ(recorder->count, 1);

    EXPECT_TRUE(popup->selectItemWithTag(7));
    popup->selectItemAtIndex(1);
    EXPECT_EQ(popup->stringValue()->UTF8String(), "Beta");
    // A pull-down's first item is its title; the others hang below it.
    auto pullDown = NSObject::alloc<NSPopUpButton>();
    pullDown->initWithFrame(NSMakeRect(200, 220, 150, 24), true);
    window->contentView()->addSubview(pullDown);
    pullDown->setTarget(recorder);
    pullDown->setAction("act:");
    pullDown->addItemsWithTitles(NSArray::arrayWithObjects({"Actions"_ns, "Copy"_ns, "Paste"_ns}));
    EXPECT_EQ(pullDown->title()->UTF8String(), "Actions");
    const NSPoint pd = centreOf(pullDown);
    clicks({pd, NSMakePoint(pd.x, pd.y - 12 - 4 - 20 - 10)});  // the second item below the button
    EXPECT_EQ(pullDown->indexOfSelectedItem(), 2);
    EXPECT_EQ(pullDown->title()->UTF8String(), "Actions");
    EXPECT_EQ(recorder->count, 2);
    pullDown->removeFromSuperview();
    recorder->count = 1;

    // The items are the menu's.
    auto item = NSMenuItem::itemWithTitle("Delta"_ns, {}, ""_ns);
    popup->menu()->addItem(item);
    EXPECT_EQ(popup->numberOfItems(), 4);
    popup->selectItem(item);
    EXPECT_EQ(popup->indexOfSelectedItem(), 3);
    popup->menu()->removeItem(item);
    EXPECT_EQ(popup->indexOfSelectedItem(), -1);
    popup->removeAllItems();
    EXPECT_EQ(popup->indexOfSelectedItem(), -1);
    EXPECT_EQ(popup->titleOfSelectedItem()->UTF8String(), "");
}
