// Whole buttons of one bezel kind painted in the theme's colours. The cell's
// own drawing never calls them; subclasses do.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSMatrix.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

namespace Drawing = ZAKThemedCellDrawing;

namespace {

enum ControlSize : NSUInteger { Regular = 0, Small = 1, Mini = 2 };

// Two half circles of radius h / 2 joined by straight edges.
Ref<NSBezierPath> capsule(const NSRect& s)
{
    const CGFloat r = s.size.height / 2;
    auto path = NSBezierPath::bezierPath();
    path->appendBezierPathWithArcWithCenter(NSMakePoint(s.origin.x + r, s.origin.y + r + 0.5), r, 90, 270, false);
    path->appendBezierPathWithArcWithCenter(NSMakePoint(s.origin.x + s.size.width - r, s.origin.y + r + 0.5), r, 270,
                                            90, false);
    path->closePath();
    return path;
}

NSRect grown(const NSRect& r, CGFloat dx, CGFloat dy, CGFloat dw, CGFloat dh)
{
    return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width + dw, r.size.height + dh);
}

bool classIsNamed(const NSObject& object, const char* name)
{
    const NSClass& cls = object.realClass();
    return cls.name() == name || (cls.superclass() && cls.superclass()->name() == name);
}

void strokeEdge(const ZAKTheme& theme, const Ref<NSBezierPath>& path, NSUInteger mask)
{
    theme.strokeColorForStateMask(mask)->setStroke();
    path->setLineWidth(1);
    path->stroke();
}

}

NSUInteger ZAKTButtonCell::painterFillMask() const
{
    if (!isEnabled()) return ZAKThemeStateDisabled;
    const NSUInteger grayAndBackground = NSChangeGrayCellMask | NSChangeBackgroundCellMask;
    if (showsStateBy() == grayAndBackground &&
        (highlightsBy() == grayAndBackground || highlightsBy() == (grayAndBackground | NSPushInCellMask)))
        return state() == NSOnState ? ZAKThemeStateHighlighted : 0;
    return isHighlighted() ? ZAKThemeStateOn : 0;
}

void ZAKTButtonCell::outlinePath(const ZAKTheme& theme, const Ref<NSBezierPath>& path, NSUInteger mask,
                                 bool shadowWhenEnabled) const
{
    NSGraphicsContext::saveGraphicsState();
    if (isEnabled() && (shadowWhenEnabled || theme.applyShadows()))
        if (auto shadow = theme.dropShadow()) shadow->set();
    theme.darkStrokeColorForStateMask(mask)->setStroke();
    path->setLineWidth(1);
    path->stroke();
    NSGraphicsContext::restoreGraphicsState();
}

void ZAKTButtonCell::paintTitleAndImage(const NSRect& titleRect, const NSRect& imageRect)
{
    if (imagePosition() != NSImageOnly) drawTitle(attributedTitle(), titleRect, controlView());
    if (imagePosition() != NSNoImage) drawImage(image(), imageRect, controlView());
}

void ZAKTButtonCell::drawTexturedRoundedButtonInFrame(const NSRect& f)
{
    auto theme = this->theme();
    if (!theme) return;
    NSRect s = NSMakeRect(f.origin.x + 1.5, f.origin.y + 0.5, f.size.width - 3, f.size.height - 4);
    if (controlSize() == Regular) s.origin.y = f.origin.y + 1.5;
    auto path = NSBezierPath::bezierPathWithRoundedRect(s, 4, 4);
    const NSUInteger mask = Drawing::stateMask(*this);
    outlinePath(*theme, path, mask, false);
    if (auto gradient = theme->gradientForStateMask(painterFillMask())) gradient->drawInBezierPath(path, 90);
    strokeEdge(*theme, path, mask);
    paintTitleAndImage(s, s);
}

void ZAKTButtonCell::drawRoundRectButtonInFrame(const NSRect& f)
{
    auto theme = this->theme();
    if (!theme) return;
    NSRect s = NSMakeRect(f.origin.x + 1.5, f.origin.y, f.size.width - 3, f.size.height);
    if (controlSize() == Regular || controlSize() == Small) s.size.height = f.size.height - 3;
    else if (controlSize() == Mini) {
        s.origin.y = f.origin.y + 1;
        s.size.height = f.size.height - 5;
    }
    auto path = capsule(s);
    const NSUInteger mask = Drawing::stateMask(*this);
    outlinePath(*theme, path, mask, false);
    if (auto gradient = theme->gradientForStateMask(painterFillMask())) gradient->drawInBezierPath(path, 90);
    strokeEdge(*theme, path, mask);
    paintTitleAndImage(NSOffsetRect(s, 0, 1), s);
}

void ZAKTButtonCell::drawSmallSquareButtonInFrame(const NSRect& f)
{
    auto theme = this->theme();
    if (!theme) return;
    // The height comes from the control view, not from the frame.
    const CGFloat viewHeight = controlView() ? controlView()->bounds().size.height : 0;
    const NSRect s = NSMakeRect(f.origin.x + 1.5, f.origin.y + 0.5, f.size.width - 3, viewHeight - 3);
    auto path = NSBezierPath::bezierPathWithRect(s);
    const NSUInteger mask = Drawing::stateMask(*this);
    outlinePath(*theme, path, mask, true);
    if (auto gradient = theme->complexGradientForStateMask(painterFillMask())) gradient->drawInBezierPath(path, 90);
    strokeEdge(*theme, path, mask);
    paintTitleAndImage(s, s);
}

void ZAKTButtonCell::drawRoundedButtonInFrame(const NSRect& f)
{
    auto theme = this->theme();
    if (!theme) return;
    const NSRect base = NSMakeRect(f.origin.x + 0.5, f.origin.y + 0.5, f.size.width - 1, f.size.height - 1);
    NSRect s = base;
    if (controlSize() == Regular) s = grown(base, 4, 4, -8, -12);
    else if (controlSize() == Small) s = grown(base, 4, 4, -8, -11);
    else if (controlSize() == Mini) s = NSOffsetRect(base, 0, -1);
    auto path = capsule(s);
    if (isEnabled()) {
        theme->fillColorForStateMask(painterFillMask())->setFill();
        path->fill();
    }
    paintTitleAndImage(controlSize() == Regular ? s : NSOffsetRect(s, 0, 1), s);
}

void ZAKTButtonCell::drawRecessedButtonInFrame(const NSRect& f)
{
    auto theme = this->theme();
    if (!theme) return;
    const NSRect base = NSMakeRect(f.origin.x + 0.5, f.origin.y + 0.5, f.size.width - 1, f.size.height - 1);
    NSRect s = base;
    if (controlSize() == Regular) s = grown(base, 1, 1, -2, -4);
    else if (controlSize() == Small) s = grown(base, 1, 1, -2, -3);
    else if (controlSize() == Mini) s = NSOffsetRect(base, 0, -1);
    auto path = capsule(s);
    if (isEnabled()) {
        NSUInteger fill = m_isMouseIn ? ZAKThemeStateHighlighted : 0;
        if (state() == NSOnState) {
            fill = ZAKThemeStateOn;
            m_isMouseIn = false;
        }
        theme->fillColorForStateMask(fill)->setFill();
        path->fill();
    }
    paintTitleAndImage(controlSize() == Regular ? s : NSOffsetRect(s, 0, 1), s);
}

void ZAKTButtonCell::drawCheckInFrame(const NSRect& f, bool isRadio)
{
    auto theme = this->theme();
    if (!theme) return;
    const NSUInteger size = controlSize();
    CGFloat y = f.origin.y + 0.5;
    if (auto view = controlView()) {
        const CGFloat height = view->bounds().size.height;
        if (view->realClass().name() == "NSMatrix") {
            auto matrix = dynamic_ref_cast<NSMatrix>(view);
            // A matrix without rows counts as one row.
            const NSInteger rows = matrix && matrix->numberOfRows() > 0 ? matrix->numberOfRows() : 1;
            y += (height / 2) / CGFloat(rows) - f.size.height / 2;
        } else if (!classIsNamed(*view, "ZAKHUDTableView") && !classIsNamed(*view, "ZAKHUDOutlineView")) {
            y += height / 2 - f.size.height / 2;
        }
    }
    NSRect k = NSMakeRect(f.origin.x + 0.5, y, f.size.width, f.size.height);
    NSRect t = k;
    if (size == Regular) k = NSMakeRect(k.origin.x, k.origin.y + 2, 13, 12);
    else if (size == Small) k = NSMakeRect(k.origin.x, k.origin.y + 3, 11, 10);
    else k = NSMakeRect(k.origin.x, k.origin.y + 5, 9, 8);
    if (isRadio) k.size.width = k.size.height = size == Regular ? 13 : size == Small ? 11 : 9;

    const CGFloat w = f.size.width;
    switch (imagePosition()) {
    case NSImageOnly:
        k.origin.x += size == Regular ? -0.5 : size == Small ? 0 : 0.5;
        k.origin.x += (w - k.size.width) / 2;
        break;
    case NSImageRight:
        k.origin.x = w - k.size.width - 1.5;
        t.origin.x += 2;
        t.size.width = k.origin.x - t.origin.x - 5;
        if (size == Regular) t.origin.y -= 2;
        else if (size == Small) t.origin.y -= 1;
        break;
    case NSImageLeft: {
        const CGFloat shift = size == Regular ? 2 : size == Small ? 3 : 4;
        const CGFloat gap = size == Regular ? 5 : size == Small ? 6 : 4;
        k.origin.x += shift;
        t.origin.x = k.origin.x + k.size.width + gap;
        t.size.width -= k.origin.x + k.size.width + gap;
        if (size == Regular) t.origin.y -= 2;
        else if (size == Small) t.origin.y -= 1;
        break;
    }
    default: break;
    }

    auto path = isRadio ? NSBezierPath::bezierPathWithOvalInRect(k) : NSBezierPath::bezierPathWithRoundedRect(k, 2, 2);
    const NSUInteger mask = Drawing::stateMask(*this);
    outlinePath(*theme, path, mask, false);
    const NSUInteger fill = !isEnabled() ? ZAKThemeStateDisabled : isHighlighted() ? ZAKThemeStateHighlighted : 0;
    if (auto gradient = theme->gradientForStateMask(fill)) gradient->drawInBezierPath(path, 90);
    strokeEdge(*theme, path, mask);

    const CGFloat midX = k.origin.x + k.size.width / 2, midY = k.origin.y + k.size.height / 2;
    if (state() == NSOnState) {
        if (isRadio) {
            const CGFloat inset = size == Regular ? 4 : size == Small ? 3.5 : 3;
            theme->strokeColorForStateMask(mask)->setFill();
            NSBezierPath::bezierPathWithOvalInRect(NSInsetRect(k, inset, inset))->fill();
        } else {
            auto mark = NSBezierPath::bezierPath();
            mark->moveToPoint(NSMakePoint(k.origin.x + 3, midY - 2));
            mark->lineToPoint(NSMakePoint(midX, midY + 2));
            mark->lineToPoint(NSMakePoint(midX, midY + 2));
            mark->lineToPoint(NSMakePoint(k.origin.x + k.size.width - 1, k.origin.y - 2));
            mark->setLineWidth(size == Mini ? 1.5 : 2);
            theme->strokeColorForStateMask(mask)->setStroke();
            mark->stroke();
        }
    } else if (state() == NSMixedState) {
        auto bar = NSBezierPath::bezierPath();
        bar->moveToPoint(NSMakePoint(k.origin.x + 3, midY));
        bar->lineToPoint(NSMakePoint(k.origin.x + k.size.width - 3, midY));
        bar->setLineWidth(2);
        theme->strokeColorForStateMask(mask)->setStroke();
        bar->stroke();
    }
    if (imagePosition() != NSImageOnly && attributedTitle()->length() > 0)
        drawTitle(attributedTitle(), t, controlView());
}
