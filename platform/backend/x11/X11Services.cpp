#include "backend/x11/X11Xkb.h"
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <thread>

#include "AppKit/NSEvent.h"
#include "Carbon/KeyState.h"
#include "Carbon/KeyboardLayout.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSTimer.h"
#include "backend/x11/X11Keyboard.h"
#include "backend/x11/X11Window.h"

extern char** environ;

// The global services: the pointer monitor, hot keys, the keyboard's layout,
// key state and suspension, the bell and opening URLs.

namespace {

constexpr NSTimeInterval kKeymapDebounce = 0.15;
constexpr uint32_t kNumLockKeysym = 0xff7f;

}

// --- Pointer ---

void X11WindowServer::setUpPointerMonitor()
{
    // Raw motion on the root arrives whatever window has the pointer or the
    // focus, for real devices and XTest alike. A warp (XWarpPointer) makes
    // none; the next real motion reads the warped position.
    auto* xi = xcb_get_extension_data(m_conn, &xcb_input_id);
    if (!xi || !xi->present) {
        NSLog("XInput2 is missing: global pointer moves are seen only over this program's windows");
        return;
    }
    auto version = xcb_input_xi_query_version_reply(m_conn, xcb_input_xi_query_version(m_conn, 2, 2), nullptr);
    const bool ok =
        version && (version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 1));
    std::free(version);
    if (!ok) {
        NSLog("XInput 2.1 is missing: global pointer moves are seen only over this program's windows");
        return;
    }
    m_xiOpcode = xi->major_opcode;
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    xcb_input_xi_select_events(m_conn, m_root, 1, &mask.head);
}

NSPoint X11WindowServer::pointerLocation() const
{
    if (m_lost) return pointFromX(m_lastRootX, m_lastRootY);
    auto* r = xcb_query_pointer_reply(m_conn, xcb_query_pointer(m_conn, m_root), nullptr);
    if (!r) return pointFromX(m_lastRootX, m_lastRootY);
    const NSPoint p = pointFromX(r->root_x, r->root_y);
    std::free(r);
    return p;
}

void X11WindowServer::notifyPointer()
{
    m_rawMotion = false;
    auto* r = xcb_query_pointer_reply(m_conn, xcb_query_pointer(m_conn, m_root), nullptr);
    if (!r) return;
    const uint16_t mask = r->mask;
    const NSPoint p = pointFromX(r->root_x, r->root_y);
    std::free(r);
    // Moves and left drags only: other buttons' drags are not followed.
    if (mask & (XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 | XCB_BUTTON_MASK_4 | XCB_BUTTON_MASK_5)) return;
    notifyPointerMonitors(p, (mask & XCB_BUTTON_MASK_1) ? NSEventTypeLeftMouseDragged : NSEventTypeMouseMoved);
}

// --- Keyboard ---

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

// --- Hot keys ---

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

// --- Bell and URLs ---

void X11WindowServer::beep()
{
    if (m_lost) return;
    xcb_bell(m_conn, 0);
    xcb_flush(m_conn);
}

bool X11WindowServer::openURL(const std::string& url)
{
    const auto colon = url.find(':');
    if (colon == std::string::npos) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (scheme != "http" && scheme != "https" && scheme != "ftp" && scheme != "mailto") return false;
    // An argument vector, never a shell: the URL cannot run anything.
    const std::string program = scheme == "mailto" ? "xdg-email" : "xdg-open";
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    // Reap the handler whenever it ends.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}
