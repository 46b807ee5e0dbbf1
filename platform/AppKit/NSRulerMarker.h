#pragma once
// A marker on a ruler view: an image whose imageOrigin point sits at
// markerLocation along the ruler, on the line where the marker area meets
// the rule. The location is in the client view's coordinates along the
// ruler's axis (y for a vertical ruler, x for a horizontal one).
#include "AppKit/NSImage.h"
#include "Foundation/NSCoding.h"

class NSRulerView;

class NSRulerMarker : public NSObject, public NSCoding {
    NS_OBJECT(NSRulerMarker, NSObject)
protected:
    NSRulerMarker() = default;

public:
    Ref<NSRulerMarker> initWithRulerView(const Ref<NSRulerView>& ruler, CGFloat location, const Ref<NSImage>& image,
                                         NSPoint imageOrigin);

    // The ruler is not retained.
    Ref<NSRulerView> ruler() const;
    void setRuler(const Ref<NSRulerView>& ruler);
    CGFloat markerLocation() const { return m_markerLocation; }
    void setMarkerLocation(CGFloat location);
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image);
    NSPoint imageOrigin() const { return m_imageOrigin; }
    void setImageOrigin(NSPoint origin);
    bool isMovable() const { return m_movable; }
    void setMovable(bool flag) { m_movable = flag; }
    bool isRemovable() const { return m_removable; }
    void setRemovable(bool flag) { m_removable = flag; }
    Id representedObject() const { return m_representedObject; }
    void setRepresentedObject(const Id& object) { m_representedObject = object; }

    // Where the image lies in the ruler's (flipped) coordinates; the zero
    // rectangle without ruler or image.
    NSRect imageRectInRuler() const;
    // How much of the ruler's marker area the image needs across the axis.
    CGFloat thicknessRequiredInRuler() const;
    // Draws the image upright at imageRectInRuler when it meets the rectangle.
    virtual void drawRect(const NSRect& rect);

    // A marker of the same class on the same ruler with the same values.
    Id copy() const override;

    // Keys: NSRulerMarkerLocation, NSRulerMarkerImage (PNG data),
    // NSRulerMarkerOrigin, NSRulerMarkerMovable, NSRulerMarkerRemovable; the
    // sequential form writes the same values in that order.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    // Subclasses copy their own fields after the superclass's.
    virtual void copyValuesFrom(const NSRulerMarker& other);

private:
    Weak<NSRulerView> m_ruler;
    CGFloat m_markerLocation = 0;
    Ref<NSImage> m_image;
    NSPoint m_imageOrigin;
    bool m_movable = false;
    bool m_removable = false;
    Id m_representedObject;
};
