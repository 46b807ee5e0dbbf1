#pragma once
// Cursors: the standard ones by name (shown from the desktop's cursor theme)
// and cursors made from an image with a hot spot. set makes a cursor the
// current one and shows it; push and pop keep a stack of them. Cursor
// rectangles of views (NSView::addCursorRect) set their cursor when the
// pointer enters them, and the arrow when it leaves them all.
#include <string>

#include "AppKit/NSImage.h"
#include "Foundation/NSGeometry.h"

class NSCursor : public NSObject {
    NS_OBJECT(NSCursor, NSObject)
protected:
    NSCursor() = default;

public:
    static Ref<NSCursor> arrowCursor();
    static Ref<NSCursor> pointingHandCursor();
    static Ref<NSCursor> resizeLeftRightCursor();
    static Ref<NSCursor> resizeUpDownCursor();
    static Ref<NSCursor> openHandCursor();
    static Ref<NSCursor> closedHandCursor();
    static Ref<NSCursor> IBeamCursor();
    static Ref<NSCursor> crosshairCursor();

    // The hot spot is in the image's points from its top-left corner.
    Ref<NSCursor> initWithImage(const Ref<NSImage>& image, NSPoint hotSpot);
    Id init() override { return initWithImage(nullptr, NSZeroPoint); }

    Ref<NSImage> image() const { return m_image; }
    NSPoint hotSpot() const { return m_hotSpot; }
    // The cursor theme's name of a standard cursor; empty for image cursors.
    const std::string& themeName() const { return m_themeName; }

    // Makes this the current cursor and shows it.
    void set();
    // Pushes the current cursor on the stack and sets this one.
    void push();
    // Sets the cursor below the top of the stack again; nothing when the
    // stack is empty. (The instance form -pop is the same call.)
    static void pop();
    // The cursor set last; the arrow before any.
    static Ref<NSCursor> currentCursor();

    static void describeClass(NSClassMembers<NSCursor>& m);

private:
    static Ref<NSCursor> named(const char* themeName);

    Ref<NSImage> m_image;
    NSPoint m_hotSpot;
    std::string m_themeName;
};
