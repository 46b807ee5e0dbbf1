#pragma once
// A bitmap: 8-bit samples, 3 (RGB) or 4 (RGBA, premultiplied) per pixel,
// meshed, rows from the top.
#include <vector>

#include "AppKit/NSImageRep.h"
#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

class NSColor;

enum NSBitmapImageFileType : NSUInteger {
    NSBitmapImageFileTypeTIFF = 0,
    NSBitmapImageFileTypeBMP = 1,
    NSBitmapImageFileTypeGIF = 2,
    NSBitmapImageFileTypeJPEG = 3,
    NSBitmapImageFileTypePNG = 4,
};
inline constexpr NSBitmapImageFileType NSPNGFileType = NSBitmapImageFileTypePNG;
inline constexpr NSBitmapImageFileType NSTIFFFileType = NSBitmapImageFileTypeTIFF;

class NSBitmapImageRep : public NSImageRep {
    NS_OBJECT(NSBitmapImageRep, NSImageRep)
protected:
    NSBitmapImageRep() = default;

public:
    // planes must be null (the representation owns its memory); 8 bits per
    // sample; 3 samples without alpha or 4 with; bytesPerRow and
    // bitsPerPixel 0 let the representation choose. Other layouts answer nil.
    static Ref<NSBitmapImageRep> initWithBitmapDataPlanes(unsigned char** planes, NSInteger pixelsWide,
                                                          NSInteger pixelsHigh, NSInteger bitsPerSample,
                                                          NSInteger samplesPerPixel, bool hasAlpha, bool isPlanar,
                                                          const Ref<NSString>& colorSpaceName, NSInteger bytesPerRow,
                                                          NSInteger bitsPerPixel);
    static Ref<NSBitmapImageRep> initWithCGImage(const Ref<::CGImage>& image);
    // PNG data; nil for anything else.
    static Ref<NSBitmapImageRep> imageRepWithData(const Ref<NSData>& data);

    unsigned char* bitmapData();
    const unsigned char* bitmapData() const { return m_bytes.data(); }
    NSInteger bytesPerRow() const { return m_bytesPerRow; }
    NSInteger bitsPerPixel() const { return m_samplesPerPixel * 8; }
    NSInteger bitsPerSample() const { return 8; }
    NSInteger samplesPerPixel() const { return m_samplesPerPixel; }
    bool isPlanar() const { return false; }
    const Ref<NSString>& colorSpaceName() const { return m_colorSpaceName; }

    Ref<NSColor> colorAtX(NSInteger x, NSInteger y) const;
    void setColor(const Ref<NSColor>& color, NSInteger x, NSInteger y);

    // PNG for PNG; TIFF answers the same lossless bytes (only round trips of
    // it are read back). nil for other types.
    Ref<NSData> representationUsingType(NSBitmapImageFileType type, const Ref<NSObject>& properties = nullptr) const;
    Ref<NSData> TIFFRepresentation() const { return representationUsingType(NSBitmapImageFileTypePNG); }

    // The pixels as a premultiplied ARGB image.
    Ref<::CGImage> CGImage() const;
    Ref<::CGImage> imageForDrawing(NSInteger, NSInteger) const override { return CGImage(); }
    // Takes the pixels of an image of the same size (a context drawn into it).
    void setPixelsFromImage(const Ref<::CGImage>& image);
    Id copy() const override;

private:
    void allocate(NSInteger w, NSInteger h, NSInteger spp);
    std::vector<unsigned char> m_bytes;
    NSInteger m_bytesPerRow = 0;
    NSInteger m_samplesPerPixel = 4;
    Ref<NSString> m_colorSpaceName;
    mutable Ref<::CGImage> m_cache;  // dropped whenever the bytes may change
};
