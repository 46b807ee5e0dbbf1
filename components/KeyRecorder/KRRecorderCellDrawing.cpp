// The recorder's faces: a pill-shaped field with a centred text and one
// round button at its right end (remove while idle, snapback while
// recording). Drawn in the control's unflipped coordinates.
#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSDictionary.h"
#include "KeyRecorder/KRDummyClass.h"
#include "KeyRecorder/KRKeyNaming.h"
#include "KeyRecorder/KRRecorderCell.h"
#include "KeyRecorder/KRSharedImageProvider.h"
#include "KeyRecorder/KRTextStyle.h"

namespace {

Ref<NSBezierPath> pill(const NSRect& r)
{
    return NSBezierPath::bezierPathWithRoundedRect(r, r.size.height / 2, r.size.height / 2);
}

NSSize imageSize() { return KRSharedImageProvider::supportingImageWithName("KRSnapback"_ns)->size(); }

void drawImage(const char* name, NSPoint at, CGFloat fraction)
{
    KRSharedImageProvider::supportingImageWithName(NSString::stringWithUTF8String(name))
        ->drawAtPoint(at, NSZeroRect, NSCompositeSourceOver, fraction);
}

}

NSRect KRRecorderCell::removeButtonRectForFrame(const NSRect& f) const
{
    if (isEmpty() || !isEnabled()) return NSZeroRect;
    const NSSize s = imageSize();
    return NSMakeRect(f.origin.x + f.size.width - s.width - 4, f.origin.y + (f.size.height - s.height) * 0.5, s.width,
                      s.height);
}

NSRect KRRecorderCell::snapbackRectForFrame(const NSRect& f) const
{
    const NSSize s = imageSize();
    return NSMakeRect(f.origin.x + f.size.width - s.width - 2, f.origin.y + (f.size.height - s.height) * 0.5 + 1,
                      s.width, s.height);
}

Ref<NSString> KRRecorderCell::recordingText() const
{
    if (validModifierFlags(m_recordingFlags)) {
        const Ref<NSString> glyphs = KRGlyphsForCocoaModifiers(m_recordingFlags);
        return glyphs->length() > 0 ? glyphs : KRLocalizedString("Type shortcut");
    }
    return KRLocalizedString(m_mouseInsideTrackingArea ? "Use old shortcut" : "Type shortcut");
}

Ref<NSString> KRRecorderCell::idleText() const
{
    const Ref<NSString> combo = keyComboString();
    return combo ? combo : KRLocalizedString("Click to record shortcut");
}

Ref<NSDictionary> KRRecorderCell::textAttributes(bool recording, CGFloat alpha) const
{
    const Id style = KRCenteredTruncatingParagraphStyle();
    const bool grey = recording || isEmpty();
    const Ref<NSFont> font = NSFont::systemFontOfSize(grey ? NSFont::labelFontSize() : NSFont::smallSystemFontSize());
    Ref<NSColor> color = grey ? NSColor::disabledControlTextColor() : NSColor::blackColor();
    if (alpha < 1) color = color->colorWithAlphaComponent(color->alphaComponent() * alpha);
    return NSDictionary::dictionaryWithObjectsAndKeys(
        {font, NSFontAttributeName, color, NSForegroundColorAttributeName, style, NSParagraphStyleAttributeName});
}

NSRect KRRecorderCell::textRect(const NSRect& f, const Ref<NSString>& text, const Ref<NSDictionary>& attributes) const
{
    CGFloat gap = 6;
    if (m_isRecording) gap = snapbackRectForFrame(f).size.width + 6;
    else if (!isEmpty()) gap = removeButtonRectForFrame(f).size.width + 6;
    const CGFloat t = NSStringExt::sizeWithAttributes(text, attributes).height;
    // Centred in the frame wherever it lies (the animated face moves it).
    return NSMakeRect(f.origin.x + 6, f.origin.y + (t - f.size.height) / 2, f.size.width - 6 - gap, f.size.height);
}

void KRRecorderCell::drawWithFrame(const NSRect& cellFrame, const Ref<NSView>&)
{
    if (m_style == 1) drawStyleAnimated(cellFrame);
    else drawStyleRegular(cellFrame);
}

void KRRecorderCell::drawStyleRegular(const NSRect& f)
{
    NSRect inner = f;
    if (m_isRecording) {
        NSGraphicsContext::saveGraphicsState();
        pill(f)->addClip();
        m_recordingGradient->drawInRect(f, 90);
        if (m_mouseInsideTrackingArea) {
            NSColor::colorWithCalibratedWhite(0, m_mouseDown ? 0.4 : 0.2)->setFill();
            pill(f)->fill();
        }
        drawImage("KRSnapback", snapbackRectForFrame(f).origin, 1);
        NSGraphicsContext::restoreGraphicsState();
        inner = NSMakeRect(f.origin.x + 2, f.origin.y + 2, f.size.width - 19, f.size.height - 4);
    }

    NSGraphicsContext::saveGraphicsState();
    pill(inner)->addClip();
    NSColor::whiteColor()->setFill();
    NSBezierPath::bezierPathWithRect(inner)->fill();
    NSGraphicsContext::restoreGraphicsState();
    if (!m_isRecording) {
        NSColor::windowFrameColor()->setStroke();
        pill(f)->stroke();
        if (!isEmpty() && isEnabled()) {
            const char* name = "KRRemoveShortcut";
            if (m_mouseInsideTrackingArea && m_mouseDown) name = "KRRemoveShortcutPressed";
            else if (m_mouseInsideTrackingArea || m_mouseDown) name = "KRRemoveShortcutRollover";
            drawImage(name, removeButtonRectForFrame(f).origin, 1);
        }
    }

    const Ref<NSString> text = m_isRecording ? recordingText() : idleText();
    const Ref<NSDictionary> attributes = textAttributes(m_isRecording);
    NSStringExt::drawInRect(text, textRect(f, text, attributes), attributes);

    if (showsFirstResponder()) {
        NSGraphicsContext::saveGraphicsState();
        NSSetFocusRingStyle(NSFocusRingOnly);
        pill(f)->fill();
        NSGraphicsContext::restoreGraphicsState();
    }
}

void KRRecorderCell::drawStyleAnimated(const NSRect& cellFrame)
{
    const NSRect f = NSInsetRect(cellFrame, 0.5, 0.5);
    const CGFloat h = f.size.height;
    const double e = KRTransitionEase(m_transitionProgress);
    CGFloat normalAlpha = 1, recordingAlpha = 1;
    if (m_isAnimatingNow) {
        normalAlpha = m_isAnimatingTowardsRecording ? 1 - e : e;
        recordingAlpha = m_isAnimatingTowardsRecording ? e : 1 - e;
    }
    if (m_comboJustChanged) {
        normalAlpha = 1;
        recordingAlpha = 0;
    }
    const bool showRecording = m_isRecording || (m_isAnimatingNow && m_isAnimatingTowardsRecording);
    CGFloat shift = 0;
    if (showRecording) shift = !m_isAnimatingNow ? h : (m_isAnimatingTowardsRecording ? h * e : h * (1 - e));

    NSGraphicsContext::saveGraphicsState();
    NSColor::whiteColor()->setFill();
    pill(f)->fill();
    NSColor::windowFrameColor()->setStroke();
    pill(f)->stroke();
    pill(f)->addClip();

    auto moved = [&](NSRect r, CGFloat dy) {
        r.origin.y += dy;
        return r;
    };
    if (showRecording) {
        // The recording face lies one height below the frame; the shift
        // brings it in and pushes the normal face out.
        const NSRect snap = moved(snapbackRectForFrame(f), -h + shift);
        const NSRect box = NSMakeRect(snap.origin.x - 1.5, snap.origin.y - 5, snap.size.width * 1.3, h);
        auto border = NSBezierPath::bezierPathWithRect(box);
        NSColor::windowFrameColor()->shadowWithLevel(0.2)->colorWithAlphaComponent(recordingAlpha)->setStroke();
        border->stroke();
        const CGFloat from = m_mouseDown && m_mouseInsideTrackingArea ? 0.6 : 0.75;
        auto fill = NSGradient::initWithStartingColor(NSColor::colorWithCalibratedWhite(from, recordingAlpha),
                                                      NSColor::colorWithCalibratedWhite(from + 0.15, recordingAlpha));
        fill->drawInRect(NSInsetRect(box, -border->lineWidth() / 2, -border->lineWidth() / 2), 90);
        drawImage("KRSnapback", NSMakePoint(snap.origin.x - 0.5, snap.origin.y), recordingAlpha);
        const Ref<NSString> text = recordingText();
        const Ref<NSDictionary> attributes = textAttributes(true, recordingAlpha);
        NSStringExt::drawInRect(text, textRect(moved(f, -h + shift + 3), text, attributes), attributes);
    }
    if (!isEmpty() && isEnabled())
        drawImage("KRRemoveShortcut", moved(removeButtonRectForFrame(f), shift).origin, normalAlpha);
    const bool wasRecording = m_isRecording;
    m_isRecording = false;  // the normal face's text and geometry
    const Ref<NSString> text = idleText();
    const Ref<NSDictionary> attributes = textAttributes(false, normalAlpha);
    const NSRect r = textRect(moved(f, 3 + (m_comboJustChanged ? 0 : shift)), text, attributes);
    m_isRecording = wasRecording;
    NSStringExt::drawInRect(text, r, attributes);
    NSGraphicsContext::restoreGraphicsState();

    if (showsFirstResponder()) {
        NSGraphicsContext::saveGraphicsState();
        NSSetFocusRingStyle(NSFocusRingOnly);
        pill(f)->fill();
        NSGraphicsContext::restoreGraphicsState();
    }
}
