#include "AppKit/NSRulerMarker.h"

#include <algorithm>

#include "AppKit/NSRulerView.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSRulerMarker)

Ref<NSRulerMarker> NSRulerMarker::initWithRulerView(const Ref<NSRulerView>& ruler, CGFloat location,
                                                    const Ref<NSImage>& image, NSPoint imageOrigin)
{
    m_ruler = ruler;
    m_markerLocation = location;
    m_image = image;
    m_imageOrigin = imageOrigin;
    m_movable = true;
    m_removable = false;
    return this;
}

Ref<NSRulerView> NSRulerMarker::ruler() const { return m_ruler.get(); }

void NSRulerMarker::setRuler(const Ref<NSRulerView>& ruler) { m_ruler = ruler; }

void NSRulerMarker::setMarkerLocation(CGFloat location)
{
    if (location == m_markerLocation) return;
    m_markerLocation = location;
    if (auto ruler = m_ruler.get()) ruler->setNeedsDisplay(true);
}

void NSRulerMarker::setImage(const Ref<NSImage>& image)
{
    m_image = image;
    if (auto ruler = m_ruler.get()) ruler->setNeedsDisplay(true);
}

void NSRulerMarker::setImageOrigin(NSPoint origin)
{
    m_imageOrigin = origin;
    if (auto ruler = m_ruler.get()) ruler->setNeedsDisplay(true);
}

NSRect NSRulerMarker::imageRectInRuler() const
{
    auto ruler = m_ruler.get();
    if (!ruler || !m_image) return NSZeroRect;
    const NSSize size = m_image->size();
    const CGFloat along = ruler->rulerPositionForClientLocation(m_markerLocation);
    const CGFloat across = ruler->baselineLocation();
    // The image is drawn upright in the flipped ruler: its origin point is
    // measured from its bottom-left corner.
    if (ruler->orientation() == NSVerticalRuler)
        return NSMakeRect(across - m_imageOrigin.x, along - (size.height - m_imageOrigin.y), size.width, size.height);
    return NSMakeRect(along - m_imageOrigin.x, across - (size.height - m_imageOrigin.y), size.width, size.height);
}

CGFloat NSRulerMarker::thicknessRequiredInRuler() const
{
    auto ruler = m_ruler.get();
    if (!ruler || !m_image) return 0;
    const NSSize size = m_image->size();
    return ruler->orientation() == NSVerticalRuler ? std::max(0.0, m_imageOrigin.x)
                                                   : std::max(0.0, size.height - m_imageOrigin.y);
}

void NSRulerMarker::drawRect(const NSRect& rect)
{
    const NSRect where = imageRectInRuler();
    if (NSIsEmptyRect(where) || !NSIntersectsRect(where, rect)) return;
    m_image->drawInRect(where, NSZeroRect, NSCompositeSourceOver, 1.0, true, nullptr);
}

Id NSRulerMarker::copy() const
{
    auto clone = dynamic_ref_cast<NSRulerMarker>(realClass().allocInstance());
    if (!clone) return nullptr;
    clone->copyValuesFrom(*this);
    return clone;
}

void NSRulerMarker::copyValuesFrom(const NSRulerMarker& o)
{
    m_ruler = o.m_ruler.get();
    m_markerLocation = o.m_markerLocation;
    m_image = o.m_image;
    m_imageOrigin = o.m_imageOrigin;
    m_movable = o.m_movable;
    m_removable = o.m_removable;
    m_representedObject = o.m_representedObject;
}

void NSRulerMarker::encodeWithCoder(NSCoder* coder) const
{
    Ref<NSData> png = m_image ? m_image->PNGRepresentation() : nullptr;
    if (!coder->allowsKeyedCoding()) {
        coder->encodeDouble(m_markerLocation);
        coder->encodeObject(png);
        coder->encodeDouble(m_imageOrigin.x);
        coder->encodeDouble(m_imageOrigin.y);
        coder->encodeChar(m_movable ? 1 : 0);
        coder->encodeChar(m_removable ? 1 : 0);
        return;
    }
    coder->encodeDouble(m_markerLocation, "NSRulerMarkerLocation"_ns);
    if (png) coder->encodeObject(png, "NSRulerMarkerImage"_ns);
    coder->encodePoint(m_imageOrigin, "NSRulerMarkerOrigin"_ns);
    coder->encodeBool(m_movable, "NSRulerMarkerMovable"_ns);
    coder->encodeBool(m_removable, "NSRulerMarkerRemovable"_ns);
}

Id NSRulerMarker::initWithCoder(NSCoder* coder)
{
    Ref<NSData> png;
    if (!coder->allowsKeyedCoding()) {
        m_markerLocation = coder->decodeDouble();
        png = dynamic_ref_cast<NSData>(coder->decodeObject());
        m_imageOrigin.x = coder->decodeDouble();
        m_imageOrigin.y = coder->decodeDouble();
        m_movable = coder->decodeChar() != 0;
        m_removable = coder->decodeChar() != 0;
    } else {
        m_markerLocation = coder->decodeDoubleForKey("NSRulerMarkerLocation"_ns);
        png = dynamic_ref_cast<NSData>(coder->decodeObjectForKey("NSRulerMarkerImage"_ns));
        m_imageOrigin = coder->decodePointForKey("NSRulerMarkerOrigin"_ns);
        m_movable = coder->decodeBoolForKey("NSRulerMarkerMovable"_ns);
        m_removable = coder->decodeBoolForKey("NSRulerMarkerRemovable"_ns);
    }
    m_image = png ? NSImage::initWithData(png) : nullptr;
    return this;
}
