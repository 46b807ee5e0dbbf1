#include "DoubleRulerController.h"
#include "Foundation/NSClass.h"

#include <cmath>

#include "AppKit/NSScreen.h"
#include "AppText.h"
#include "SharedRulerStore.h"

NS_CLASS_DEFINE(DoubleRulerController)

void DoubleRulerController::describeClass(NSClassMembers<DoubleRulerController>& m)
{
    m.action("closeRuler:", &DoubleRulerController::closeRuler);
    m.outlet("horView", &DoubleRulerController::m_horView);
    m.outlet("verView", &DoubleRulerController::m_verView);
    m.outlet("widthText", &DoubleRulerController::m_widthText);
    m.outlet("heightText", &DoubleRulerController::m_heightText);
    m.outlet("horResizeButton", &DoubleRulerController::m_horResizeButton);
    m.outlet("verResizeButton", &DoubleRulerController::m_verResizeButton);
    m.outlet("closeButton", &DoubleRulerController::m_closeButton);
}

Id DoubleRulerController::init()
{
    initWithWindowNibName("DoubleRuler"_ns);
    return this;
}

// The window opens centred on the main screen; the buttons get their artwork.
void DoubleRulerController::awakeFromNib()
{
    // The two-armed ruler sits in the screen corner at first launch.
    window()->setRoleName("Corner Ruler", WSWindowType::utility);
    if (auto screen = NSScreen::mainScreen()) {
        const NSRect s = screen->visibleFrame();
        const NSSize size = window()->frame().size;
        window()->setFrameOrigin(NSMakePoint(std::floor(s.origin.x + (s.size.width - size.width) / 2),
                                             std::floor(s.origin.y + (s.size.height - size.height) / 2)));
    }
    const std::pair<Ref<NSButton>, const char*> artwork[] = {
        {m_horResizeButton, "resize.pdf"}, {m_verResizeButton, "resize2.pdf"}, {m_closeButton, "abortcross.pdf"}};
    for (const auto& [button, image] : artwork) {
        if (!button) continue;
        button->setBordered(false);
        button->setImage(NSImage::imageNamed(NSString::stringWithUTF8String(image)));
    }
    window()->setHasShadow(false);
    window()->invalidateShadow();
    updateUI();
}

void DoubleRulerController::updateUI()
{
    auto format = AppText::text("LSPixel");
    m_widthText->setStringValue(NSString::stringWithFormat(format, m_horView->frame().size.width - 1));
    m_heightText->setStringValue(NSString::stringWithFormat(format, m_verView->frame().size.height - 1));
}

void DoubleRulerController::closeRuler(const Id&)
{
    SharedRulerStore::getSharedRulerStore()->removeAndCloseRuler(Ref<RulerWindowController>(this));
}

void DoubleRulerController::setMouseLocation(NSPoint screenPoint)
{
    window();
    m_horView->setMouseLocation(screenPoint);
    m_verView->setMouseLocation(screenPoint);
}
