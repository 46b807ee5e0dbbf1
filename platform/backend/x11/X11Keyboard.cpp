#include "backend/x11/X11Keyboard.h"

#include <xcb/xproto.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include "Carbon/CarbonTypes.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WSEvent.h"

namespace {

struct KeyName {
    uint16_t mac;
    const char* name;
};

// Mac virtual key codes by the position of the key (its XKB name).
constexpr KeyName kKeyNames[] = {
    {0, "AC01"},
    {1, "AC02"},
    {2, "AC03"},
    {3, "AC04"},
    {4, "AC06"},
    {5, "AC05"},
    {6, "AB01"},
    {7, "AB02"},
    {8, "AB03"},
    {9, "AB04"},
    {10, "LSGT"},
    {11, "AB05"},
    {12, "AD01"},
    {13, "AD02"},
    {14, "AD03"},
    {15, "AD04"},
    {16, "AD06"},
    {17, "AD05"},
    {18, "AE01"},
    {19, "AE02"},
    {20, "AE03"},
    {21, "AE04"},
    {22, "AE06"},
    {23, "AE05"},
    {24, "AE12"},
    {25, "AE09"},
    {26, "AE07"},
    {27, "AE11"},
    {28, "AE08"},
    {29, "AE10"},
    {30, "AD12"},
    {31, "AD09"},
    {32, "AD07"},
    {33, "AD11"},
    {34, "AD08"},
    {35, "AD10"},
    {37, "AC09"},
    {38, "AC07"},
    {39, "AC11"},
    {40, "AC08"},
    {41, "AC10"},
    {42, "BKSL"},
    {43, "AB08"},
    {44, "AB10"},
    {45, "AB06"},
    {46, "AB07"},
    {47, "AB09"},
    {50, "TLDE"},
    {36, "RTRN"},
    {48, "TAB"},
    {49, "SPCE"},
    {51, "BKSP"},
    {53, "ESC"},
    {71, "NMLK"},
    {76, "KPEN"},
    {114, "INS"},
    {115, "HOME"},
    {116, "PGUP"},
    {117, "DELE"},
    {119, "END"},
    {121, "PGDN"},
    {123, "LEFT"},
    {124, "RGHT"},
    {125, "DOWN"},
    {126, "UP"},
    {65, "KPDL"},
    {67, "KPMU"},
    {69, "KPAD"},
    {75, "KPDV"},
    {78, "KPSU"},
    {81, "KPEQ"},
    {82, "KP0"},
    {83, "KP1"},
    {84, "KP2"},
    {85, "KP3"},
    {86, "KP4"},
    {87, "KP5"},
    {88, "KP6"},
    {89, "KP7"},
    {91, "KP8"},
    {92, "KP9"},
    {122, "FK01"},
    {120, "FK02"},
    {99, "FK03"},
    {118, "FK04"},
    {96, "FK05"},
    {97, "FK06"},
    {98, "FK07"},
    {100, "FK08"},
    {101, "FK09"},
    {109, "FK10"},
    {103, "FK11"},
    {111, "FK12"},
    {105, "FK13"},
    {107, "FK14"},
    {113, "FK15"},
    {106, "FK16"},
    {64, "FK17"},
    {79, "FK18"},
    {80, "FK19"},
    {55, "LWIN"},
    {56, "LFSH"},
    {57, "CAPS"},
    {58, "LALT"},
    {59, "LCTL"},
    // The right-hand modifiers have codes of their own.
    {54, "RWIN"},
    {60, "RTSH"},
    {61, "RALT"},
    {62, "RCTL"},
};

struct DeadKey {
    xkb_keysym_t sym;
    char16_t display;
};

// xkb_keysym_to_utf32 answers 0 for dead keys; key names show what they add.
constexpr DeadKey kDeadKeys[] = {
    {XKB_KEY_dead_grave, u'`'},          {XKB_KEY_dead_acute, u'\u00B4'},
    {XKB_KEY_dead_circumflex, u'^'},     {XKB_KEY_dead_tilde, u'~'},
    {XKB_KEY_dead_diaeresis, u'\u00A8'}, {XKB_KEY_dead_macron, u'\u00AF'},
    {XKB_KEY_dead_breve, u'\u02D8'},     {XKB_KEY_dead_abovedot, u'\u02D9'},
    {XKB_KEY_dead_abovering, u'\u02DA'}, {XKB_KEY_dead_doubleacute, u'\u02DD'},
    {XKB_KEY_dead_caron, u'\u02C7'},     {XKB_KEY_dead_cedilla, u'\u00B8'},
    {XKB_KEY_dead_ogonek, u'\u02DB'},
};

std::u16string utf8To16(const char* s)
{
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        uint32_t c = *p++;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) c &= (0x3F >> extra);
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

}

X11Keyboard::X11Keyboard(xcb_connection_t* connection)
    : m_conn(connection)
{
    if (!xkb_x11_setup_xkb_extension(m_conn, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return;
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!m_context) return;
    m_device = xkb_x11_get_core_keyboard_device_id(m_conn);
    reload();
}

X11Keyboard::~X11Keyboard()
{
    if (m_state) xkb_state_unref(m_state);
    if (m_keymap) xkb_keymap_unref(m_keymap);
    if (m_context) xkb_context_unref(m_context);
}

bool X11Keyboard::reload()
{
    if (!m_context || m_device < 0) return false;
    xkb_keymap* keymap = xkb_x11_keymap_new_from_device(m_context, m_conn, m_device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    xkb_state* state = xkb_x11_state_new_from_device(keymap, m_conn, m_device);
    if (!state) {
        xkb_keymap_unref(keymap);
        return false;
    }
    if (m_state) xkb_state_unref(m_state);
    if (m_keymap) xkb_keymap_unref(m_keymap);
    m_keymap = keymap;
    m_state = state;
    buildTables();
    return true;
}

void X11Keyboard::buildTables()
{
    m_toMac.fill(0xFFFF);
    m_toX.fill(0);
    for (const auto& k : kKeyNames) {
        const xkb_keycode_t code = xkb_keymap_key_by_name(m_keymap, k.name);
        if (code == XKB_KEYCODE_INVALID || code > 255) continue;
        m_toMac[code] = k.mac;
        m_toX[k.mac] = xcb_keycode_t(code);
    }
}

void X11Keyboard::updateState(uint8_t baseMods, uint8_t latchedMods, uint8_t lockedMods, int16_t baseGroup,
                              int16_t latchedGroup, uint8_t lockedGroup)
{
    if (m_state)
        xkb_state_update_mask(m_state, baseMods, latchedMods, lockedMods, xkb_layout_index_t(baseGroup),
                              xkb_layout_index_t(latchedGroup), lockedGroup);
}

uint32_t X11Keyboard::group() const
{
    return m_state ? xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE) : 0;
}

uint16_t X11Keyboard::macCode(xcb_keycode_t keycode) const { return m_toMac[keycode]; }

xcb_keycode_t X11Keyboard::xKeycode(uint16_t macCode) const { return macCode < m_toX.size() ? m_toX[macCode] : 0; }

std::u16string X11Keyboard::characters(xcb_keycode_t keycode) const
{
    if (!m_state) return {};
    char buffer[64] = {};
    xkb_state_key_get_utf8(m_state, keycode, buffer, sizeof buffer);
    return utf8To16(buffer);
}

uint32_t X11Keyboard::keysym(xcb_keycode_t keycode) const
{
    return m_state ? xkb_state_key_get_one_sym(m_state, keycode) : 0;
}

std::u16string X11Keyboard::charactersWithShiftOnly(xcb_keycode_t keycode, bool shift) const
{
    if (!m_keymap) return {};
    const xkb_layout_index_t layout = group();
    const xkb_keysym_t* syms = nullptr;
    int n = xkb_keymap_key_get_syms_by_level(m_keymap, keycode, layout, shift ? 1 : 0, &syms);
    if (n <= 0 && shift) n = xkb_keymap_key_get_syms_by_level(m_keymap, keycode, layout, 0, &syms);
    if (n <= 0) return {};
    char buffer[16] = {};
    if (xkb_keysym_to_utf8(syms[0], buffer, sizeof buffer) <= 0) return {};
    return utf8To16(buffer);
}

Ref<KeyboardLayout> X11Keyboard::currentLayout() const
{
    if (!m_keymap) return nullptr;
    const xkb_layout_index_t layout = group();
    auto levelKey = [&](xkb_keycode_t code, xkb_level_index_t level, bool& dead) -> char16_t {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(m_keymap, code, layout, level, &syms) <= 0) return 0;
        for (const auto& d : kDeadKeys)
            if (d.sym == syms[0]) {
                dead = true;
                return d.display;
            }
        const uint32_t c = xkb_keysym_to_utf32(syms[0]);
        return c < 0x10000 && c >= 0x20 && c != 0x7F ? char16_t(c) : 0;
    };
    std::vector<KeyboardLayout::Key> keys(KeyboardLayout::kKeyCount);
    for (uint16_t mac = 0; mac < KeyboardLayout::kKeyCount; ++mac) {
        const xkb_keycode_t code = m_toX[mac];
        if (!code) continue;
        bool dead = false;
        keys[mac].unshifted = levelKey(code, 0, dead);
        keys[mac].dead = dead;
        bool deadShifted = false;
        keys[mac].shifted = levelKey(code, 1, deadShifted);
        if (!keys[mac].shifted) keys[mac].shifted = keys[mac].unshifted;
    }
    const char* name = xkb_keymap_layout_get_name(m_keymap, layout);
    const std::string display = name && *name ? name : "X keyboard";
    const std::string identifier = "org.x.xkb." + display;
    return KeyboardLayout::layoutWithKeys(NSString::stringWithUTF8String(identifier.c_str()),
                                          NSString::stringWithUTF8String(display.c_str()), std::move(keys));
}

NSUInteger X11Keyboard::cocoaFlags(uint16_t s)
{
    NSUInteger flags = 0;
    if (s & XCB_MOD_MASK_SHIFT) flags |= NSShiftKeyMask;
    if (s & XCB_MOD_MASK_LOCK) flags |= NSAlphaShiftKeyMask;
    if (s & XCB_MOD_MASK_CONTROL) flags |= NSControlKeyMask;
    if (s & XCB_MOD_MASK_1) flags |= NSAlternateKeyMask;
    if (s & XCB_MOD_MASK_4) flags |= NSCommandKeyMask;
    return flags;
}

uint16_t X11Keyboard::xMaskFromCarbon(uint32_t m)
{
    uint16_t mask = 0;
    if (m & cmdKey) mask |= XCB_MOD_MASK_4;
    if (m & shiftKey) mask |= XCB_MOD_MASK_SHIFT;
    if (m & optionKey) mask |= XCB_MOD_MASK_1;
    if (m & controlKey) mask |= XCB_MOD_MASK_CONTROL;
    return mask;
}

NSUInteger X11Keyboard::modifierFlagOfKey(uint16_t mac)
{
    switch (mac) {
    case 54:
    case kVK_Command: return NSCommandKeyMask;
    case 60:
    case kVK_Shift: return NSShiftKeyMask;
    case kVK_CapsLock: return NSAlphaShiftKeyMask;
    case 61:
    case kVK_Option: return NSAlternateKeyMask;
    case 62:
    case kVK_Control: return NSControlKeyMask;
    default: return 0;
    }
}
