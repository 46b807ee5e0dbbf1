#pragma once
// A text view whose links show a pointing hand and open their address in the
// default application when clicked. While the mouse is held on a link it is
// orange; it takes the rest colour again when the pointer leaves it and after
// the click. Elsewhere it is a plain text view.
#include "AppKit/NSCursor.h"
#include "AppKit/NSTextView.h"

class URLTextView : public NSTextView {
    NS_OBJECT(URLTextView, NSTextView)
protected:
    URLTextView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // A hand over every visible piece of every link; none outside a scroll
    // view, whose visible rectangle bounds them.
    void resetCursorRects() override;
    void mouseDown(const Ref<NSEvent>& event) override;

    // Shared by every link text view: the image "ZAKURLTextViewHand" with its
    // hot spot at (5, 0).
    static Ref<NSCursor> handCursor();
    // Calibrated (0.1, 0.3, 0.8): the colour a link takes after a click.
    static Ref<NSColor> linkRestColor();

private:
    void colorLink(NSRange range, const Ref<NSColor>& color);
    bool isInLinkRects(NSPoint pointInView, const std::vector<NSRect>& rects) const;
};
