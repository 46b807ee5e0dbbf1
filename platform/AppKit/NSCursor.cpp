#include "AppKit/NSCursor.h"

#include <map>
#include <vector>

#include "Foundation/NSClass.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSCursor)

namespace {

// Cursors belong to the main thread, like the window server.
struct CursorState {
    std::map<std::string, Ref<NSCursor>> standard;
    Ref<NSCursor> current;
    std::vector<Ref<NSCursor>> stack;
};

CursorState& cursorState()
{
    // Never destroyed: cursors may be set from other objects' destructors
    // at exit.
    static auto* state = new CursorState;
    return *state;
}

}

void NSCursor::describeClass(NSClassMembers<NSCursor>& m)
{
    m.action("set", &NSCursor::set);
    m.action("push", &NSCursor::push);
}

Ref<NSCursor> NSCursor::named(const char* themeName)
{
    auto& cursor = cursorState().standard[themeName];
    if (!cursor) {
        cursor = alloc<NSCursor>();
        cursor->m_themeName = themeName;
    }
    return cursor;
}

Ref<NSCursor> NSCursor::arrowCursor() { return named("left_ptr"); }
Ref<NSCursor> NSCursor::pointingHandCursor() { return named("pointer"); }
Ref<NSCursor> NSCursor::resizeLeftRightCursor() { return named("sb_h_double_arrow"); }
Ref<NSCursor> NSCursor::resizeUpDownCursor() { return named("sb_v_double_arrow"); }
Ref<NSCursor> NSCursor::openHandCursor() { return named("grab"); }
Ref<NSCursor> NSCursor::closedHandCursor() { return named("grabbing"); }
Ref<NSCursor> NSCursor::IBeamCursor() { return named("xterm"); }
Ref<NSCursor> NSCursor::crosshairCursor() { return named("crosshair"); }

Ref<NSCursor> NSCursor::initWithImage(const Ref<NSImage>& image, NSPoint hotSpot)
{
    m_image = image;
    m_hotSpot = hotSpot;
    return Ref<NSCursor>(this);
}

void NSCursor::set()
{
    Ref<NSCursor> self(this);
    cursorState().current = self;
    // A program without any backend (drawing only) keeps the current cursor
    // and shows nothing.
    if (!WindowServer::hasShared() && WindowServer::registeredBackends().empty()) return;
    auto& server = WindowServer::shared();
    const WSWindowID window = server.windowAtPoint(server.pointerLocation());
    if (!m_themeName.empty() || !m_image) {
        // An image-less cursor made with init shows as the arrow.
        server.setCursor(window, m_themeName.empty() ? "left_ptr" : m_themeName, nullptr, NSZeroPoint);
        return;
    }
    // One point is one pixel: the image at its own size.
    auto pixels = m_image->CGImageForDrawing();
    server.setCursor(window, "", pixels, m_hotSpot);
}

void NSCursor::push()
{
    cursorState().stack.push_back(currentCursor());
    set();
}

void NSCursor::pop()
{
    auto& stack = cursorState().stack;
    if (stack.empty()) return;
    Ref<NSCursor> below = stack.back();
    stack.pop_back();
    below->set();
}

Ref<NSCursor> NSCursor::currentCursor()
{
    auto& current = cursorState().current;
    return current ? current : arrowCursor();
}
