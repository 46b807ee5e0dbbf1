#pragma once
// The current drawing destination of a thread: a CGContext with a flipped
// flag. The class keeps a per-thread current context and a stack for the
// class save/restore.
#include <functional>

#include "CoreGraphics/CGContext.h"
#include "Foundation/NSObject.h"

class NSBitmapImageRep;

enum NSImageInterpolation : NSUInteger {
    NSImageInterpolationDefault = 0,
    NSImageInterpolationNone = 1,
    NSImageInterpolationLow = 2,
    NSImageInterpolationMedium = 4,
    NSImageInterpolationHigh = 3,
};

class NSGraphicsContext : public NSObject {
    NS_OBJECT(NSGraphicsContext, NSObject)
protected:
    NSGraphicsContext() = default;

public:
    static Ref<NSGraphicsContext> currentContext();
    static void setCurrentContext(const Ref<NSGraphicsContext>& context);
    // Saves the current context and its graphics state; restore brings both back.
    static void saveGraphicsState();
    static void restoreGraphicsState();
    static bool currentContextDrawingToScreen();

    static Ref<NSGraphicsContext> graphicsContextWithGraphicsPort(const Ref<CGContext>& port, bool flipped);
    static Ref<NSGraphicsContext> graphicsContextWithCGContext(const Ref<CGContext>& port, bool flipped)
    {
        return graphicsContextWithGraphicsPort(port, flipped);
    }
    // Draws into the representation's pixels (y up, origin bottom left);
    // the pixels are written back when the context is flushed or released.
    static Ref<NSGraphicsContext> graphicsContextWithBitmapImageRep(const Ref<NSBitmapImageRep>& rep);

    // Pixels drawn by a function into an offscreen image of the given pixel
    // size, whose user space is size points (y up, or y down when flipped),
    // made the current context while it runs.
    static Ref<CGImage> imageByDrawing(NSInteger pixelsWide, NSInteger pixelsHigh, NSSize size, bool flipped,
                                       const std::function<void()>& draw);

    CGContext* graphicsPort() const { return m_port.get(); }
    const Ref<CGContext>& port() const { return m_port; }
    bool isFlipped() const { return m_flipped; }
    void setFlipped(bool flipped) { m_flipped = flipped; }
    bool isDrawingToScreen() const { return m_drawingToScreen; }
    void setDrawingToScreen(bool screen) { m_drawingToScreen = screen; }

    void saveGraphicsStateOfContext() { m_port->saveGState(); }
    void restoreGraphicsStateOfContext() { m_port->restoreGState(); }

    bool shouldAntialias() const { return m_port->gstate().antialias; }
    void setShouldAntialias(bool on) { m_port->setShouldAntialias(on); }
    NSCompositingOperation compositingOperation() const { return m_port->gstate().operation; }
    void setCompositingOperation(NSCompositingOperation op) { m_port->setCompositingOperation(op); }
    NSImageInterpolation imageInterpolation() const
    {
        return static_cast<NSImageInterpolation>(m_port->gstate().interpolation);
    }
    void setImageInterpolation(NSImageInterpolation q)
    {
        m_port->setInterpolationQuality(static_cast<CGInterpolationQuality>(q));
    }
    void flushGraphics();

    ~NSGraphicsContext() override;

private:
    Ref<CGContext> m_port;
    bool m_flipped = false;
    bool m_drawingToScreen = false;
    Ref<NSBitmapImageRep> m_bitmapRep;  // written back on flush
};
