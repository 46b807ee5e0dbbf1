#pragma once
// Images: a nominal size in points and a list of representations (bitmaps,
// or custom representations drawn on demand at any size).
//
// Keyed-coding keys: NSImageData (the pixels as PNG), NSSize, NSFlipped,
// NSTemplate; a drawn image is archived as its pixels.
#include <functional>
#include <string>
#include <vector>

#include "AppKit/NSImageRep.h"
#include "CoreGraphics/CGCompositing.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

class NSBitmapImageRep;
class NSGraphicsContext;

class NSImage : public NSObject, public NSCoding {
    NS_OBJECT(NSImage, NSObject)
protected:
    NSImage() = default;

public:
    static Ref<NSImage> initWithSize(NSSize size);
    // nil when the file or data is not a PNG image.
    static Ref<NSImage> initWithContentsOfFile(const Ref<NSString>& path);
    static Ref<NSImage> initByReferencingFile(const Ref<NSString>& path) { return initWithContentsOfFile(path); }
    static Ref<NSImage> initWithData(const Ref<NSData>& data);
    static Ref<NSImage> initWithCGImage(const Ref<::CGImage>& image, NSSize size);
    // An image whose content is drawn by the handler, on demand, at any size.
    static Ref<NSImage> imageWithSize(NSSize size, bool flipped, std::function<bool(NSRect)> drawingHandler);

    // Shared images by name: names set with setName, then files in the image
    // folders (the folders added here, then $PLUMBLINE_RESOURCES), as
    // "<name>", "<name>.png", a ".pdf" name served by the PNG of the same base
    // name. Every caller gets the same object.
    static Ref<NSImage> imageNamed(const Ref<NSString>& name);
    static void addImageSearchDirectory(const std::string& directory);
    // Registers the image under the name (nil removes the name).
    bool setName(const Ref<NSString>& name);
    Ref<NSString> name() const { return m_name; }

    NSSize size() const { return m_size; }
    void setSize(NSSize size) { m_size = size; }
    bool scalesWhenResized() const { return m_scalesWhenResized; }
    void setScalesWhenResized(bool scales) { m_scalesWhenResized = scales; }
    bool isFlipped() const { return m_flipped; }
    void setFlipped(bool flipped) { m_flipped = flipped; }
    bool isTemplate() const { return m_template; }
    void setTemplate(bool t) { m_template = t; }
    bool isValid() const { return !m_reps.empty() || m_size.width > 0; }

    Ref<NSArray> representations() const;
    void addRepresentation(const Ref<NSImageRep>& rep);
    void removeRepresentation(const Ref<NSImageRep>& rep);

    // Makes the image the current drawing destination (its user space is its
    // size in points, y up, or y down when flipped); unlockFocus ends it and
    // keeps what was drawn as the image's bitmap.
    void lockFocus();
    void unlockFocus();

    // fromRect is in image points (NSZeroRect: all of it). The fraction is
    // clamped to 1. Drawing applies the full current transform, so in a
    // flipped context the image appears upside down; respectFlipped draws it
    // upright there.
    void drawAtPoint(NSPoint point, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction) const;
    void drawInRect(const NSRect& rect, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction) const;
    void drawInRect(const NSRect& rect, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction,
                    bool respectFlipped, const Ref<NSObject>& hints) const;
    void drawInRect(const NSRect& rect) const;

    // The image as PNG bytes (TIFF answers the same lossless bytes).
    Ref<NSData> TIFFRepresentation() const;
    Ref<NSData> PNGRepresentation() const;
    // Pixels of the whole image at its size (one pixel per point), for
    // pattern colours and copies.
    Ref<::CGImage> CGImageForDrawing() const;
    Ref<::CGImage> CGImageForProposedRect(NSRect* rect, const Ref<NSGraphicsContext>& context,
                                          const Ref<NSObject>& hints) const;

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    // The best representation's pixels for a device size.
    Ref<::CGImage> pixelsFor(NSInteger pixelsWide, NSInteger pixelsHigh) const;
    NSSize m_size;
    std::vector<Ref<NSImageRep>> m_reps;
    Ref<NSString> m_name;
    bool m_scalesWhenResized = true;
    bool m_flipped = false;
    bool m_template = false;
    // lockFocus state.
    Ref<NSGraphicsContext> m_focusContext;
    Ref<::CGImage> m_focusImage;
};
