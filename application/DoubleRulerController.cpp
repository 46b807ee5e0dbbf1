#include "Foundation/NSClass.h"
#include "DoubleRulerController.h"

#include <cmath>

#include "AppKit/NSScreen.h"
#include "AppText.h"
#include "CustomWindow.h"
#include "SharedRulerStore.h"
#include "WhiteView.h"

NS_CLASS_DEFINE(DoubleRulerController)

namespace {
constexpr CGFloat kWidth = 401, kHeight = 301, kArm = 40;

Ref<NSTextField> label(const NSRect& frame)
{
    auto field = NSTextField::labelWithString(""_ns);
    field->setFrame(frame);
    return field;
}
}  // namespace

void DoubleRulerController::describeClass(NSClassMembers<DoubleRulerController>& m)
{
    m.action("closeRuler:", &DoubleRulerController::closeRuler);
}

Id DoubleRulerController::init()
{
    initWithWindowNibName("DoubleRuler"_ns);
    return this;
}

// The layout: the horizontal arm along the top, the vertical arm down the
// left edge below it, and a small panel with the two lengths and the close
// button in the inner corner.
void DoubleRulerController::loadWindow()
{
    NSRect frame = NSMakeRect(100, 400, kWidth, kHeight);
    if (auto screen = NSScreen::mainScreen()) {
        const NSRect s = screen->visibleFrame();
        frame.origin = NSMakePoint(std::floor(s.origin.x + (s.size.width - kWidth) / 2),
                                   std::floor(s.origin.y + (s.size.height - kHeight) / 2));
    }
    auto window = CustomWindow::create(frame);
    auto content = alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, kWidth, kHeight));
    m_horView = dynamic_ref_cast<DoubleRulerHorView>(
        alloc<DoubleRulerHorView>()->initWithFrame(NSMakeRect(0, kHeight - kArm, kWidth, kArm)));
    m_horView->setAutoresizingMask(NSViewWidthSizable | NSViewMinYMargin);
    m_verView = dynamic_ref_cast<DoubleRulerVerView>(
        alloc<DoubleRulerVerView>()->initWithFrame(NSMakeRect(0, 0, kArm, kHeight - kArm)));
    m_verView->setAutoresizingMask(NSViewHeightSizable);
    auto horButton = dynamic_ref_cast<ResizeButton>(alloc<ResizeButton>()->initWithFrame(NSMakeRect(kWidth - 14, 1, 13, 13)));
    horButton->setBordered(false);
    horButton->setImage(NSImage::imageNamed("resize.pdf"_ns));
    horButton->setAutoresizingMask(NSViewMinXMargin);
    m_horView->addSubview(horButton);
    auto verButton = dynamic_ref_cast<ResizeButton>(alloc<ResizeButton>()->initWithFrame(NSMakeRect(kArm - 14, 1, 13, 13)));
    verButton->setBordered(false);
    verButton->setImage(NSImage::imageNamed("resize2.pdf"_ns));
    m_verView->addSubview(verButton);

    auto panel = alloc<WhiteView>()->initWithFrame(NSMakeRect(kArm, kHeight - kArm - 44, 120, 44));
    panel->setAutoresizingMask(NSViewMinYMargin);
    auto close = dynamic_ref_cast<NSButton>(alloc<NSButton>()->initWithFrame(NSMakeRect(3, 26, 16, 16)));
    close->setBordered(false);
    close->setImage(NSImage::imageNamed("abortcross.pdf"_ns));
    close->setTarget(Id(this));
    close->setAction("closeRuler:");
    panel->addSubview(close);
    m_widthText = label(NSMakeRect(22, 24, 96, 16));
    m_heightText = label(NSMakeRect(22, 4, 96, 16));
    panel->addSubview(m_widthText);
    panel->addSubview(m_heightText);

    content->addSubview(m_verView);
    content->addSubview(m_horView);
    content->addSubview(panel);
    window->setContentView(content);
    setWindow(window);
    awakeFromNib();
}

void DoubleRulerController::awakeFromNib()
{
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
