#include "ScreenView.h"
#include "Foundation/NSClass.h"

#include "AppDefaults.h"
#include "AppKit/NSBezierPath.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(ScreenView)

void ScreenView::describeClass(NSClassMembers<ScreenView>& m)
{
    m.action("handleScreenColorHasChanged:", &ScreenView::handleScreenColorHasChanged);
}

Ref<NSView> ScreenView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_screenColor = AppDefaults::colorForKey("ScreenColor");
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "handleScreenColorHasChanged:", "ScreenColorHasChanged"_ns, nullptr);
    return this;
}

void ScreenView::handleScreenColorHasChanged(const Ref<NSNotification>&)
{
    m_screenColor = AppDefaults::colorForKey("ScreenColor");
    setNeedsDisplay(true);
}

void ScreenView::drawRect(const NSRect&)
{
    const CGFloat w = bounds().size.width, h = bounds().size.height;
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(NSMakePoint(0, h));
    path->lineToPoint(NSMakePoint(w, h));
    path->lineToPoint(NSMakePoint(w, 0));
    path->setLineWidth(2.5);
    m_screenColor->setStroke();
    path->stroke();
}
