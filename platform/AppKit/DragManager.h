#pragma once
// The drag sessions of the process, for both backends alike. A session runs
// a tracking loop on the mouse events from the mouse-down that started it
// to the mouse-up: the image follows the pointer in a small window of its
// own (composited into the screen image headless; an override-redirect
// window on X11), each step hit-tests the windows of the process under the
// pointer, and the view there that registered for one of the pasteboard's
// types is the destination. Destinations hear entered, updated, exited,
// prepare, perform, conclude and ended; the source hears began, moved and
// ended. A drop that performs nothing (or Escape) slides the image back to
// where it started when the source asked for that.
//
// Drags never leave the process: no other program sees them.
#include "AppKit/NSDragging.h"

class NSView;
class NSEvent;

class DragManager {
public:
    static DragManager& shared();

    // Runs a session to its end; answers the operation performed (none when
    // the drop was refused or cancelled). imageOrigin is the image's
    // bottom-left corner in screen coordinates; event is the mouse-down.
    NSDragOperation runSession(const Ref<NSImage>& image, NSPoint imageOrigin, const Ref<NSEvent>& event,
                               const Ref<NSPasteboard>& pasteboard, const Id& source, bool slideBack);

    bool isDragging() const { return m_session != nullptr; }
    // The window showing the image while a session runs (nil otherwise, and
    // for a session without an image).
    Ref<NSWindow> imageWindow() const;
    // The positions the image passed through on its last slide back, ending
    // where it started (empty when the last session did not slide back).
    const std::vector<NSPoint>& lastSlideBack() const { return m_lastSlideBack; }

    // The registered view under the screen point whose types meet the
    // pasteboard's, searching each window of the process front to back
    // (nil when none); window answers its window.
    static Ref<NSView> destinationAt(NSPoint screenPoint, const Ref<NSArray>& types, Ref<NSWindow>& window);

private:
    struct Session;

    void moveTo(Session& s, NSPoint pointer, NSUInteger modifierFlags);
    void track(Session& s);
    NSDragOperation drop(Session& s);
    void cancel(Session& s);
    void slideBack(Session& s);
    NSDragOperation allowedOperations(Session& s) const;

    Session* m_session = nullptr;
    NSInteger m_sequenceNumber = 0;
    std::vector<NSPoint> m_lastSlideBack;
};
