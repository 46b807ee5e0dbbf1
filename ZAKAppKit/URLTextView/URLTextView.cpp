#include "ZAKAppKit/URLTextView/URLTextView.h"

#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextStorage.h"
#include "AppKit/NSWindow.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSURL.h"

NS_CLASS_DEFINE(URLTextView)

namespace {

constexpr NSEventMask kTrackingMask =
    NSLeftMouseUpMask | NSRightMouseUpMask | NSLeftMouseDraggedMask | NSRightMouseDraggedMask;

Ref<NSURL> addressOf(const Id& link)
{
    if (auto url = dynamic_ref_cast<NSURL>(link)) return url;
    if (auto string = dynamic_ref_cast<NSString>(link)) return NSURL::URLWithString(string);
    return nullptr;
}

}  // namespace

Ref<NSView> URLTextView::initWithFrame(const NSRect& frame)
{
    NSTextView::initWithFrame(frame);
    if (auto w = window()) w->invalidateCursorRectsForView(Ref<NSView>(this));
    setFrame(frame);
    return Ref<NSView>(this);
}

Ref<NSCursor> URLTextView::handCursor()
{
    static auto* cursor = new Ref<NSCursor>;
    if (!*cursor)
        *cursor =
            NSObject::alloc<NSCursor>()->initWithImage(NSImage::imageNamed("ZAKURLTextViewHand"_ns), NSMakePoint(5, 0));
    return *cursor;
}

Ref<NSColor> URLTextView::linkRestColor() { return NSColor::colorWithCalibratedRed(0.1, 0.3, 0.8, 1.0); }

void URLTextView::resetCursorRects()
{
    auto cursor = handCursor();
    auto scrollView = enclosingScrollView();
    const NSRect visible = scrollView ? scrollView->documentVisibleRect() : NSZeroRect;
    auto manager = layoutManager();
    auto storage = textStorage();
    if (!manager || !storage) return;
    const NSPoint origin = textContainerOrigin();
    const NSRect visibleInContainer = NSOffsetRect(visible, -origin.x, -origin.y);
    const NSRange glyphs = manager->glyphRangeForBoundingRect(visibleInContainer, textContainer());
    const NSRange characters = manager->characterRangeForGlyphRange(glyphs, nullptr);

    NSUInteger index = characters.location;
    while (index < NSMaxRange(characters)) {
        NSRange run{index, 0};
        Id link = storage->attributeAtIndexLongestEffectiveRange(NSLinkAttributeName, index, &run, characters);
        if (run.length == 0) break;
        if (link) {
            for (const NSRect& rect : manager->rectArrayForCharacterRange(run, run, textContainer())) {
                const NSRect inView = NSOffsetRect(rect, origin.x, origin.y);
                const NSRect shown = NSIntersectionRect(visible, inView);
                if (!NSIsEmptyRect(shown)) addCursorRect(shown, cursor);
            }
        }
        index = NSMaxRange(run);
    }
}

bool URLTextView::isInLinkRects(NSPoint pointInView, const std::vector<NSRect>& rects) const
{
    const NSPoint origin = textContainerOrigin();
    const NSPoint p = NSMakePoint(pointInView.x - origin.x, pointInView.y - origin.y);
    for (const NSRect& rect : rects)
        if (NSMouseInRect(p, rect, false)) return true;
    return false;
}

void URLTextView::colorLink(NSRange range, const Ref<NSColor>& color)
{
    if (auto storage = textStorage()) storage->addAttribute(NSForegroundColorAttributeName, color, range);
}

void URLTextView::mouseDown(const Ref<NSEvent>& event)
{
    auto storage = textStorage();
    auto manager = layoutManager();
    const NSPoint point = convertPoint(event->locationInWindow(), nullptr);
    if (!storage || !manager || storage->length() == 0) return NSTextView::mouseDown(event);

    const NSPoint origin = textContainerOrigin();
    const NSUInteger glyph =
        manager->glyphIndexForPoint(NSMakePoint(point.x - origin.x, point.y - origin.y), textContainer());
    const NSUInteger character = manager->characterIndexForGlyphAtIndex(glyph);
    if (character >= storage->length()) return NSTextView::mouseDown(event);
    NSRange linkRange{0, 0};
    Id link = storage->attributeAtIndexLongestEffectiveRange(NSLinkAttributeName, character, &linkRange,
                                                             NSMakeRange(0, storage->length()));
    if (!link) return NSTextView::mouseDown(event);

    const std::vector<NSRect> rects = manager->rectArrayForCharacterRange(linkRange, linkRange, textContainer());
    if (!isInLinkRects(point, rects)) return NSTextView::mouseDown(event);

    colorLink(linkRange, NSColor::orangeColor());
    bool inside = true;
    for (;;) {
        auto next =
            NSApp->nextEventMatchingMask(kTrackingMask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!next) continue;
        const NSPoint at = convertPoint(next->locationInWindow(), nullptr);
        const bool over = isInLinkRects(at, rects);
        const NSEventType type = next->type();
        if (type == NSLeftMouseUp || type == NSRightMouseUp) {
            if (over) NSWorkspace::sharedWorkspace()->openURL(addressOf(link));
            colorLink(linkRange, linkRestColor());
            return;
        }
        if (over && !inside) {
            colorLink(linkRange, NSColor::orangeColor());
            inside = true;
        } else if (!over && inside) {
            colorLink(linkRange, linkRestColor());
            inside = false;
        }
    }
}
