#include "Foundation/NSClass.h"
#include "SingleRulerController.h"

#include <cmath>

#include "AppKit/NSScreen.h"
#include "CustomWindow.h"
#include "SharedRulerStore.h"

NS_CLASS_DEFINE(SingleRulerController)

void SingleRulerController::describeClass(NSClassMembers<SingleRulerController>& m)
{
    m.action("closeRuler:", &SingleRulerController::closeRuler);
    m.action("resizeButton:", &SingleRulerController::resizeButton);
}

Id SingleRulerController::init()
{
    initWithWindowNibName("SingleRuler"_ns);
    return this;
}

Ref<SingleRulerController> SingleRulerController::initHorizontal(bool horizontal)
{
    init();
    m_hasToBeHorizontal = horizontal;
    m_horizontal = true;
    return this;
}

void SingleRulerController::loadWindow()
{
    NSRect frame = NSMakeRect(300, 500, 401, 50);
    if (auto screen = NSScreen::mainScreen()) {
        const NSRect s = screen->visibleFrame();
        frame.origin = NSMakePoint(std::floor(s.origin.x + (s.size.width - 401) / 2), std::floor(s.origin.y + s.size.height * 2 / 3));
    }
    auto window = CustomWindow::create(frame);
    m_view = dynamic_ref_cast<SingleRulerView>(alloc<SingleRulerView>()->initWithFrame(NSMakeRect(0, 0, 401, 50)));
    m_view->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    auto button = dynamic_ref_cast<ResizeButton>(alloc<ResizeButton>()->initWithFrame(NSMakeRect(387, 1, 13, 13)));
    button->setBordered(false);
    button->setImage(NSImage::imageNamed("resize.pdf"_ns));
    m_view->addSubview(button);
    window->setContentView(m_view);
    setWindow(window);
    m_view->awakeFromNib();
    awakeFromNib();
}

void SingleRulerController::awakeFromNib()
{
    window()->setHasShadow(false);
    window()->invalidateShadow();
}

void SingleRulerController::setMouseLocation(NSPoint screenPoint)
{
    if (auto v = view()) v->setMouseLocation(screenPoint);
}

// Closing from a button leaves the ruler in the store, so "show all rulers"
// brings it back.
void SingleRulerController::closeRuler(const Id&) { close(); }
