#include "GuidelineController.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSScreen.h"
#include "GuidelineStore.h"
#include "GuidelineWindow.h"

NS_CLASS_DEFINE(GuidelineController)

Id GuidelineController::init()
{
    initWithWindowNibName("Guidelines"_ns);
    return this;
}

void GuidelineController::describeClass(NSClassMembers<GuidelineController>& m)
{
    m.outlet("view", &GuidelineController::m_view);
}

void GuidelineController::awakeFromNib()
{
    auto w = window();
    w->setRoleName("Guidelines", WSWindowType::overlay);
    w->setHasShadow(false);
    w->invalidateShadow();
    handleScreenParametersHasChanged(nullptr);
}

void GuidelineController::handleScreenParametersHasChanged(const Id&)
{
    auto w = window();
    auto screen = w->screen();
    if (!screen) screen = NSScreen::mainScreen();
    w->setFrame(screen ? screen->visibleFrame() : NSZeroRect, true);
    m_view->calcControllerPosition();
    m_view->setNeedsDisplay(true);
}

void GuidelineController::newGuideline(int32_t type)
{
    auto set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
    if (!set) return;
    set->addGuideline(Guidelines::create(type, set->freePosForType(type)));
    getView()->setNeedsDisplay(true);
}
