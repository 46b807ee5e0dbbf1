#include "backend/x11/X11Xkb.h"

#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>

#include "Carbon/KeyState.h"
#include "Carbon/KeyboardLayout.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSTimer.h"
#include "backend/x11/X11Keyboard.h"
#include "backend/x11/X11Window.h"

// The keyboard: its layout, the state of keys, and the grab that suspends the
// system's shortcuts while a recorder listens.

namespace {

constexpr NSTimeInterval kKeymapDebounce = 0.15;
constexpr uint32_t kNumLockKeysym = 0xff7f;

}

void X11WindowServer::setUpKeyboard()
{
    m_keyboard = std::make_unique<X11Keyboard>(m_conn);
    if (!m_keyboard->isValid()) {
        NSLog("XKB is missing: keys and hot keys are not available");
        return;
    }
    if (auto* xkb = xcb_get_extension_data(m_conn, &xcb_xkb_id); xkb && xkb->present) m_xkbEvent = xkb->first_event;
    const uint16_t events =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    const uint16_t mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
                              XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
                              XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.affectState = XCB_XKB_STATE_PART_MODIFIER_BASE | XCB_XKB_STATE_PART_MODIFIER_LATCH |
                          XCB_XKB_STATE_PART_MODIFIER_LOCK | XCB_XKB_STATE_PART_GROUP_BASE |
                          XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = details.affectState;
    xcb_xkb_select_events_aux(m_conn, xcb_xkb_device_spec_t(m_keyboard->deviceID()), events, 0, 0, mapParts, mapParts,
                              &details);
    // A held key repeats presses only: its release comes once, at the end,
    // so a hot key fires once.
    const uint32_t autoRepeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    std::free(xcb_xkb_per_client_flags_reply(
        m_conn, xcb_xkb_per_client_flags(m_conn, XCB_XKB_ID_USE_CORE_KBD, autoRepeat, autoRepeat, 0, 0, 0), nullptr));
    refreshNumLockMask();
    KeyboardLayout::setCurrent(m_keyboard->currentLayout());

    KeyState::setQuery([this](uint16_t mac) {
        const xcb_keycode_t code = m_keyboard->xKeycode(mac);
        if (!code || m_lost) return false;
        auto* r = xcb_query_keymap_reply(m_conn, xcb_query_keymap(m_conn), nullptr);
        if (!r) return false;
        const bool down = r->keys[code >> 3] & (1u << (code & 7));
        std::free(r);
        return down;
    });
    SymbolicHotKeys::setSuspensionHandler([this](bool suspended) { setSuspended(suspended); });
}

void X11WindowServer::refreshNumLockMask()
{
    // Num Lock is whichever modifier holds the Num_Lock key, not always Mod2.
    m_numLockMask = 0;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_conn);
    if (!symbols) return;
    xcb_keycode_t* numLock = xcb_key_symbols_get_keycode(symbols, kNumLockKeysym);
    auto* map = xcb_get_modifier_mapping_reply(m_conn, xcb_get_modifier_mapping(m_conn), nullptr);
    if (map && numLock) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map);
        const int perModifier = map->keycodes_per_modifier;
        for (int mod = 0; mod < 8; ++mod)
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t c = codes[mod * perModifier + i];
                for (const xcb_keycode_t* n = numLock; c && *n; ++n)
                    if (*n == c) m_numLockMask = uint16_t(1u << mod);
            }
    }
    std::free(map);
    std::free(numLock);
    xcb_key_symbols_free(symbols);
}

void X11WindowServer::scheduleKeymapRebuild()
{
    // Switching layouts sends a burst of notices: rebuild once it settles.
    if (m_keymapTimer) m_keymapTimer->invalidate();
    m_keymapTimer = NSTimer::timerWithTimeInterval(kKeymapDebounce, false, [this](const Ref<NSTimer>&) {
        m_keymapTimer = nullptr;
        if (!m_keyboard || !m_keyboard->reload()) return;
        refreshNumLockMask();
        KeyboardLayout::setCurrent(m_keyboard->currentLayout());
    });
    NSRunLoop::mainRunLoop()->addTimer(m_keymapTimer, NSRunLoopCommonModes);
}

void X11WindowServer::setSuspended(bool suspended)
{
    if (!m_conn || m_lost) return;
    if (!suspended) {
        m_suspendingWindow = 0;
        if (!m_keyboardGrabbed) return;
        m_keyboardGrabbed = false;
        xcb_ungrab_keyboard(m_conn, XCB_CURRENT_TIME);
        xcb_flush(m_conn);
        return;
    }
    if (m_keyboardGrabbed) return;
    // Every key comes to us: other clients' shortcuts stay quiet. Keys for
    // our own windows are reported to them as usual.
    auto* r = xcb_grab_keyboard_reply(
        m_conn, xcb_grab_keyboard(m_conn, 1, m_root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr);
    m_keyboardGrabbed = r && r->status == XCB_GRAB_STATUS_SUCCESS;
    if (m_keyboardGrabbed) m_suspendingWindow = m_key;
    if (!m_keyboardGrabbed) NSLog("Another program holds the keyboard: system shortcuts stay active while recording");
    std::free(r);
}

void X11WindowServer::keepSuspensionWith(WSWindowID window)
{
    // Recording goes on in another of our windows (the suspending one hid,
    // or the grab was refused when recording began): the grab follows it.
    if (!SymbolicHotKeys::isSuspended()) return;
    if (!m_keyboardGrabbed) setSuspended(true);
    else if (!find(m_suspendingWindow) || !find(m_suspendingWindow)->mapped) m_suspendingWindow = window;
}
