#include "backend/x11/X11WindowServer.h"

#include <algorithm>

#include "backend/x11/X11Keyboard.h"

// Hot keys: passive key grabs on the root window, fired on release.

NSInteger X11WindowServer::registerHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyHandler handler)
{
    if (!m_keyboard || !m_keyboard->isValid() || m_lost) return 0;
    const xcb_keycode_t keycode = m_keyboard->xKeycode(uint16_t(keyCode));
    if (!keycode) return 0;
    const uint16_t mask = X11Keyboard::xMaskFromCarbon(carbonModifiers);
    // Caps Lock and Num Lock must not matter: grab every combination of them.
    std::vector<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask) {
        variants.push_back(m_numLockMask);
        variants.push_back(uint16_t(XCB_MOD_MASK_LOCK | m_numLockMask));
    }
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t v : variants)
        cookies.push_back(xcb_grab_key_checked(m_conn, 0, m_root, uint16_t(mask | v), keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    HotKey hotKey{keycode, mask, {}, std::move(handler)};
    bool refused = false;
    for (size_t i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t* error = xcb_request_check(m_conn, cookies[i])) {
            refused = true;  // BadAccess: another client holds the combination
            std::free(error);
        } else {
            hotKey.grabbed.push_back(variants[i]);
        }
    }
    if (refused) {
        for (uint16_t v : hotKey.grabbed) xcb_ungrab_key(m_conn, keycode, m_root, uint16_t(mask | v));
        xcb_flush(m_conn);
        return 0;
    }
    const NSInteger id = m_nextHotKey++;
    m_hotKeys.emplace(id, std::move(hotKey));
    return id;
}

void X11WindowServer::unregisterHotKey(NSInteger registration)
{
    auto it = m_hotKeys.find(registration);
    if (it == m_hotKeys.end()) return;
    const HotKey& hotKey = it->second;
    // The same combination may be registered again by someone else of ours.
    const bool shared = std::any_of(m_hotKeys.begin(), m_hotKeys.end(), [&](const auto& other) {
        return other.first != registration && other.second.keycode == hotKey.keycode &&
               other.second.mask == hotKey.mask;
    });
    if (!shared && !m_lost)
        for (uint16_t v : hotKey.grabbed) xcb_ungrab_key(m_conn, hotKey.keycode, m_root, uint16_t(hotKey.mask | v));
    m_hotKeys.erase(it);
    if (!m_lost) xcb_flush(m_conn);
}

bool X11WindowServer::handleHotKeyEvent(const xcb_key_press_event_t& e, bool press)
{
    // Passive grabs report to the root; our own keyboard grab does too, for
    // keys that are not the hot key's.
    if (e.event != m_root || m_keyboardGrabbed) return false;
    const uint16_t relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    if (press) {
        std::vector<NSInteger> armed;
        for (const auto& [id, hk] : m_hotKeys)
            if (hk.keycode == e.detail && hk.mask == (e.state & relevant)) armed.push_back(id);
        if (!armed.empty()) {
            m_hotKeyPressed = e.detail;
            m_hotKeysArmed = std::move(armed);
        }
        return true;
    }
    // The release of the grabbed key fires, whatever modifiers are held then
    // (they are often let go first).
    if (e.detail != m_hotKeyPressed) return true;
    m_hotKeyPressed = 0;
    std::vector<HotKeyHandler> handlers;
    for (NSInteger id : std::exchange(m_hotKeysArmed, {}))
        if (auto it = m_hotKeys.find(id); it != m_hotKeys.end()) handlers.push_back(it->second.handler);
    for (auto& h : handlers)
        if (h) h();
    return true;
}
