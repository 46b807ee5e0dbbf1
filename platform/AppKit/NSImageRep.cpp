#include "AppKit/NSImageRep.h"

#include <cmath>

#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSImageRep)

bool NSImageRep::draw() const { return drawInRect({NSZeroPoint, m_size}); }

bool NSImageRep::drawAtPoint(NSPoint p) const { return drawInRect({p, m_size}); }

bool NSImageRep::drawInRect(const NSRect& rect) const
{
    auto context = NSGraphicsContext::currentContext();
    if (!context || NSIsEmptyRect(rect)) return false;
    CGContext* port = context->graphicsPort();
    CGSize device = CGSizeApplyAffineTransform(rect.size, port->getCTM());
    auto image = imageForDrawing(std::lround(std::fabs(device.width)), std::lround(std::fabs(device.height)));
    if (!image) return false;
    CGFloat w = static_cast<CGFloat>(image->width()), h = static_cast<CGFloat>(image->height());
    port->drawImage(image, CGRectMake(0, 0, w, h),
                    {rect.size.width / w, 0, 0, -rect.size.height / h, rect.origin.x, NSMaxY(rect)}, 1);
    return true;
}
