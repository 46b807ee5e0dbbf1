#include "AppKit/NSGraphicsContext.h"

#include <algorithm>
#include <vector>

#include "AppKit/NSBitmapImageRep.h"
#include "CoreGraphics/CGCairoContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSGraphicsContext)

namespace {
thread_local Ref<NSGraphicsContext> t_current;
thread_local std::vector<Ref<NSGraphicsContext>> t_saved;
}

Ref<NSGraphicsContext> NSGraphicsContext::currentContext() { return t_current; }

void NSGraphicsContext::setCurrentContext(const Ref<NSGraphicsContext>& context) { t_current = context; }

void NSGraphicsContext::saveGraphicsState()
{
    t_saved.push_back(t_current);
    if (t_current) t_current->m_port->saveGState();
}

void NSGraphicsContext::restoreGraphicsState()
{
    if (t_saved.empty()) return;
    t_current = std::move(t_saved.back());
    t_saved.pop_back();
    if (t_current) t_current->m_port->restoreGState();
}

bool NSGraphicsContext::currentContextDrawingToScreen() { return t_current && t_current->m_drawingToScreen; }

Ref<NSGraphicsContext> NSGraphicsContext::graphicsContextWithGraphicsPort(const Ref<CGContext>& port, bool flipped)
{
    if (!port) return nullptr;
    auto context = alloc<NSGraphicsContext>();
    context->m_port = port;
    context->m_flipped = flipped;
    return context;
}

Ref<NSGraphicsContext> NSGraphicsContext::graphicsContextWithBitmapImageRep(const Ref<NSBitmapImageRep>& rep)
{
    if (!rep) return nullptr;
    auto image = rep->CGImage();
    auto port = CGCairoContext::createForImage(image);
    if (!port) return nullptr;
    port->setCTM({1, 0, 0, -1, 0, static_cast<CGFloat>(image->height())});
    auto context = graphicsContextWithGraphicsPort(port, false);
    context->m_bitmapRep = rep;
    return context;
}

void NSGraphicsContext::flushGraphics()
{
    m_port->flush();
    if (!m_bitmapRep) return;
    if (auto cairo = dynamic_ref_cast<CGCairoContext>(m_port)) m_bitmapRep->setPixelsFromImage(cairo->image());
}

NSGraphicsContext::~NSGraphicsContext()
{
    if (m_bitmapRep && m_port) flushGraphics();
}

Ref<CGImage> NSGraphicsContext::imageByDrawing(NSInteger pixelsWide, NSInteger pixelsHigh, NSSize size, bool flipped,
                                               const std::function<void()>& draw)
{
    auto image = CGImage::create(static_cast<size_t>(std::max<NSInteger>(pixelsWide, 0)),
                                 static_cast<size_t>(std::max<NSInteger>(pixelsHigh, 0)));
    if (!image || !(size.width > 0 && size.height > 0)) return image;
    auto port = CGCairoContext::createForImage(image);
    CGFloat sx = static_cast<CGFloat>(pixelsWide) / size.width, sy = static_cast<CGFloat>(pixelsHigh) / size.height;
    port->setCTM(flipped ? CGAffineTransform{sx, 0, 0, sy, 0, 0}
                         : CGAffineTransform{sx, 0, 0, -sy, 0, static_cast<CGFloat>(pixelsHigh)});
    saveGraphicsState();
    setCurrentContext(graphicsContextWithGraphicsPort(port, flipped));
    try {
        draw();
    } catch (...) {
        restoreGraphicsState();
        throw;
    }
    restoreGraphicsState();
    port->flush();
    return image;
}
