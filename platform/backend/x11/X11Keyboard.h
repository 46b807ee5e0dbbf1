#pragma once
// The core keyboard through xkbcommon: the keymap and state of the X
// server's core keyboard device, X key codes <-> Mac virtual key codes by
// XKB key name (the key's position, whatever the layout), the characters of
// a key press, and the current layout as a KeyboardLayout for key naming.
#include <xcb/xcb.h>

#include <array>
#include <optional>
#include <string>

#include "Carbon/KeyboardLayout.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

class X11Keyboard {
public:
    explicit X11Keyboard(xcb_connection_t* connection);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    bool isValid() const { return m_keymap != nullptr; }
    int32_t deviceID() const { return m_device; }
    // Reads the keymap and state again (after a layout or map change).
    bool reload();
    void updateState(uint8_t baseMods, uint8_t latchedMods, uint8_t lockedMods, int16_t baseGroup, int16_t latchedGroup,
                     uint8_t lockedGroup);
    uint32_t group() const;

    // 0xFFFF when the X key has no Mac code; 0 when the Mac code has no X key.
    uint16_t macCode(xcb_keycode_t keycode) const;
    xcb_keycode_t xKeycode(uint16_t macCode) const;

    // The characters typed with the current state, and those with only Shift
    // (as the X state says).
    std::u16string characters(xcb_keycode_t keycode) const;
    std::u16string charactersWithShiftOnly(xcb_keycode_t keycode, bool shift) const;
    // The keysym of a key press with the current state (compose sequences
    // are fed keysyms).
    uint32_t keysym(xcb_keycode_t keycode) const;

    // The current group's layout: each Mac code's characters at levels 1 and
    // 2, dead keys as their display characters.
    Ref<KeyboardLayout> currentLayout() const;

    // Cocoa modifier flags of an X modifier state.
    static NSUInteger cocoaFlags(uint16_t xState);
    // X modifier mask of Carbon modifier flags.
    static uint16_t xMaskFromCarbon(uint32_t carbonModifiers);
    // The Cocoa flag a modifier key stands for, 0 for other keys.
    static NSUInteger modifierFlagOfKey(uint16_t macCode);

private:
    void buildTables();

    xcb_connection_t* m_conn;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
    int32_t m_device = -1;
    std::array<uint16_t, 256> m_toMac{};
    std::array<xcb_keycode_t, 128> m_toX{};
};
