#include "AppKit/NSColorWell.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSColorPanel.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSColorWell)

namespace {

// The wells alive that are active (at most one when activated exclusively).
std::vector<Weak<NSColorWell>>& activeWells()
{
    static std::vector<Weak<NSColorWell>> wells;
    return wells;
}

}  // namespace

void NSColorWell::describeClass(NSClassMembers<NSColorWell>& m)
{
    m.action("takeColorFrom:", &NSColorWell::takeColorFrom);
    m.property("color", &NSColorWell::color, &NSColorWell::setColor);
}

NSColorWell::~NSColorWell() = default;

Ref<NSView> NSColorWell::initWithFrame(const NSRect& frame)
{
    NSControl::initWithFrame(frame);
    m_color = NSColor::whiteColor();
    m_bordered = true;
    return this;
}

void NSColorWell::setColor(const Ref<NSColor>& colour)
{
    m_color = colour;
    setNeedsDisplay(true);
}

// The panel opens beside the well's window, right of it or else left of it,
// top edges level and within the screen, so that it hides none of the
// window's wells.
void NSColorWell::placeBesideWindow(const Ref<NSWindow>& panel) const
{
    auto owner = window();
    if (!owner) return;
    auto screen = owner->screen() ? owner->screen() : NSScreen::mainScreen();
    if (!screen) return;
    const NSRect area = screen->visibleFrame();
    const NSRect beside = owner->frame();
    NSRect frame = panel->frame();
    constexpr CGFloat gap = 8;
    if (NSMaxX(beside) + gap + frame.size.width <= NSMaxX(area)) frame.origin.x = NSMaxX(beside) + gap;
    else if (beside.origin.x - gap - frame.size.width >= area.origin.x)
        frame.origin.x = beside.origin.x - gap - frame.size.width;
    else frame.origin.x = NSMaxX(area) - frame.size.width;
    frame.origin.y = NSMaxY(beside) - frame.size.height;
    frame.origin.x =
        std::clamp(frame.origin.x, area.origin.x, std::max(area.origin.x, NSMaxX(area) - frame.size.width));
    frame.origin.y =
        std::clamp(frame.origin.y, area.origin.y, std::max(area.origin.y, NSMaxY(area) - frame.size.height));
    panel->setFrameOrigin(frame.origin);
}

void NSColorWell::activate(bool exclusive)
{
    Ref<NSColorWell> self(this);
    auto& wells = activeWells();
    if (exclusive) {
        for (auto& w : std::vector<Weak<NSColorWell>>(wells))
            if (auto other = w.get(); other && other != self) other->deactivate();
    }
    wells.erase(std::remove_if(wells.begin(), wells.end(), [](const Weak<NSColorWell>& w) { return !w.get(); }),
                wells.end());
    if (!m_active) wells.push_back(self);
    m_active = true;
    auto panel = NSColorPanel::sharedColorPanel();
    panel->setColor(m_color);
    panel->setTarget(Id(this));
    panel->setAction("takeColorFrom:");
    if (!panel->isVisible()) placeBesideWindow(panel);
    panel->makeKeyAndOrderFront(nullptr);
    setNeedsDisplay(true);
}

void NSColorWell::deactivate()
{
    if (!m_active) return;
    m_active = false;
    auto& wells = activeWells();
    wells.erase(std::remove_if(wells.begin(), wells.end(),
                               [this](const Weak<NSColorWell>& w) { return !w.get() || w.get().get() == this; }),
                wells.end());
    if (NSColorPanel::sharedColorPanelExists()) {
        auto panel = NSColorPanel::sharedColorPanel();
        if (panel->target().get() == this) panel->setTarget(nullptr);
    }
    setNeedsDisplay(true);
}

void NSColorWell::takeColorFrom(const Id& sender)
{
    auto panel = dynamic_ref_cast<NSColorPanel>(sender);
    if (!panel || !m_active || !isEnabled()) return;
    Ref<NSColorWell> self(this);
    // Every active well follows the panel; each sends its own action.
    for (auto& w : std::vector<Weak<NSColorWell>>(activeWells())) {
        auto well = w.get();
        if (!well || !well->isEnabled()) continue;
        well->setColor(panel->color());
        well->sendAction(well->action(), well->target());
    }
}

void NSColorWell::drawRect(const NSRect&)
{
    NSRect inner = bounds();
    if (m_bordered) {
        NSColor::colorWithCalibratedWhite(m_active ? 0.7 : 0.92, 1)->setFill();
        NSRectFill(bounds());
        NSColor::grayColor()->setFill();
        NSFrameRect(bounds());
        inner = NSInsetRect(bounds(), 5, 5);
    }
    (m_color ? m_color : NSColor::whiteColor())->setFill();
    NSRectFill(inner);
    NSColor::grayColor()->setFill();
    NSFrameRect(inner);
}

void NSColorWell::mouseDown(const Ref<NSEvent>& event)
{
    if (!isEnabled()) return;
    // A click on a bordered well toggles its activation.
    Ref<NSColorWell> self(this);
    if (!NSApp) return;
    auto up =
        NSApp->nextEventMatchingMask(NSLeftMouseUpMask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
    if (!up || !NSPointInRect(convertPoint(up->locationInWindow(), nullptr), bounds())) return;
    if (m_active && m_bordered) deactivate();
    else activate(!(event->modifierFlags() & NSShiftKeyMask));
}

void NSColorWell::encodeWithCoder(NSCoder* c) const
{
    NSControl::encodeWithCoder(c);
    c->encodeObject(m_color, "NSColor"_ns);
    c->encodeBool(m_bordered, "NSIsBordered"_ns);
}

Id NSColorWell::initWithCoder(NSCoder* c)
{
    NSControl::initWithCoder(c);
    m_color = NSColorExt::decodedColor(c->decodeObjectForKey("NSColor"_ns));
    m_bordered = c->decodeBoolForKey("NSIsBordered"_ns);
    m_active = false;
    return this;
}
