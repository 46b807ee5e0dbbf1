#include "SingleRulerController.h"
#include "Foundation/NSClass.h"

#include <cmath>

#include "AppKit/NSScreen.h"
#include "SharedRulerStore.h"

NS_CLASS_DEFINE(SingleRulerController)

void SingleRulerController::describeClass(NSClassMembers<SingleRulerController>& m)
{
    m.action("closeRuler:", &SingleRulerController::closeRuler);
    m.action("resizeButton:", &SingleRulerController::resizeButton);
    m.outlet("view", &SingleRulerController::m_view);
    m.outlet("resizeButton", &SingleRulerController::m_resizeButton);
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

// A new ruler opens centred across the main screen, two thirds up.
void SingleRulerController::awakeFromNib()
{
    window()->setRoleName("Ruler", WSWindowType::utility);
    if (auto screen = NSScreen::mainScreen()) {
        const NSRect s = screen->visibleFrame();
        const NSSize size = window()->frame().size;
        window()->setFrameOrigin(NSMakePoint(std::floor(s.origin.x + (s.size.width - size.width) / 2),
                                             std::floor(s.origin.y + s.size.height * 2 / 3)));
    }
    if (m_resizeButton) {
        m_resizeButton->setBordered(false);
        m_resizeButton->setImage(NSImage::imageNamed("resize.pdf"_ns));
    }
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
