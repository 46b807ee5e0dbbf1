#include "backend/x11/X11WindowServer.h"

#include <xcb/xinput.h>

#include <cstdlib>

#include "Foundation/NSLog.h"
#include "WindowServer/WSEvent.h"
#include "backend/x11/X11Window.h"

// The pointer: where it is, the global monitors fed by raw motion, and the
// grab that brings presses elsewhere to the menus.

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

bool X11WindowServer::queryPointer() const
{
    if (m_lost) return false;
    const auto cookie = xcb_query_pointer(m_conn, m_root);
    auto* r = xcb_query_pointer_reply(m_conn, cookie, nullptr);
    if (!r) return false;
    m_answeredSequence = cookie.sequence;
    m_pointer = {r->root_x, r->root_y, r->mask, true, std::chrono::steady_clock::now()};
    std::free(r);
    return true;
}

void X11WindowServer::notePointer(int16_t rootX, int16_t rootY, uint16_t mask) const
{
    m_pointer = {rootX, rootY, mask, true, std::chrono::steady_clock::now()};
}

void X11WindowServer::roundTrip() const
{
    const auto cookie = xcb_get_input_focus(m_conn);
    if (auto* r = xcb_get_input_focus_reply(m_conn, cookie, nullptr)) {
        m_answeredSequence = cookie.sequence;
        std::free(r);
    }
}

NSPoint X11WindowServer::pointerLocation() const
{
    if (!pointerKnown() && !queryPointer()) return pointFromX(m_lastRootX, m_lastRootY);
    return pointFromX(m_pointer.x, m_pointer.y);
}

void X11WindowServer::notifyPointer()
{
    m_rawMotion = false;
    // Raw motion carries no position: unless a core event told it since,
    // the server is asked once.
    if (!pointerKnown() && !queryPointer()) return;
    const uint16_t mask = m_pointer.mask;
    const NSPoint p = pointFromX(m_pointer.x, m_pointer.y);
    // Moves and left drags only: other buttons' drags are not followed.
    if (mask & (XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 | XCB_BUTTON_MASK_4 | XCB_BUTTON_MASK_5)) return;
    notifyPointerMonitors(p, (mask & XCB_BUTTON_MASK_1) ? NSEventTypeLeftMouseDragged : NSEventTypeMouseMoved);
}

void X11WindowServer::beginMenuTracking(WSWindowID window)
{
    m_menuTracking.push_back(window);
    if (m_pointerGrabbed || !m_conn || m_lost) return;
    // Owner events: our windows get their events as usual; what happens
    // over other clients' windows is reported on the root, to us alone.
    constexpr uint16_t mask =
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    auto* r = xcb_grab_pointer_reply(m_conn,
                                     xcb_grab_pointer(m_conn, 1, m_root, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                                      XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                     nullptr);
    m_pointerGrabbed = r && r->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(r);
}

void X11WindowServer::endMenuTracking()
{
    if (!m_menuTracking.empty()) m_menuTracking.pop_back();
    if (!m_menuTracking.empty() || !m_pointerGrabbed) return;
    m_pointerGrabbed = false;
    if (!m_conn || m_lost) return;
    xcb_ungrab_pointer(m_conn, XCB_CURRENT_TIME);
    xcb_flush(m_conn);
}
