#include "AppKit/NSImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSCustomImageRep.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImageNames.h"
#include "CoreGraphics/CGCairoContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSImage)

namespace {
struct NamedImages {
    std::mutex mutex;
    std::map<std::u16string, Ref<NSImage>> byName;
    std::vector<std::string> directories;
};
NamedImages& named()
{
    static auto* n = new NamedImages;
    return *n;
}

std::string findImageFile(const NamedImages& n, const std::string& name)
{
    std::vector<std::string> dirs = n.directories;
    if (const char* env = std::getenv("PLUMBLINE_RESOURCES")) dirs.push_back(env);
    std::filesystem::path base(name);
    std::vector<std::string> candidates{name};
    if (base.extension() == ".pdf" || base.extension().empty())
        candidates.push_back(base.replace_extension(".png").string());
    for (const std::string& dir : dirs)
        for (const std::string& c : candidates) {
            std::error_code ec;
            for (const auto& path : {std::filesystem::path(dir) / c, std::filesystem::path(dir) / "images" / c})
                if (std::filesystem::is_regular_file(path, ec)) return path.string();
        }
    return {};
}
}

Ref<NSImage> NSImage::initWithSize(NSSize size)
{
    auto image = alloc<NSImage>();
    image->m_size = size;
    return image;
}

Ref<NSImage> NSImage::initWithCGImage(const Ref<::CGImage>& cgImage, NSSize size)
{
    auto rep = NSBitmapImageRep::initWithCGImage(cgImage);
    if (!rep) return nullptr;
    if (size.width == 0 && size.height == 0) size = rep->size();
    rep->setSize(size);
    auto image = initWithSize(size);
    image->addRepresentation(rep);
    return image;
}

Ref<NSImage> NSImage::initWithData(const Ref<NSData>& data)
{
    auto cgImage = ::CGImage::createWithPNGData(data);
    return cgImage ? initWithCGImage(cgImage, NSZeroSize) : nullptr;
}

Ref<NSImage> NSImage::initWithContentsOfFile(const Ref<NSString>& path)
{
    return initWithData(NSData::dataWithContentsOfFile(path));
}

Ref<NSImage> NSImage::imageWithSize(NSSize size, bool flipped, std::function<bool(NSRect)> drawingHandler)
{
    auto image = initWithSize(size);
    image->addRepresentation(NSCustomImageRep::initWithSize(size, flipped, std::move(drawingHandler)));
    return image;
}

void NSImage::addImageSearchDirectory(const std::string& directory)
{
    std::lock_guard lock(named().mutex);
    named().directories.push_back(directory);
}

Ref<NSImage> NSImage::imageNamed(const Ref<NSString>& name)
{
    if (!name || name->length() == 0) return nullptr;
    NamedImages& n = named();
    {
        std::lock_guard lock(n.mutex);
        if (auto it = n.byName.find(name->utf16()); it != n.byName.end()) return it->second;
    }
    // The system's template images come first, as the platform's do.
    Ref<NSImage> image = NSImageTemplates::make(name->UTF8String());
    if (!image) {
        std::string file;
        {
            std::lock_guard lock(n.mutex);
            file = findImageFile(n, name->UTF8String());
        }
        if (file.empty()) return nullptr;
        image = initWithContentsOfFile(NSString::stringWithUTF8String(file));
    }
    if (!image) return nullptr;
    std::lock_guard lock(n.mutex);
    auto [it, inserted] = n.byName.emplace(name->utf16(), image);
    if (inserted) image->m_name = name;
    return it->second;
}

bool NSImage::setName(const Ref<NSString>& name)
{
    NamedImages& n = named();
    std::lock_guard lock(n.mutex);
    if (m_name) n.byName.erase(m_name->utf16());
    m_name = name;
    if (name) n.byName[name->utf16()] = this;
    return true;
}

Ref<NSArray> NSImage::representations() const
{
    std::vector<Id> reps(m_reps.begin(), m_reps.end());
    return NSArray::arrayWithVector(std::move(reps));
}

void NSImage::addRepresentation(const Ref<NSImageRep>& rep)
{
    if (!rep) return;
    if (m_size.width == 0 && m_size.height == 0) m_size = rep->size();
    m_reps.push_back(rep);
}

void NSImage::removeRepresentation(const Ref<NSImageRep>& rep) { std::erase(m_reps, rep); }

Ref<::CGImage> NSImage::pixelsFor(NSInteger pixelsWide, NSInteger pixelsHigh) const
{
    if (m_reps.empty()) return nullptr;
    // A bitmap is preferred when there is one; custom representations draw
    // at the size asked.
    for (const auto& rep : m_reps)
        if (auto bitmap = dynamic_ref_cast<NSBitmapImageRep>(rep)) return bitmap->CGImage();
    // Drawn on demand: a large magnification must not ask for a huge bitmap.
    constexpr NSInteger kMaxPixels = 4096;
    return m_reps.front()->imageForDrawing(std::min(pixelsWide, kMaxPixels), std::min(pixelsHigh, kMaxPixels));
}

Ref<::CGImage> NSImage::CGImageForDrawing() const
{
    return pixelsFor(std::lround(m_size.width), std::lround(m_size.height));
}

Ref<::CGImage> NSImage::CGImageForProposedRect(NSRect* rect, const Ref<NSGraphicsContext>&, const Ref<NSObject>&) const
{
    NSSize size = rect && !NSIsEmptyRect(*rect) ? rect->size : m_size;
    return pixelsFor(std::lround(size.width), std::lround(size.height));
}

void NSImage::lockFocus()
{
    NSInteger w = std::max<NSInteger>(1, std::lround(m_size.width)),
              h = std::max<NSInteger>(1, std::lround(m_size.height));
    // Drawing starts from the current content.
    auto existing = pixelsFor(w, h);
    m_focusImage =
        existing && static_cast<NSInteger>(existing->width()) == w && static_cast<NSInteger>(existing->height()) == h
            ? existing->copyImage()
            : ::CGImage::create(static_cast<size_t>(w), static_cast<size_t>(h));
    if (!m_focusImage) return;
    auto port = CGCairoContext::createForImage(m_focusImage);
    CGFloat sx = static_cast<CGFloat>(w) / std::max(m_size.width, 1e-9),
            sy = static_cast<CGFloat>(h) / std::max(m_size.height, 1e-9);
    port->setCTM(m_flipped ? CGAffineTransform{sx, 0, 0, sy, 0, 0}
                           : CGAffineTransform{sx, 0, 0, -sy, 0, static_cast<CGFloat>(h)});
    m_focusContext = NSGraphicsContext::graphicsContextWithGraphicsPort(port, m_flipped);
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(m_focusContext);
}

void NSImage::unlockFocus()
{
    if (!m_focusContext) return;
    NSGraphicsContext::restoreGraphicsState();
    m_focusContext->flushGraphics();
    auto rep = NSBitmapImageRep::initWithCGImage(m_focusImage);
    rep->setSize(m_size);
    // The drawing replaces the representations it was made from.
    m_reps.clear();
    m_reps.push_back(rep);
    m_focusContext = nullptr;
    m_focusImage = nullptr;
}

void NSImage::drawAtPoint(NSPoint point, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction) const
{
    NSSize size = NSIsEmptyRect(fromRect) ? m_size : fromRect.size;
    drawInRect({point, size}, fromRect, op, fraction, false, nullptr);
}

void NSImage::drawInRect(const NSRect& rect, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction) const
{
    drawInRect(rect, fromRect, op, fraction, false, nullptr);
}

void NSImage::drawInRect(const NSRect& rect) const
{
    drawInRect(rect, NSZeroRect, NSCompositingOperationSourceOver, 1, true, nullptr);
}

void NSImage::drawInRect(const NSRect& requested, const NSRect& fromRect, NSCompositingOperation op, CGFloat fraction,
                         bool respectFlipped, const Ref<NSObject>&) const
{
    auto context = NSGraphicsContext::currentContext();
    if (!context || NSIsEmptyRect(requested) || m_size.width <= 0 || m_size.height <= 0) return;
    CGContext* port = context->graphicsPort();
    NSRect from =
        NSIsEmptyRect(fromRect) ? NSRect{NSZeroPoint, m_size} : NSIntersectionRect(fromRect, {NSZeroPoint, m_size});
    if (NSIsEmptyRect(from)) return;
    // A source rectangle reaching beyond the image maps onto the destination
    // as a whole: only the part the image covers is drawn.
    NSRect rect = requested;
    if (!NSIsEmptyRect(fromRect) && !NSEqualRects(from, fromRect)) {
        const CGFloat kx = requested.size.width / fromRect.size.width;
        const CGFloat ky = requested.size.height / fromRect.size.height;
        rect = NSMakeRect(requested.origin.x + (from.origin.x - fromRect.origin.x) * kx,
                          requested.origin.y + (from.origin.y - fromRect.origin.y) * ky, from.size.width * kx,
                          from.size.height * ky);
    }

    // Pixels at the device size the whole image would cover.
    CGSize scale = CGSizeApplyAffineTransform({rect.size.width / from.size.width, rect.size.height / from.size.height},
                                              port->getCTM());
    CGFloat devW = std::fabs(scale.width) > 0 ? std::fabs(scale.width) : 1,
            devH = std::fabs(scale.height) > 0 ? std::fabs(scale.height) : 1;
    auto pixels = pixelsFor(std::max<NSInteger>(1, std::lround(m_size.width * devW)),
                            std::max<NSInteger>(1, std::lround(m_size.height * devH)));
    if (!pixels) return;

    // The source rectangle in pixels from the image's top left.
    CGFloat px = static_cast<CGFloat>(pixels->width()) / m_size.width,
            py = static_cast<CGFloat>(pixels->height()) / m_size.height;
    CGRect source = CGRectMake(from.origin.x * px, (m_size.height - NSMaxY(from)) * py, from.size.width * px,
                               from.size.height * py);
    CGFloat sx = rect.size.width / source.size.width, sy = rect.size.height / source.size.height;
    bool upright = respectFlipped && context->isFlipped();
    // Pixel row 0 lands at the rectangle's max y, which a flipped context
    // shows at the bottom; respecting the flip puts it at min y instead.
    CGAffineTransform toUser = upright ? CGAffineTransform{sx, 0, 0, sy, rect.origin.x, rect.origin.y}
                                       : CGAffineTransform{sx, 0, 0, -sy, rect.origin.x, NSMaxY(rect)};
    // Only the operation changes, so it alone is put back: a full save and
    // restore of the state costs more than drawing a small image.
    const NSCompositingOperation previous = port->gstate().operation;
    port->setCompositingOperation(op);
    port->drawImage(pixels, source, toUser, std::min(fraction, 1.0));
    port->setCompositingOperation(previous);
}

Ref<NSData> NSImage::PNGRepresentation() const
{
    auto pixels = CGImageForDrawing();
    return pixels ? pixels->PNGRepresentation() : nullptr;
}

Ref<NSData> NSImage::TIFFRepresentation() const { return PNGRepresentation(); }

void NSImage::encodeWithCoder(NSCoder* coder) const
{
    if (auto png = PNGRepresentation()) coder->encodeObject(png, "NSImageData"_ns);
    coder->encodeSize(m_size, "NSSize"_ns);
    coder->encodeBool(m_flipped, "NSFlipped"_ns);
    coder->encodeBool(m_template, "NSTemplate"_ns);
}

Id NSImage::initWithCoder(NSCoder* coder)
{
    const NSSize size = coder->decodeSizeForKey("NSSize"_ns);
    if (std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height >= 0) m_size = size;
    // Data that is not a PNG image leaves an image without pixels.
    auto data = dynamic_ref_cast<NSData>(coder->decodeObjectForKey("NSImageData"_ns));
    if (auto pixels = data ? ::CGImage::createWithPNGData(data) : nullptr)
        if (auto rep = NSBitmapImageRep::initWithCGImage(pixels)) {
            if (m_size.width == 0 && m_size.height == 0) m_size = rep->size();
            rep->setSize(m_size);
            addRepresentation(rep);
        }
    m_flipped = coder->decodeBoolForKey("NSFlipped"_ns);
    m_template = coder->decodeBoolForKey("NSTemplate"_ns);
    return this;
}

Id NSImage::copy() const
{
    auto image = initWithSize(m_size);
    for (const auto& rep : m_reps) image->m_reps.push_back(static_ref_cast<NSImageRep>(rep->copy()));
    image->m_scalesWhenResized = m_scalesWhenResized;
    image->m_flipped = m_flipped;
    image->m_template = m_template;
    return image;
}
