#include "ResizeButton.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSEvent.h"
#include "AppKit/NSWindow.h"
#include "RulerArm.h"
#include "RulerWindowController.h"

NS_CLASS_DEFINE(ResizeButton)

void ResizeButton::mouseDragged(const Ref<NSEvent>& event)
{
    auto w = window();
    auto arm = dynamic_cast<RulerArm*>(superview().get());
    if (!w || !arm) return;
    const float dx = static_cast<float>(event->deltaX());
    const float dy = static_cast<float>(event->deltaY());
    const NSRect f = w->frame();
    // The window layer keeps every size at one point or more.
    if (arm->horizontal()) {
        if (dx >= 0 || f.size.width > 101)
            w->setFrame(NSMakeRect(f.origin.x, f.origin.y, std::max<CGFloat>(1, f.size.width + dx), f.size.height),
                        true);
    } else {
        if (dy >= 0 || f.size.height > 101) {
            const CGFloat height = std::max<CGFloat>(1, f.size.height + dy);
            w->setFrame(NSMakeRect(f.origin.x, f.origin.y + f.size.height - height, f.size.width, height), true);
        }
    }
    if (auto controller = dynamic_ref_cast<RulerWindowController>(w->windowController())) controller->updateUI();
}
