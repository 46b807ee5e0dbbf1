// Editing a text view as users expect: typing undo in runs, redo, copy, cut
// and paste through the pasteboard with the Linux shortcuts, the selection
// pasteboard, validation, and undo after the text was changed by code.
#include "WindowingFixture.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSPasteboard.h"
#include "AppKit/NSTextView.h"
#include "AppKit/PopUpList.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUndoManager.h"

class TextEditingTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        NSPasteboard::resetForTesting();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 400, 300), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        textView = NSObject::alloc<NSTextView>();
        textView->initWithFrame(NSMakeRect(10, 10, 380, 280));
        textView->setFont(NSFont::fontWithName("DejaVu Sans"_ns, 12));
        window->contentView()->addSubview(textView);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(textView);
        pump();
    }
    void TearDown() override
    {
        window->orderOut(nullptr);
        NSPasteboard::resetForTesting();
        WindowingTest::TearDown();
    }
    std::u16string text() const { return textView->string()->utf16(); }
    static void ctrl(uint16_t code, NSUInteger more = 0) { key(code, NSControlKeyMask | more); }
    static Ref<NSPasteboard> general() { return NSPasteboard::generalPasteboard(); }
    static void putOnClipboard(const Ref<NSData>& data)
    {
        general()->declareTypes(NSArray::arrayWithObject(NSPasteboardTypeString), nullptr);
        general()->setData(data, NSPasteboardTypeString);
    }

    Ref<NSWindow> window;
    Ref<NSTextView> textView;
};

TEST_F(TextEditingTest, TypingUndoesInRunsThatTheCaretMovesEnd)
{
    type(u"hello world");
    key(kVK_Delete);
    key(kVK_Delete);
    EXPECT_EQ(text(), u"hello wor");
    // Typing and deleting at the caret is one action, undone whole.
    auto undo = dynamic_ref_cast<NSUndoManager>(textView->undoManager());
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo, window->undoManager());
    EXPECT_EQ(undo->undoMenuItemTitle()->UTF8String(), "Undo Typing");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"");
    ctrl(kVK_ANSI_Z, NSShiftKeyMask);
    EXPECT_EQ(text(), u"hello wor");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(0, 9));  // what came back is selected

    // Moving the caret starts a new run.
    key(kVK_RightArrow);
    key(kVK_LeftArrow);
    type(u"X");
    key(kVK_RightArrow);
    type(u"Y");
    EXPECT_EQ(text(), u"hello woXrY");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"hello woXr");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"hello wor");
    // Backspace over text before the run joins the run.
    textView->setSelectedRange(NSMakeRange(5, 0));
    key(kVK_Delete);
    key(kVK_Delete);
    type(u"p!");
    EXPECT_EQ(text(), u"help! wor");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"hello wor");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(3, 2));
}

TEST_F(TextEditingTest, CopyCutAndPasteGoThroughTheGeneralPasteboardAndUndo)
{
    type(u"hello world");
    ctrl(kVK_ANSI_A);
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(0, 11));
    ctrl(kVK_ANSI_C);
    EXPECT_EQ(general()->stringForType(NSPasteboardTypeString)->utf16(), u"hello world");
    // The text selected last is on the selection pasteboard too.
    EXPECT_EQ(NSTextView::selectionPasteboard()->stringForType(NSPasteboardTypeString)->utf16(), u"hello world");

    textView->setSelectedRange(NSMakeRange(6, 5));
    ctrl(kVK_ANSI_X);
    EXPECT_EQ(text(), u"hello ");
    EXPECT_EQ(general()->stringForType(NSPasteboardTypeString)->utf16(), u"world");
    key(kVK_LeftArrow, NSCommandKeyMask);
    ctrl(kVK_ANSI_V);
    EXPECT_EQ(text(), u"worldhello ");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(5, 0));

    auto undo = dynamic_ref_cast<NSUndoManager>(textView->undoManager());
    EXPECT_EQ(undo->undoMenuItemTitle()->UTF8String(), "Undo Paste");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"hello ");
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"hello world");
    ctrl(kVK_ANSI_Z, NSShiftKeyMask);
    ctrl(kVK_ANSI_Z, NSShiftKeyMask);
    EXPECT_EQ(text(), u"worldhello ");
}

TEST_F(TextEditingTest, PastedTextTakesTheTypingAttributesAndBadBytesBecomeReplacementCharacters)
{
    auto big = NSFont::fontWithName("DejaVu Sans"_ns, 20);
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(textView->typingAttributes());
    attributes->setObject(big, NSFontAttributeName);
    textView->setTypingAttributes(attributes);
    const char bytes[] = "a\xFF"
                         "b\xED\xB0\x80"
                         "c";
    putOnClipboard(NSData::dataWithBytes(bytes, sizeof bytes - 1));
    ctrl(kVK_ANSI_V);
    EXPECT_EQ(text(), u"a\uFFFDb\uFFFD\uFFFD\uFFFDc");
    auto font = dynamic_ref_cast<NSFont>(textView->textStorage()->attributeAtIndex(NSFontAttributeName, 0, nullptr));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 20);
}

TEST_F(TextEditingTest, ActionsThatCannotActBeepAndChangeNothing)
{
    int beeps = server().beepCount();
    general()->declareTypes(NSArray::arrayWithObject(NSPasteboardTypeString), nullptr);
    general()->setString("kept"_ns, NSPasteboardTypeString);
    ctrl(kVK_ANSI_Z);  // nothing to undo
    ctrl(kVK_ANSI_C);  // nothing selected
    EXPECT_EQ(server().beepCount(), beeps + 2);
    EXPECT_EQ(general()->stringForType(NSPasteboardTypeString)->utf16(), u"kept");

    general()->clearContents();
    ctrl(kVK_ANSI_V);  // nothing to paste
    EXPECT_EQ(server().beepCount(), beeps + 3);
    EXPECT_EQ(text(), u"");

    type(u"ab");
    auto item = NSMenuItem::itemWithTitle("Undo"_ns, "undo:", ""_ns);
    EXPECT_EQ(textView->validateMenuItem(item), true);
    EXPECT_EQ(item->title()->UTF8String(), "Undo Typing");
    item = NSMenuItem::itemWithTitle("Redo"_ns, "redo:", ""_ns);
    EXPECT_EQ(textView->validateMenuItem(item), false);
    textView->setEditable(false);
    EXPECT_FALSE(textView->validateAction("undo:"));
    EXPECT_FALSE(textView->validateAction("paste:"));
}

TEST_F(TextEditingTest, ChangesByCodeDropTheViewsUndoActions)
{
    type(u"typed");
    textView->setString("replaced"_ns);
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"replaced");

    type(u"!");
    auto storage = textView->textStorage();
    storage->replaceCharactersInRange(NSMakeRange(0, 0), ">"_ns);
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u">replaced!");
    // Attribute changes keep what can be undone.
    type(u"?");
    storage->addAttribute(NSForegroundColorAttributeName, NSColor::redColor(), NSMakeRange(0, 1));
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u">replaced!");
}

// A dead key shows its accent marked (underlined) until the composed letter
// replaces it as one edit; a cancelled sequence leaves the text as it was.
TEST_F(TextEditingTest, ADeadKeyIsMarkedTextUntilTheComposedLetterComes)
{
    type(u"caf");
    auto keyWith = [&](const std::u16string& characters, const Ref<NSString>& marked) {
        auto text = NSString::stringWithUTF16(characters);
        auto event = NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, 0, 0, window->windowNumber(), nullptr,
                                               text, text, false, 0);
        event->setMarkedText(marked);
        NSApplication::postEvent(event, false);
        pump();
    };
    keyWith(u"", NSString::stringWithUTF16(u"\u00B4"));
    EXPECT_EQ(text(), u"caf\u00B4");
    ASSERT_TRUE(textView->hasMarkedText());
    EXPECT_EQ(textView->markedRange(), NSMakeRange(3, 1));
    auto underline = dynamic_ref_cast<NSNumber>(
        textView->textStorage()->attributeAtIndex(NSUnderlineStyleAttributeName, 3, nullptr));
    ASSERT_TRUE(underline);
    EXPECT_EQ(underline->integerValue(), NSUnderlineStyleSingle);

    keyWith(u"\u00E9", nullptr);
    EXPECT_EQ(text(), u"caf\u00E9");
    EXPECT_FALSE(textView->hasMarkedText());
    EXPECT_FALSE(textView->textStorage()->attributeAtIndex(NSUnderlineStyleAttributeName, 3, nullptr));
    ctrl(kVK_ANSI_Z);
    EXPECT_EQ(text(), u"caf");

    keyWith(u"", NSString::stringWithUTF16(u"\u00B4"));
    keyWith(u"", ""_ns);
    EXPECT_EQ(text(), u"caf");
    EXPECT_FALSE(textView->hasMarkedText());
}

// Pasting a large text lays out only what the view shows and where the
// caret lands; the rest follows in idle time.
TEST_F(TextEditingTest, ALargePasteLaysOutOnlyWhatIsShown)
{
    textView->layoutManager()->setAllowsNonContiguousLayout(true);
    std::string line(70, 'w');
    line += '\n';
    std::string large;
    for (int i = 0; i < 8000; ++i) large += line;
    large += "end";
    putOnClipboard(NSData::dataWithBytes(large.data(), large.size()));
    type(u"before ");
    // Pasted outside the run loop, whose idle time would lay out the rest.
    textView->paste(nullptr);
    const NSUInteger length = textView->string()->length();
    EXPECT_EQ(length, 7 + large.size());
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(length, 0));
    EXPECT_LT(textView->layoutManager()->firstUnlaidCharacterIndex(), length / 20);
    pump();
    EXPECT_FALSE(textView->layoutManager()->hasNonContiguousLayout());
}

namespace {

// Offers its own completions, or says nothing.
class Completer : public NSObject, public NSTextViewDelegate {
    NS_OBJECT(Completer, NSObject)
protected:
    Completer() = default;

public:
    std::optional<std::vector<std::u16string>> offer;
    NSInteger highlight = -1;
    std::vector<std::u16string> given;
    NSRange asked = NSMakeRange(NSNotFound, 0);
    std::optional<Ref<NSArray>> textViewCompletionsForPartialWordRangeIndexOfSelectedItem(const Ref<NSTextView>&,
                                                                                          const Ref<NSArray>& words,
                                                                                          NSRange range,
                                                                                          NSInteger* index) override
    {
        asked = range;
        given.clear();
        for (const auto& w : words->snapshot()) given.push_back(dynamic_ref_cast<NSString>(w)->utf16());
        if (!offer) return std::nullopt;
        *index = highlight;
        auto out = NSMutableArray::array();
        for (const auto& w : *offer) out->addObject(NSString::stringWithUTF16(w));
        return Ref<NSArray>(out);
    }
};
NS_CLASS_DEFINE(Completer)

}

TEST_F(TextEditingTest, CompletionListsTheWordsThatBeginWithThePartialWord)
{
    auto completer = NSObject::make<Completer>();
    textView->setDelegate(completer);
    textView->setString("Apple apricot banana april ap"_ns);
    textView->setSelectedRange(NSMakeRange(29, 0));
    EXPECT_EQ(textView->rangeForUserCompletion(), NSMakeRange(27, 2));
    NSInteger index = 7;
    auto words = textView->completionsForPartialWordRange(NSMakeRange(27, 2), &index);
    EXPECT_EQ(completer->given, (std::vector<std::u16string>{u"Apple", u"apricot", u"april"}));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(words->count(), 3u);
    // A selection has no partial word.
    textView->setSelectedRange(NSMakeRange(0, 5));
    EXPECT_EQ(textView->rangeForUserCompletion(), NSMakeRange(0, 0));

    // The list opens under the word; Down and Return insert the second.
    struct Case {
        std::vector<uint16_t> keys;
        std::u16string result;
    } cases[] = {
        {{kVK_DownArrow, kVK_Return}, u"Apple apricot banana april apricot"},
        {{kVK_Return}, u"Apple apricot banana april Apple"},
        {{kVK_Escape}, u"Apple apricot banana april ap"},
    };
    for (const auto& c : cases) {
        textView->setString("Apple apricot banana april ap"_ns);
        textView->setSelectedRange(NSMakeRange(29, 0));
        std::optional<WSWindowInfo> seen;
        std::function<void()> whenOpen = [&] {
            for (auto& info : server().allWindows())
                if (info.visible && info.frame.size.height > 0 && PopUpList::currentListWindow() &&
                    info.windowID == PopUpList::currentListWindow()->windowNumber())
                    seen = info;
            if (!seen) return NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, whenOpen);
            for (uint16_t k : c.keys) {
                server().injectKey(k, 0, true);
                server().injectKey(k, 0, false);
            }
        };
        NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, whenOpen);
        textView->complete(nullptr);
        ASSERT_TRUE(seen);
        EXPECT_EQ(text(), c.result);
        // The list hangs below the word: its top is under the window's text.
        EXPECT_LT(NSMaxY(seen->frame),
                  window->convertBaseToScreen(textView->convertPointToView(NSMakePoint(0, 0), nullptr)).y);
    }

    // The delegate's own list and highlight win; nothing to offer beeps.
    completer->offer = std::vector<std::u16string>{u"apex", u"apogee"};
    completer->highlight = 1;
    textView->setString("ap"_ns);
    textView->setSelectedRange(NSMakeRange(2, 0));
    std::function<void()> accept = [&] {
        if (!PopUpList::currentListWindow())
            return NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, accept);
        server().injectKey(kVK_Return, 0, true);
        server().injectKey(kVK_Return, 0, false);
    };
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, accept);
    textView->complete(nullptr);
    EXPECT_EQ(text(), u"apogee");
    EXPECT_EQ(textView->selectedRange(), NSMakeRange(6, 0));

    completer->offer = std::vector<std::u16string>{};
    const int beeps = server().beepCount();
    textView->complete(nullptr);
    EXPECT_EQ(server().beepCount(), beeps + 1);
}
