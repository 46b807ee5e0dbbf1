#include "Foundation/NSClass.h"
#include "ScreenController.h"

#include "AppKit/NSScreen.h"
#include "ScreenWindow.h"

NS_CLASS_DEFINE(ScreenController)

Id ScreenController::init()
{
    initWithWindowNibName("Screen"_ns);
    return this;
}

void ScreenController::loadWindow()
{
    NSRect frame = NSMakeRect(0, 0, 640, 480);
    if (auto screen = NSScreen::mainScreen()) frame.origin.y = screen->frame().size.height - frame.size.height;
    auto window = ScreenWindow::create(frame);
    m_view = dynamic_ref_cast<ScreenView>(alloc<ScreenView>()->initWithFrame(NSMakeRect(0, 0, 640, 480)));
    window->setContentView(m_view);
    setWindow(window);
    awakeFromNib();
}

void ScreenController::awakeFromNib()
{
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
