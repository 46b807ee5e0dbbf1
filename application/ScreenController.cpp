#include "ScreenController.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSScreen.h"

NS_CLASS_DEFINE(ScreenController)

Id ScreenController::init()
{
    initWithWindowNibName("Screen"_ns);
    return this;
}

void ScreenController::describeClass(NSClassMembers<ScreenController>& m)
{
    m.outlet("view", &ScreenController::m_view);
}

// The frame starts at the top-left corner of the main screen.
void ScreenController::awakeFromNib()
{
    window()->setRoleName("Screen Frame", WSWindowType::overlay);
    if (auto screen = NSScreen::mainScreen())
        window()->setFrameOrigin(NSMakePoint(0, screen->frame().size.height - window()->frame().size.height));
    window()->setHasShadow(false);
    window()->invalidateShadow();
}

void ScreenController::setWidth(int32_t width, int32_t height)
{
    auto w = window();
    auto screen = w->screen();
    const CGFloat S = screen ? screen->frame().size.height : 0;
    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
    w->setFrame(NSMakeRect(0, S - fh, fw, fh), true);
}
