// The text view driven by injected keys and clicks: typing, moves,
// selection, caret, scrolling, delegate calls and the field-editor mode.
#include "WindowingFixture.h"

#include "AppKit/NSClipView.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNumber.h"
#include "WindowServer/USKeyboardLayout.h"

// Records the delegate calls of a text view; refuses the replacements listed.
class TextViewRecorder : public NSObject, public NSTextViewDelegate {
    NS_OBJECT(TextViewRecorder, NSObject)
protected:
    TextViewRecorder() = default;

public:
    std::vector<std::string> calls;
    std::vector<NSInteger> movements;
    std::u16string refused;
    std::optional<bool> textShouldBeginEditing(const Ref<NSText>&) override
    {
        calls.push_back("shouldBegin");
        return true;
    }
    void textDidBeginEditing(const Ref<NSNotification>&) override { calls.push_back("didBegin"); }
    void textDidChange(const Ref<NSNotification>&) override { calls.push_back("didChange"); }
    void textDidEndEditing(const Ref<NSNotification>& n) override
    {
        calls.push_back("didEnd");
        auto movement = dynamic_ref_cast<NSNumber>(n->userInfo()->objectForKey(NSTextMovementUserInfoKey));
        movements.push_back(movement ? movement->integerValue() : -1);
    }
    std::optional<bool> textViewShouldChangeTextInRangeReplacementString(const Ref<NSTextView>&, NSRange range,
                                                                         const Ref<NSString>& text) override
    {
        calls.push_back("shouldChange " + std::to_string(range.location) + "," + std::to_string(range.length) + " " +
                        text->UTF8String());
        return text->utf16() != refused || refused.empty();
    }
    std::optional<NSRange> textViewWillChangeSelectionFromCharacterRangeToCharacterRange(const Ref<NSTextView>&,
                                                                                         NSRange, NSRange to) override
    {
        calls.push_back("willSelect " + std::to_string(to.location) + "," + std::to_string(to.length));
        return std::nullopt;
    }
    void textViewDidChangeSelection(const Ref<NSNotification>&) override { calls.push_back("didSelect"); }
};
NS_CLASS_DEFINE(TextViewRecorder)

class TextViewTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 400, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        // A scroll view that shows about five lines.
        scrollView = NSObject::alloc<NSScrollView>();
        scrollView->initWithFrame(NSMakeRect(20, 20, 300, 80));
        scrollView->setHasVerticalScroller(true);
        window->contentView()->addSubview(scrollView);
        NSSize visible = scrollView->contentView()->bounds().size;
        textView = NSObject::alloc<NSTextView>();
        textView->initWithFrame(NSMakeRect(0, 0, visible.width, visible.height));
        textView->setFont(font());
        scrollView->setDocumentView(textView);
        recorder = NSObject::make<TextViewRecorder>();
        textView->setDelegate(recorder);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(textView);
        pump();
    }

    static Ref<NSFont> font() { return NSFont::fontWithName("DejaVu Sans"_ns, 12); }

    std::u16string text() const { return textView->string()->utf16(); }
    // The screen point at the middle of a character's glyph.
    NSPoint screenPointOf(NSUInteger index, CGFloat fraction = 0.5)
    {
        auto lm = textView->layoutManager();
        NSRect line = lm->lineFragmentRectForGlyphAtIndex(index, nullptr);
        NSPoint at = lm->locationForGlyphAtIndex(index);
        NSPoint origin = textView->textContainerOrigin();
        NSPoint inView = NSMakePoint(origin.x + line.origin.x + at.x + lm->advanceForGlyphAtIndex(index) * fraction,
                                     origin.y + line.origin.y + at.y - 3);
        return window->convertBaseToScreen(textView->convertPointToView(inView, nullptr));
    }

    Ref<NSWindow> window;
    Ref<NSScrollView> scrollView;
    Ref<NSTextView> textView;
    Ref<TextViewRecorder> recorder;
};

TEST_F(TextViewTest, TypedKeysEditTheTextAndMoveCaretAndSelection)
{
    type(u"Hello world");
    EXPECT_EQ(text(), u"Hello world");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(11, 0));
    for (int i = 0; i < 5; ++i) key(kVK_LeftArrow);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(6, 0));
    for (int i = 0; i < 5; ++i) key(kVK_RightArrow, NSShiftKeyMask);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(6, 5));
    type(u"there");  // replaces the selection
    EXPECT_EQ(text(), u"Hello there");
    key(kVK_Delete);
    key(kVK_Return);
    type(u"x");
    EXPECT_EQ(text(), u"Hello ther\nx");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(12, 0));
    key(kVK_UpArrow);
    EXPECT_LE(textView->selectedRange().location, 2u);  // below the x: the start of line one
    key(kVK_RightArrow, NSCommandKeyMask);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(10, 0));  // end of the line, before its break
    key(kVK_LeftArrow, NSShiftKeyMask | NSAlternateKeyMask);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(6, 4));  // back over the word "ther"
    key(kVK_ForwardDelete);
    EXPECT_EQ(text(), u"Hello \nx");
    key(kVK_ANSI_A, NSCommandKeyMask);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(0, 8));

    // The caret is drawn where the layout puts it.
    key(kVK_DownArrow);
    ASSERT_EQ(textView->selectedRange(), NSMakeRange(8, 0));
    NSRect caret = textView->insertionPointRect();
    NSPoint middle =
        window->convertBaseToScreen(textView->convertPointToView(NSMakePoint(NSMidX(caret), NSMidY(caret)), nullptr));
    uint32_t pixel = screenPixel(static_cast<int>(middle.x), static_cast<int>(1080 - middle.y));
    EXPECT_LT(pixel & 0xff, 0x40u) << std::hex << pixel;
}

TEST_F(TextViewTest, DelegateHearsEachEditInOrderAndCanRefuseIt)
{
    type(u"a");
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"shouldBegin", "shouldChange 0,0 a", "didBegin",
                                                         "willSelect 1,0", "didSelect", "didChange"}));
    recorder->calls.clear();
    recorder->refused = u"!";
    type(u"b!");
    EXPECT_EQ(text(), u"ab");
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"shouldChange 1,0 b", "willSelect 2,0", "didSelect",
                                                         "didChange", "shouldChange 2,0 !"}));
    recorder->calls.clear();
    key(kVK_Delete);  // the real deletion range
    EXPECT_EQ(recorder->calls.front(), "shouldChange 1,1 ");
    textView->setEditable(false);
    type(u"c");
    EXPECT_EQ(text(), u"a");
    // Leaving the view ends editing.
    recorder->calls.clear();
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"didEnd"}));
    EXPECT_EQ(recorder->movements, (std::vector<NSInteger>{NSOtherTextMovement}));
}

TEST_F(TextViewTest, ClicksPlaceTheCaretDragsSelectAndDoubleClicksSelectAWord)
{
    textView->setString("alpha beta gamma"_ns);
    pump();
    server().injectMouse(NSEventTypeLeftMouseDown, screenPointOf(7, 0.2), 0, 1);
    server().injectMouse(NSEventTypeLeftMouseUp, screenPointOf(7, 0.2), 0, 1);
    pump();
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(7, 0));
    server().injectMouse(NSEventTypeLeftMouseDown, screenPointOf(1, 0.1), 0, 1);
    server().injectMouse(NSEventTypeLeftMouseDragged, screenPointOf(8, 0.9));
    server().injectMouse(NSEventTypeLeftMouseUp, screenPointOf(8, 0.9), 0, 1);
    pump();
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(1, 8));
    server().injectMouse(NSEventTypeLeftMouseDown, screenPointOf(13), 0, 2);
    server().injectMouse(NSEventTypeLeftMouseUp, screenPointOf(13), 0, 2);
    pump();
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(11, 5));
}

TEST_F(TextViewTest, TypingPastTheVisibleLinesScrollsToTheCaret)
{
    for (int line = 0; line < 8; ++line) {
        type(u"line");
        key(kVK_Return);
    }
    type(u"end");
    EXPECT_GT(textView->frame().size.height, 80);  // the view grew with its text
    NSRect visible = scrollView->documentVisibleRect();
    EXPECT_GT(visible.origin.y, 0);
    NSRect caret = textView->insertionPointRect();
    EXPECT_GE(NSMinY(caret), NSMinY(visible));
    EXPECT_LE(NSMaxY(caret), NSMaxY(visible));
    textView->scrollRangeToVisible(NSMakeRange(0, 0));
    EXPECT_EQ(scrollView->documentVisibleRect().origin.y, 0);
    // Edits of the storage itself resize the view too.
    auto storage = textView->textStorage();
    storage->replaceCharactersInRange(NSMakeRange(0, storage->length()), "one line"_ns);
    EXPECT_EQ(textView->frame().size.height, textView->minSize().height);
}

TEST_F(TextViewTest, WindowFieldEditorEndsEditingWithTheMovementOfItsKey)
{
    auto editor = dynamic_ref_cast<NSTextView>(window->fieldEditor(true, nullptr));
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isFieldEditor());
    EXPECT_EQ(window->fieldEditor(false, nullptr), Ref<NSResponder>(editor));
    editor->setFrame(NSMakeRect(10, 150, 200, 20));
    window->contentView()->addSubview(editor);
    editor->setDelegate(recorder);
    editor->setString("old"_ns);
    window->makeFirstResponder(editor);
    recorder->movements.clear();
    struct Case {
        uint16_t key;
        NSUInteger flags;
        NSInteger movement;
    } cases[] = {{kVK_Return, 0, NSReturnTextMovement},
                 {kVK_Tab, 0, NSTabTextMovement},
                 {kVK_Tab, NSShiftKeyMask, NSBacktabTextMovement}};
    for (const Case& c : cases) {
        type(u"x");
        key(c.key, c.flags);
        ASSERT_FALSE(recorder->movements.empty());
        EXPECT_EQ(recorder->movements.back(), c.movement);
    }
    EXPECT_EQ(editor->string()->utf16(), u"oldxxx");  // no newline or tab entered
    type(u"yz");
    key(kVK_Escape);  // restores the text it started with
    EXPECT_EQ(editor->string()->utf16(), u"old");
    EXPECT_EQ(recorder->movements.back(), NSOtherTextMovement);
    EXPECT_EQ(recorder->movements.size(), 4u);
    editor->removeFromSuperview();
}

TEST_F(TextViewTest, KeyedArchiveKeepsTextFlagsAndFont)
{
    textView->setString("archived\ntext"_ns);
    textView->setEditable(false);
    textView->setTextContainerInset(NSMakeSize(4, 6));
    auto copy = dynamic_ref_cast<NSTextView>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(textView)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->string()->utf16(), u"archived\ntext");
    EXPECT_FALSE(copy->isEditable());
    EXPECT_TRUE(copy->isSelectable());
    EXPECT_EQ(copy->textContainerInset(), NSMakeSize(4, 6));
    EXPECT_TRUE(copy->font()->isEqual(font().get()));
    EXPECT_EQ(copy->frame().size.width, textView->frame().size.width);
    EXPECT_EQ(copy->layoutManager()->numberOfGlyphs(), 13u);
}
