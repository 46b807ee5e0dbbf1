#pragma once
// Compose sequences from libxkbcommon's tables for the locale (dead keys:
// dead_acute then e gives é). A key that starts or continues a sequence
// gives text to show marked; the last key gives the composed text.
#include <cstdint>
#include <string>

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;

class X11Compose {
public:
    X11Compose();
    ~X11Compose();
    X11Compose(const X11Compose&) = delete;
    X11Compose& operator=(const X11Compose&) = delete;

    struct Result {
        // Pass: not part of a sequence, the key goes on as it is.
        enum Kind { Pass, Composing, Composed, Cancelled } kind = Pass;
        std::u16string text;  // marked (Composing) or composed text
    };
    // Feeds the keysym of a key press.
    Result feed(uint32_t keysym);

private:
    xkb_context* m_context = nullptr;
    xkb_compose_table* m_table = nullptr;
    xkb_compose_state* m_state = nullptr;
    std::u16string m_pending;
};
