#include "AppKit/NSColorWell.h"

#include <algorithm>

#include "AppKit/NSApplication.h"
#include "AppKit/NSColorPanel.h"
#include "AppKit/NSGraphics.h"
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
