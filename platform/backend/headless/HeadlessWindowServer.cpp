#include "backend/headless/HeadlessWindowServer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "Foundation/Clock.h"
#include "Foundation/NSString.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WSMouseRecord.h"
#include "WindowServer/WindowStacking.h"

namespace {

[[maybe_unused]] const bool g_registered =
    WindowServer::registerBackend("headless", [] { return std::unique_ptr<WindowServer>(new HeadlessWindowServer); });

constexpr NSTimeInterval kDoubleClickTime = 0.5;
constexpr CGFloat kDoubleClickDistance = 4;

size_t pixels(CGFloat points) { return static_cast<size_t>(std::max<CGFloat>(1, std::round(points))); }

bool isDown(NSEventType t)
{
    return t == NSEventTypeLeftMouseDown || t == NSEventTypeRightMouseDown || t == NSEventTypeOtherMouseDown;
}

bool isUp(NSEventType t)
{
    return t == NSEventTypeLeftMouseUp || t == NSEventTypeRightMouseUp || t == NSEventTypeOtherMouseUp;
}

NSUInteger buttonBit(NSEventType t)
{
    switch (t) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeLeftMouseUp:
    case NSEventTypeLeftMouseDragged: return 1;
    case NSEventTypeRightMouseDown:
    case NSEventTypeRightMouseUp:
    case NSEventTypeRightMouseDragged: return 2;
    default: return 4;
    }
}

bool isModifierKey(uint16_t code)
{
    return code == kVK_Command || code == kVK_Shift || code == kVK_CapsLock || code == kVK_Option ||
           code == kVK_Control;
}

}

HeadlessWindowServer::HeadlessWindowServer() { configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286)); }

HeadlessWindowServer::~HeadlessWindowServer() = default;

HeadlessWindowServer* HeadlessWindowServer::current()
{
    return dynamic_cast<HeadlessWindowServer*>(&WindowServer::shared());
}

// --- Configuration ---

void HeadlessWindowServer::configureMainScreen(NSSize size, NSSize physicalMM)
{
    WSScreen s;
    s.displayID = 1;
    s.frame = NSMakeRect(0, 0, size.width, size.height);
    s.physicalSizeMM = physicalMM;
    m_screens = {s};
    setMenuBarHeight(m_menuBar);
}

void HeadlessWindowServer::setMenuBarHeight(CGFloat height)
{
    m_menuBar = std::max<CGFloat>(0, height);
    for (size_t i = 0; i < m_screens.size(); ++i) {
        NSRect v = m_screens[i].frame;
        if (i == 0) v.size.height = std::max<CGFloat>(0, v.size.height - m_menuBar);
        m_screens[i].visibleFrame = v;
    }
}

void HeadlessWindowServer::setScreens(std::vector<WSScreen> screens) { m_screens = std::move(screens); }

// --- Windows ---

HeadlessWindowServer::Window* HeadlessWindowServer::find(WSWindowID id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : &it->second;
}

const HeadlessWindowServer::Window* HeadlessWindowServer::find(WSWindowID id) const
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : &it->second;
}

WSWindowID HeadlessWindowServer::createWindow(const NSRect& frame, NSInteger level, bool opaque)
{
    WSWindowID id = m_nextID++;
    Window w;
    w.info.windowID = id;
    w.info.frame = frame;
    w.info.level = level;
    w.info.opaque = opaque;
    w.surface = CGImage::create(pixels(frame.size.width), pixels(frame.size.height));
    m_windows[id] = std::move(w);
    return id;
}

void HeadlessWindowServer::destroyWindow(WSWindowID window)
{
    orderOut(window);
    m_windows.erase(window);
    if (m_key == window) m_key = 0;
    if (m_grab == window) m_grab = 0;
    if (m_hover == window) m_hover = 0;
}

void HeadlessWindowServer::setFrame(WSWindowID window, const NSRect& frame)
{
    auto* w = find(window);
    if (!w) return;
    const bool resized =
        pixels(frame.size.width) != w->surface->width() || pixels(frame.size.height) != w->surface->height();
    w->info.frame = frame;
    // The old surface stays alive for whoever still draws into it.
    if (resized) w->surface = CGImage::create(pixels(frame.size.width), pixels(frame.size.height));
}

void HeadlessWindowServer::setLevel(WSWindowID window, NSInteger level)
{
    auto* w = find(window);
    if (!w || w->info.level == level) return;
    w->info.level = level;
    if (std::find(m_order.begin(), m_order.end(), window) != m_order.end()) placeInOrder(window, 1, 0);
}

void HeadlessWindowServer::setAlpha(WSWindowID window, CGFloat alpha)
{
    if (auto* w = find(window)) w->info.alpha = alpha;
}

void HeadlessWindowServer::setOpaque(WSWindowID window, bool opaque)
{
    if (auto* w = find(window)) w->info.opaque = opaque;
}

void HeadlessWindowServer::setHasShadow(WSWindowID window, bool shadow)
{
    if (auto* w = find(window)) w->info.hasShadow = shadow;
}

void HeadlessWindowServer::setIgnoresMouse(WSWindowID window, bool ignores)
{
    if (auto* w = find(window)) w->info.ignoresMouse = ignores;
}

void HeadlessWindowServer::setTitle(WSWindowID window, const std::string& title)
{
    if (auto* w = find(window)) w->info.title = title;
}

void HeadlessWindowServer::setRole(WSWindowID window, const std::string& role, WSWindowType type)
{
    if (auto* w = find(window)) {
        w->info.role = role;
        w->info.type = type;
    }
}

// --- Reports ---

void HeadlessWindowServer::reportFrameChange(WSWindowID window, const NSRect& frame)
{
    if (find(window)) client().windowFrameChanged(window, frame);
}

void HeadlessWindowServer::reportCloseRequest(WSWindowID window)
{
    if (find(window)) client().windowCloseRequested(window);
}

void HeadlessWindowServer::reportFocus(WSWindowID window, bool gained)
{
    if (!find(window)) return;
    if (gained) m_key = window;
    client().windowFocusChanged(window, gained);
}

void HeadlessWindowServer::placeInOrder(WSWindowID id, int place, WSWindowID relativeTo)
{
    auto* w = find(id);
    if (!w) return;
    WindowStacking::placeInOrder(m_order, id, w->info.level, place, relativeTo,
                                 [&](WSWindowID other) { return find(other)->info.level; });
}

void HeadlessWindowServer::orderWindow(WSWindowID window, int place, WSWindowID relativeTo)
{
    auto* w = find(window);
    if (!w) return;
    w->info.visible = true;
    placeInOrder(window, place, relativeTo);
}

void HeadlessWindowServer::orderOut(WSWindowID window)
{
    if (auto* w = find(window)) w->info.visible = false;
    std::erase(m_order, window);
}

Ref<CGImage> HeadlessWindowServer::surface(WSWindowID window)
{
    auto* w = find(window);
    return w ? w->surface : nullptr;
}

void HeadlessWindowServer::flushWindow(WSWindowID window)
{
    if (auto* w = find(window)) ++w->flushes;
}

int HeadlessWindowServer::flushCount(WSWindowID window) const
{
    auto* w = find(window);
    return w ? w->flushes : 0;
}

std::optional<WSWindowInfo> HeadlessWindowServer::windowInfo(WSWindowID window) const
{
    auto* w = find(window);
    if (!w) return std::nullopt;
    WSWindowInfo info = w->info;
    info.key = window == m_key;
    return info;
}

std::vector<WSWindowInfo> HeadlessWindowServer::allWindows() const
{
    std::vector<WSWindowInfo> list;
    for (auto id : m_order) list.push_back(*windowInfo(id));
    for (const auto& [id, w] : m_windows)
        if (!w.info.visible) list.push_back(*windowInfo(id));
    return list;
}

WSWindowID HeadlessWindowServer::windowAtPoint(NSPoint p) const
{
    for (auto id : m_order) {
        const Window* w = find(id);
        const NSRect f = w->info.frame;
        if (w->info.ignoresMouse || !NSMouseInRect(p, f, false)) continue;
        if (w->info.opaque) return id;
        // Rows from the top: the point's row is the one whose top edge is at
        // or above it.
        const auto col = static_cast<size_t>(std::floor(p.x - f.origin.x));
        const auto row = static_cast<size_t>(std::floor(NSMaxY(f) - p.y));
        if (col >= w->surface->width() || row >= w->surface->height()) continue;
        if ((w->surface->pixel(col, row) >> 24) != 0) return id;
    }
    return 0;
}

// --- Composition ---

Ref<CGImage> HeadlessWindowServer::screenImage(size_t screenIndex) const
{
    if (screenIndex >= m_screens.size()) return nullptr;
    const NSRect s = m_screens[screenIndex].frame;
    auto image = CGImage::create(pixels(s.size.width), pixels(s.size.height));
    if (!image) return nullptr;
    cairo_t* cr = cairo_create(image->surface());
    cairo_set_source_rgba(cr, ((m_desktop >> 16) & 0xFF) / 255.0, ((m_desktop >> 8) & 0xFF) / 255.0,
                          (m_desktop & 0xFF) / 255.0, (m_desktop >> 24) / 255.0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const Window* w = find(*it);
        const NSRect f = w->info.frame;
        w->surface->surface();  // flushed
        cairo_set_source_surface(cr, w->surface->surface(), f.origin.x - s.origin.x, NSMaxY(s) - NSMaxY(f));
        cairo_paint_with_alpha(cr, w->info.alpha);
    }
    cairo_destroy(cr);
    image->markDirty();
    return image;
}

bool HeadlessWindowServer::saveScreenImage(const std::string& pngPath, size_t screenIndex) const
{
    auto image = screenImage(screenIndex);
    if (!image) return false;
    return cairo_surface_write_to_png(image->surface(), pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

// --- Input ---

void HeadlessWindowServer::postMouse(NSEventType type, WSWindowID window, NSPoint point, NSUInteger flags,
                                     NSInteger clickCount, NSPoint delta, NSInteger trackingNumber)
{
    const Window* w = find(window);
    if (!w) return;
    WSEvent e = WSMouseRecord(type, window, w->info.frame.origin, point, flags, clickCount, delta, trackingNumber);
    e.timestamp = Clock::systemUptime();
    e.eventNumber = ++m_eventNumber;
    postEvent(e);
}

void HeadlessWindowServer::movePointer(NSPoint point, NSUInteger flags)
{
    const NSPoint delta{point.x - m_pointer.x, m_pointer.y - point.y};
    m_pointer = point;
    if (m_buttons) {
        const NSEventType type = (m_buttons & 1)   ? NSEventTypeLeftMouseDragged
                                 : (m_buttons & 2) ? NSEventTypeRightMouseDragged
                                                   : NSEventTypeOtherMouseDragged;
        if (m_grab) postMouse(type, m_grab, point, flags, m_clickCount, delta);
        if (type == NSEventTypeLeftMouseDragged) notifyPointerMonitors(point, type);
        return;
    }
    const WSWindowID under = windowAtPoint(point);
    if (under != m_hover) {
        if (m_hover) postMouse(NSEventTypeMouseExited, m_hover, point, flags, 0, {}, 0);
        m_hover = under;
    }
    if (under) postMouse(NSEventTypeMouseMoved, under, point, flags, 0, delta);
    notifyPointerMonitors(point, NSEventTypeMouseMoved);
}

void HeadlessWindowServer::injectPointer(NSPoint point, NSUInteger modifierFlags) { movePointer(point, modifierFlags); }

void HeadlessWindowServer::injectMouse(NSEventType type, NSPoint point, NSUInteger flags, NSInteger clickCount)
{
    if (type == NSEventTypeMouseMoved || type == NSEventTypeLeftMouseDragged || type == NSEventTypeRightMouseDragged ||
        type == NSEventTypeOtherMouseDragged) {
        movePointer(point, flags);
        return;
    }
    if (point != m_pointer) movePointer(point, flags);
    if (isDown(type)) {
        const NSTimeInterval now = Clock::systemUptime();
        const bool again = type == m_lastDownType && m_lastDownTime >= 0 && now - m_lastDownTime <= kDoubleClickTime &&
                           std::fabs(point.x - m_lastDownPoint.x) <= kDoubleClickDistance &&
                           std::fabs(point.y - m_lastDownPoint.y) <= kDoubleClickDistance;
        m_clickCount = clickCount >= 0 ? clickCount : (again ? m_clickCount + 1 : 1);
        m_lastDownTime = now;
        m_lastDownPoint = point;
        m_lastDownType = type;
        if (!m_buttons) m_grab = windowAtPoint(point);
        m_buttons |= buttonBit(type);
        if (m_grab) postMouse(type, m_grab, point, flags, m_clickCount, {});
        return;
    }
    if (isUp(type)) {
        m_buttons &= ~buttonBit(type);
        const WSWindowID target = m_grab ? m_grab : windowAtPoint(point);
        if (target) postMouse(type, target, point, flags, clickCount >= 0 ? clickCount : m_clickCount, {});
        if (!m_buttons) m_grab = 0;
        return;
    }
}

void HeadlessWindowServer::injectScroll(NSPoint point, CGFloat dx, CGFloat dy, NSUInteger flags)
{
    if (point != m_pointer) movePointer(point, flags);
    if (const WSWindowID under = windowAtPoint(point))
        postMouse(NSEventTypeScrollWheel, under, point, flags, 0, {dx, dy});
}

void HeadlessWindowServer::injectKey(uint16_t keyCode, NSUInteger flags, bool down, bool isRepeat)
{
    if (keyCode < 128) m_keysDown.set(keyCode, down);
    const Window* key = find(m_key);
    WSEvent e;
    e.window = m_key;
    e.location =
        key ? NSPoint{m_pointer.x - key->info.frame.origin.x, m_pointer.y - key->info.frame.origin.y} : m_pointer;
    e.timestamp = Clock::systemUptime();
    e.keyCode = keyCode;
    if (isModifierKey(keyCode)) {
        e.type = NSEventTypeFlagsChanged;
    } else {
        flags |= USKeyboardLayout::implicitFlags(keyCode);
        auto chars = USKeyboardLayout::charactersFor(keyCode, flags);
        e.type = down ? NSEventTypeKeyDown : NSEventTypeKeyUp;
        e.characters = chars.characters;
        e.charactersIgnoringModifiers = chars.ignoringModifiers;
        e.isARepeat = isRepeat;
    }
    e.modifierFlags = flags;
    postEvent(e);
}

// --- Hot keys ---

NSInteger HeadlessWindowServer::registerHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyHandler handler)
{
    if (m_heldElsewhere.count({keyCode, carbonModifiers})) return 0;
    NSInteger id = m_nextHotKey++;
    m_hotKeys[id] = {keyCode, carbonModifiers, std::move(handler)};
    return id;
}

void HeadlessWindowServer::unregisterHotKey(NSInteger registration) { m_hotKeys.erase(registration); }

void HeadlessWindowServer::holdHotKeyElsewhere(uint32_t keyCode, uint32_t carbonModifiers)
{
    m_heldElsewhere.insert({keyCode, carbonModifiers});
}

bool HeadlessWindowServer::releaseHotKey(uint32_t keyCode, uint32_t carbonModifiers)
{
    std::vector<HotKeyHandler> handlers;
    for (const auto& [id, h] : m_hotKeys)
        if (h.keyCode == keyCode && h.modifiers == carbonModifiers) handlers.push_back(h.handler);
    for (auto& h : handlers)
        if (h) h();
    return !handlers.empty();
}

bool HeadlessWindowServer::openURL(const std::string& url)
{
    m_urls.push_back(url);
    return true;
}
