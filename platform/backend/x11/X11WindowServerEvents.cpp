#include "backend/x11/X11Xkb.h"

#include <xcb/randr.h>
#include <xcb/xinput.h>

#include <cstdlib>

#include "Foundation/Clock.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WSMouseRecord.h"
#include "backend/x11/X11Compose.h"
#include "backend/x11/X11Keyboard.h"
#include "backend/x11/X11Window.h"

// X events into event records: mouse (with the implicit grab X keeps for the
// window that took the press), keys through xkbcommon, focus into the key
// window, and the server's notices about screens, stacking and keyboards.

namespace {

constexpr xcb_timestamp_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

NSEventType downType(uint8_t button)
{
    return button == 1 ? NSEventTypeLeftMouseDown : button == 3 ? NSEventTypeRightMouseDown : NSEventTypeOtherMouseDown;
}

NSEventType upType(uint8_t button)
{
    return button == 1 ? NSEventTypeLeftMouseUp : button == 3 ? NSEventTypeRightMouseUp : NSEventTypeOtherMouseUp;
}

bool isScrollButton(uint8_t button) { return button >= 4 && button <= 7; }

// Keys whose characters are the platform's, not the layout's: function keys,
// arrows and the editing keys (Delete types 0x7F, not backspace).
bool usesPlatformCharacters(uint16_t mac)
{
    auto key = USKeyboardLayout::key(mac);
    if (!key) return false;
    return key->function || mac == kVK_Return || mac == kVK_Tab || mac == kVK_Delete || mac == kVK_Escape ||
           mac == kVK_ANSI_KeypadEnter;
}

}

void X11WindowServer::handle(xcb_generic_event_t* event)
{
    const uint8_t type = event->response_type & 0x7F;
    if (type == 0) return;  // an error of a request nobody checks
    if (m_randrEvent && type == m_randrEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY) {
        // The connection's copy of the root's size is not updated by the
        // server; without monitors the screen is that size.
        const auto& e = *reinterpret_cast<xcb_randr_screen_change_notify_event_t*>(event);
        if (e.root == m_root) {
            m_screen->width_in_pixels = e.width;
            m_screen->height_in_pixels = e.height;
            m_screen->width_in_millimeters = e.mwidth;
            m_screen->height_in_millimeters = e.mheight;
        }
        reloadScreens();
        return;
    }
    if (m_randrEvent && type == m_randrEvent + XCB_RANDR_NOTIFY) {
        reloadScreens();
        return;
    }
    if (m_xkbEvent && type == m_xkbEvent) {
        // XKB events share one type; the second byte tells which.
        const uint8_t xkbType = reinterpret_cast<const uint8_t*>(event)[1];
        if (xkbType == XCB_XKB_STATE_NOTIFY) {
            const auto* s = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
            const uint32_t before = m_keyboard->group();
            m_keyboard->updateState(s->baseMods, s->latchedMods, s->lockedMods, s->baseGroup, s->latchedGroup,
                                    s->lockedGroup);
            if (m_keyboard->group() != before) scheduleKeymapRebuild();
        } else if (xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbType == XCB_XKB_MAP_NOTIFY) {
            scheduleKeymapRebuild();
        }
        return;
    }
    switch (type) {
    case XCB_BUTTON_PRESS: handleButton(*reinterpret_cast<xcb_button_press_event_t*>(event), true); return;
    case XCB_BUTTON_RELEASE: handleButton(*reinterpret_cast<xcb_button_press_event_t*>(event), false); return;
    case XCB_MOTION_NOTIFY: handleMotion(*reinterpret_cast<xcb_motion_notify_event_t*>(event)); return;
    case XCB_ENTER_NOTIFY: handleCrossing(*reinterpret_cast<xcb_enter_notify_event_t*>(event), true); return;
    case XCB_LEAVE_NOTIFY: handleCrossing(*reinterpret_cast<xcb_enter_notify_event_t*>(event), false); return;
    case XCB_KEY_PRESS: handleKey(*reinterpret_cast<xcb_key_press_event_t*>(event), true); return;
    case XCB_KEY_RELEASE: handleKey(*reinterpret_cast<xcb_key_press_event_t*>(event), false); return;
    case XCB_FOCUS_IN: handleFocus(*reinterpret_cast<xcb_focus_in_event_t*>(event), true); return;
    case XCB_FOCUS_OUT: handleFocus(*reinterpret_cast<xcb_focus_in_event_t*>(event), false); return;
    case XCB_GE_GENERIC: handleGeneric(event); return;
    case XCB_EXPOSE: {
        const auto& e = *reinterpret_cast<xcb_expose_event_t*>(event);
        if (X11Window* w = findX(e.window)) w->upload(e.x, e.y, e.width, e.height);
        return;
    }
    case XCB_MAP_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_map_notify_event_t*>(event);
        // Another client's window came up: overlays go back on top.
        if (e.event == m_root && !findX(e.window)) noteForeignRestack(e.window);
        return;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (e.event == m_root) {
            if (!findX(e.window)) noteForeignRestack(e.window);
            return;
        }
        noteConfigure(e);
        return;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto& e = *reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (e.window != m_root) return;
        if (e.atom == atom("_NET_WORKAREA")) reloadScreens();
        if (e.atom == atom("_NET_SUPPORTING_WM_CHECK")) detectWindowManager();
        return;
    }
    case XCB_MAPPING_NOTIFY: refreshNumLockMask(); return;
    case XCB_CLIENT_MESSAGE: {
        const auto& e = *reinterpret_cast<xcb_client_message_event_t*>(event);
        if (e.type != atom("WM_PROTOCOLS") || e.data.data32[0] != atom("WM_DELETE_WINDOW")) return;
        if (X11Window* w = findX(e.window)) client().windowCloseRequested(w->info.windowID);
        return;
    }
    default: return;
    }
}

void X11WindowServer::postMouse(NSUInteger type, WSWindowID window, NSPoint global, NSUInteger flags,
                                NSInteger clickCount, NSPoint delta, NSInteger trackingNumber)
{
    const X11Window* w = find(window);
    if (!w) return;
    WSEvent e = WSMouseRecord(NSEventType(type), window, w->info.frame.origin, global, flags, clickCount, delta,
                              trackingNumber);
    e.timestamp = Clock::systemUptime();
    e.eventNumber = ++m_eventNumber;
    postEvent(e);
}

void X11WindowServer::handleButton(const xcb_button_press_event_t& e, bool press)
{
    // The state is the one before the event: add or drop the button.
    if (e.detail >= 1 && e.detail <= 5) {
        const auto bit = uint16_t(XCB_BUTTON_MASK_1 << (e.detail - 1));
        notePointer(e.root_x, e.root_y, press ? uint16_t(e.state | bit) : uint16_t(e.state & ~bit));
    }
    X11Window* w = pointerTarget(e.event);
    if (!w) return;
    const NSPoint global = pointFromX(e.root_x, e.root_y);
    const NSUInteger flags = X11Keyboard::cocoaFlags(e.state);
    if (isScrollButton(e.detail)) {
        if (!press) return;
        // Up and left scroll towards positive deltas, as wheels do on the platform.
        const NSPoint delta = e.detail == 4   ? NSPoint{0, 1}
                              : e.detail == 5 ? NSPoint{0, -1}
                              : e.detail == 6 ? NSPoint{1, 0}
                                              : NSPoint{-1, 0};
        postMouse(NSEventTypeScrollWheel, w->info.windowID, global, flags, 0, delta);
        return;
    }
    m_lastRootX = e.root_x;
    m_lastRootY = e.root_y;
    if (press) {
        m_userTime = e.time;
        const bool again = e.detail == m_lastDownButton && e.time - m_lastDownTime <= kDoubleClickMs &&
                           std::abs(e.root_x - m_lastDownX) <= kDoubleClickDistance &&
                           std::abs(e.root_y - m_lastDownY) <= kDoubleClickDistance;
        m_clickCount = again ? m_clickCount + 1 : 1;
        m_lastDownTime = e.time;
        m_lastDownX = e.root_x;
        m_lastDownY = e.root_y;
        m_lastDownButton = e.detail;
        postMouse(downType(e.detail), w->info.windowID, global, flags, m_clickCount, {});
        return;
    }
    postMouse(upType(e.detail), w->info.windowID, global, flags, m_clickCount, {});
}

void X11WindowServer::handleMotion(const xcb_motion_notify_event_t& e)
{
    notePointer(e.root_x, e.root_y, e.state);
    X11Window* w = pointerTarget(e.event);
    if (!w) return;
    const NSPoint global = pointFromX(e.root_x, e.root_y);
    // Deltas from root positions: the window may move under the pointer.
    const NSPoint delta{double(e.root_x - m_lastRootX), double(e.root_y - m_lastRootY)};
    m_lastRootX = e.root_x;
    m_lastRootY = e.root_y;
    const NSUInteger flags = X11Keyboard::cocoaFlags(e.state);
    NSEventType type = NSEventTypeMouseMoved;
    if (e.state & XCB_BUTTON_MASK_1) type = NSEventTypeLeftMouseDragged;
    else if (e.state & XCB_BUTTON_MASK_3) type = NSEventTypeRightMouseDragged;
    else if (e.state & XCB_BUTTON_MASK_2) type = NSEventTypeOtherMouseDragged;
    postMouse(type, w->info.windowID, global, flags, type == NSEventTypeMouseMoved ? 0 : m_clickCount, delta);
    // The global monitors hear of it too: without XInput 2.1 this is all
    // they get, and with it the raw event of the same move is read once.
    m_rawMotion = true;
}

X11Window* X11WindowServer::pointerTarget(xcb_window_t event)
{
    if (X11Window* w = findX(event)) return w;
    if (event != m_root || !m_pointerGrabbed || m_menuTracking.empty()) return nullptr;
    return find(m_menuTracking.back());
}

void X11WindowServer::handleCrossing(const xcb_enter_notify_event_t& e, bool enter)
{
    X11Window* w = findX(e.event);
    if (!w || e.mode != XCB_NOTIFY_MODE_NORMAL) return;
    const NSPoint global = pointFromX(e.root_x, e.root_y);
    if (enter) {
        m_hover = w->info.windowID;
        m_lastRootX = e.root_x;
        m_lastRootY = e.root_y;
    } else if (m_hover == w->info.windowID) {
        m_hover = 0;
    }
    postMouse(enter ? NSEventTypeMouseEntered : NSEventTypeMouseExited, w->info.windowID, global,
              X11Keyboard::cocoaFlags(e.state), 0, {}, 0);
}

void X11WindowServer::handleKey(const xcb_key_press_event_t& e, bool press)
{
    if (press) m_userTime = e.time;
    if (handleHotKeyEvent(e, press)) return;
    if (!m_keyboard || !m_keyboard->isValid()) return;
    // Keys reach the key window, also while our grab sends them to the root.
    WSWindowID target = 0;
    if (X11Window* w = findX(e.event)) target = w->info.windowID;
    else if (e.event == m_root && m_keyboardGrabbed) target = m_key;
    if (!target) return;
    const uint16_t mac = m_keyboard->macCode(e.detail);
    if (press && !(X11Keyboard::cocoaFlags(e.state) & (NSControlKeyMask | NSCommandKeyMask)) &&
        composeKey(e, target, mac))
        return;
    if (mac == 0xFFFF) return;
    const bool repeat = press && m_keysDown.count(e.detail);
    if (press) m_keysDown.insert(e.detail);
    else m_keysDown.erase(e.detail);

    WSEvent key = keyRecord(e, target, mac);
    NSUInteger flags = X11Keyboard::cocoaFlags(e.state);
    if (const NSUInteger modifier = X11Keyboard::modifierFlagOfKey(mac)) {
        // The state is the one before the key: add or drop its own flag.
        // Caps Lock toggles on its press.
        if (modifier == NSAlphaShiftKeyMask) {
            if (press) flags ^= NSUInteger(NSAlphaShiftKeyMask);
        } else flags = press ? (flags | modifier) : (flags & ~modifier);
        key.type = NSEventTypeFlagsChanged;
        key.modifierFlags = flags;
        postEvent(key);
        return;
    }
    flags |= USKeyboardLayout::implicitFlags(mac);
    std::u16string chars, ignoring;
    if (usesPlatformCharacters(mac)) {
        auto c = USKeyboardLayout::charactersFor(mac, flags);
        chars = c.characters;
        ignoring = c.ignoringModifiers;
    } else {
        chars = m_keyboard->characters(e.detail);
        ignoring = m_keyboard->charactersWithShiftOnly(e.detail, flags & NSShiftKeyMask);
        // Command leaves the characters alone, as Control with letters does not.
        if (flags & NSCommandKeyMask) chars = ignoring;
    }
    key.type = press ? NSEventTypeKeyDown : NSEventTypeKeyUp;
    key.modifierFlags = flags;
    key.characters = chars;
    key.charactersIgnoringModifiers = ignoring;
    key.isARepeat = repeat;
    postEvent(key);
}

WSEvent X11WindowServer::keyRecord(const xcb_key_press_event_t& e, WSWindowID target, uint16_t mac) const
{
    const X11Window* w = find(target);
    const NSPoint global = pointFromX(e.root_x, e.root_y);
    WSEvent key;
    key.window = target;
    key.location = w ? NSPoint{global.x - w->info.frame.origin.x, global.y - w->info.frame.origin.y} : global;
    key.screenLocation = global;
    key.modifierFlags = X11Keyboard::cocoaFlags(e.state);
    key.timestamp = Clock::systemUptime();
    key.keyCode = mac;
    return key;
}

bool X11WindowServer::composeKey(const xcb_key_press_event_t& e, WSWindowID target, uint16_t mac)
{
    if (!m_compose) m_compose = std::make_unique<X11Compose>();
    const X11Compose::Result composed = m_compose->feed(m_keyboard->keysym(e.detail));
    if (composed.kind == X11Compose::Result::Pass) return false;
    const bool done = composed.kind == X11Compose::Result::Composed;
    WSEvent event = keyRecord(e, target, mac == 0xFFFF ? 0 : mac);
    event.type = NSEventTypeKeyDown;
    event.characters = event.charactersIgnoringModifiers = done ? composed.text : u"";
    // A sequence under way shows as marked text; a cancelled one drops it.
    if (!done) event.markedText = composed.text;
    postEvent(event);
    return true;
}

void X11WindowServer::handleFocus(const xcb_focus_in_event_t& e, bool in)
{
    // Focus moving between our window and its own children, or grabs, is no
    // change of key window.
    if (e.detail == XCB_NOTIFY_DETAIL_INFERIOR || e.detail == XCB_NOTIFY_DETAIL_POINTER ||
        e.mode == XCB_NOTIFY_MODE_GRAB || e.mode == XCB_NOTIFY_MODE_UNGRAB)
        return;
    X11Window* w = findX(e.event);
    if (!w) return;
    const WSWindowID id = w->info.windowID;
    if (in) {
        if (m_key == id) return;
        m_key = id;  // already has the focus: no request
        client().windowFocusChanged(id, true);
        keepSuspensionWith(id);
        return;
    }
    m_keysDown.clear();
    client().windowFocusChanged(id, false);
}

void X11WindowServer::handleGeneric(xcb_generic_event_t* event)
{
    const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
    if (!m_xiOpcode || ge->extension != m_xiOpcode) return;
    if (ge->event_type != XCB_INPUT_RAW_MOTION) return;
    // The pointer moved: read once per turn where it went.
    m_rawMotion = true;
    m_pointer.current = false;
}
