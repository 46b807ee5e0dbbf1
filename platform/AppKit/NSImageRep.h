#pragma once
// One representation of an image: a size in points and a way to draw itself.
#include "CoreGraphics/CGImage.h"
#include "Foundation/NSObject.h"

class NSImageRep : public NSObject {
    NS_OBJECT(NSImageRep, NSObject)
protected:
    NSImageRep() = default;

public:
    NSSize size() const { return m_size; }
    void setSize(NSSize size) { m_size = size; }
    NSInteger pixelsWide() const { return m_pixelsWide; }
    NSInteger pixelsHigh() const { return m_pixelsHigh; }
    void setPixelsWide(NSInteger w) { m_pixelsWide = w; }
    void setPixelsHigh(NSInteger h) { m_pixelsHigh = h; }
    bool hasAlpha() const { return m_hasAlpha; }
    void setAlpha(bool alpha) { m_hasAlpha = alpha; }

    // Pixels for drawing at the given device size (bitmaps ignore it).
    virtual Ref<::CGImage> imageForDrawing(NSInteger pixelsWide, NSInteger pixelsHigh) const = 0;
    // Draws the representation into its size at the origin of the current context.
    bool draw() const;
    bool drawAtPoint(NSPoint p) const;
    bool drawInRect(const NSRect& rect) const;

protected:
    NSSize m_size;
    NSInteger m_pixelsWide = 0, m_pixelsHigh = 0;
    bool m_hasAlpha = true;
};
