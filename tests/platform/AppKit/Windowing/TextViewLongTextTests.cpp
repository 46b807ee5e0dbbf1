// A long text in a scrolled text view with non-contiguous layout: a far
// place is shown without laying out what comes before it, and the layout
// that idle time finishes keeps the shown text where the reader sees it.
#include "WindowingFixture.h"

#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextView.h"

TEST_F(WindowingTest, AFarPlaceIsShownAtOnceAndStaysInViewWhileIdleTimeLaysOutTheRest)
{
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(
        NSMakeRect(100, 100, 400, 300), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    auto scroll = NSObject::alloc<NSScrollView>();
    scroll->initWithFrame(NSMakeRect(0, 0, 400, 300));
    scroll->setHasVerticalScroller(true);
    window->contentView()->addSubview(scroll);
    auto textView = NSObject::alloc<NSTextView>();
    textView->initWithFrame(NSMakeRect(0, 0, scroll->contentView()->bounds().size.width, 300));
    textView->layoutManager()->setAllowsNonContiguousLayout(true);
    textView->setFont(NSFont::fontWithName("DejaVu Sans"_ns, 12));
    scroll->setDocumentView(textView);
    // Lines of one height, but every seventh wraps: the estimate is off.
    std::u16string text;
    NSUInteger far = 0;
    for (int line = 0; line < 6000; ++line) {
        if (line == 5400) far = text.size();
        text += u"line " + std::u16string(1 + line % 5, u'x');
        if (line % 7 == 0) text += u" with enough words after it to wrap onto a second line in the view";
        text += u"\n";
    }
    textView->setString(NSString::stringWithUTF16(text));
    window->orderFront(nullptr);

    textView->scrollRangeToVisible(NSMakeRange(far, 0));
    window->display();
    auto manager = textView->layoutManager();
    EXPECT_LT(manager->firstUnlaidCharacterIndex(), far / 2);
    const NSRect visible = textView->visibleRect();
    const NSPoint origin = textView->textContainerOrigin();
    const NSRect line = NSOffsetRect(manager->lineFragmentRectForGlyphAtIndex(far, nullptr), origin.x, origin.y);
    EXPECT_TRUE(NSMinY(line) >= NSMinY(visible) && NSMaxY(line) <= NSMaxY(visible))
        << NSMinY(visible) << " " << NSMinY(line);
    const NSUInteger top = textView->characterIndexForInsertionAtPoint(NSMakePoint(20, NSMinY(visible) + 1));

    pump();
    EXPECT_FALSE(manager->hasNonContiguousLayout());
    const NSRect after = textView->visibleRect();
    EXPECT_EQ(textView->characterIndexForInsertionAtPoint(NSMakePoint(20, NSMinY(after) + 1)), top);
    window->orderOut(nullptr);
}
