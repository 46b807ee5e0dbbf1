#include "backend/x11/X11Compose.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <clocale>
#include <cstdlib>

#include "Foundation/NSString.h"

namespace {

// What a dead key shows while it waits for its letter.
std::u16string shown(xkb_keysym_t keysym)
{
    switch (keysym) {
    case XKB_KEY_dead_acute: return u"\u00B4";
    case XKB_KEY_dead_grave: return u"`";
    case XKB_KEY_dead_circumflex: return u"^";
    case XKB_KEY_dead_tilde: return u"~";
    case XKB_KEY_dead_diaeresis: return u"\u00A8";
    case XKB_KEY_dead_cedilla: return u"\u00B8";
    case XKB_KEY_dead_abovering: return u"\u02DA";
    case XKB_KEY_dead_caron: return u"\u02C7";
    default: break;
    }
    char buffer[16] = {};
    if (xkb_keysym_to_utf8(keysym, buffer, sizeof buffer) > 1) return NSString::stringWithUTF8String(buffer)->utf16();
    return u"\u00B7";
}

const char* localeName()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return "C";
}

}

X11Compose::X11Compose()
{
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!m_context) return;
    m_table = xkb_compose_table_new_from_locale(m_context, localeName(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    // The C locale has no table of its own: English's is the common one.
    if (!m_table) m_table = xkb_compose_table_new_from_locale(m_context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (m_table) m_state = xkb_compose_state_new(m_table, XKB_COMPOSE_STATE_NO_FLAGS);
}

X11Compose::~X11Compose()
{
    if (m_state) xkb_compose_state_unref(m_state);
    if (m_table) xkb_compose_table_unref(m_table);
    if (m_context) xkb_context_unref(m_context);
}

X11Compose::Result X11Compose::feed(uint32_t keysym)
{
    if (!m_state || xkb_compose_state_feed(m_state, keysym) != XKB_COMPOSE_FEED_ACCEPTED) return {};
    switch (xkb_compose_state_get_status(m_state)) {
    case XKB_COMPOSE_COMPOSING: m_pending += shown(keysym); return {Result::Composing, m_pending};
    case XKB_COMPOSE_COMPOSED: {
        char buffer[64] = {};
        xkb_compose_state_get_utf8(m_state, buffer, sizeof buffer);
        xkb_compose_state_reset(m_state);
        m_pending.clear();
        return {Result::Composed, NSString::stringWithUTF8String(buffer)->utf16()};
    }
    case XKB_COMPOSE_CANCELLED:
        xkb_compose_state_reset(m_state);
        m_pending.clear();
        return {Result::Cancelled, {}};
    case XKB_COMPOSE_NOTHING: break;
    }
    return {};
}
