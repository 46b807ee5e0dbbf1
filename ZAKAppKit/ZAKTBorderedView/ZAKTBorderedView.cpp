#include "ZAKAppKit/ZAKTBorderedView/ZAKTBorderedView.h"

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSCell.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyValueObserving.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValueTransformer.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

NS_CLASS_DEFINE(ZAKTBorderedView)

namespace {

const Ref<NSString> kThemeKey = "themeKey"_ns;
const Ref<NSString> kIsActive = "isActive"_ns;
// Tells the view's own observation of the bound key path from its superclass's.
int kIsActiveContext;

enum Side : NSUInteger { Left = 1, Right = 2, Top = 4, Bottom = 8 };

bool truth(const Id& value)
{
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return n->boolValue();
    if (auto s = dynamic_ref_cast<NSString>(value)) return s->boolValue();
    return false;
}

}

void ZAKTBorderedView::initialize() { exposeBinding<ZAKTBorderedView>(kIsActive); }

void ZAKTBorderedView::describeClass(NSClassMembers<ZAKTBorderedView>& m)
{
    m.action("_updateWindowState:", &ZAKTBorderedView::_updateWindowState);
    m.property("isActive", &ZAKTBorderedView::isActive, &ZAKTBorderedView::setActive);
    m.property("themeKey", &ZAKTBorderedView::themeKey, &ZAKTBorderedView::setThemeKey);
}

Ref<NSView> ZAKTBorderedView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_isActive = true;
    return this;
}

void ZAKTBorderedView::setThemeKey(const Ref<NSString>& key)
{
    m_themeKey = key ? static_ref_cast<NSString>(key->copy()) : nullptr;
}

// --- The isActive binding ---

void ZAKTBorderedView::bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
                            const Ref<NSDictionary>& options)
{
    if (!binding || !binding->isEqualToString(kIsActive)) {
        NSView::bind(binding, observable, keyPath, options);
        return setNeedsDisplay(true);
    }
    // Binding again replaces the earlier binding.
    if (m_isActiveBindingObservedObject) unbind(kIsActive);
    m_isActiveBindingObservedObject = observable;
    m_isActiveBindingKeyPath = keyPath ? static_ref_cast<NSString>(keyPath->copy()) : nullptr;
    m_isActiveBindingOptions = options ? static_ref_cast<NSDictionary>(options->copy()) : nullptr;
    if (observable && keyPath)
        observable->addObserver(Id(this), keyPath, NSKeyValueObservingOptionNew | NSKeyValueObservingOptionInitial,
                                &kIsActiveContext);
    setNeedsDisplay(true);
}

void ZAKTBorderedView::unbind(const Ref<NSString>& binding)
{
    if (!binding || !binding->isEqualToString(kIsActive)) {
        NSView::unbind(binding);
        return setNeedsDisplay(true);
    }
    if (m_isActiveBindingObservedObject && m_isActiveBindingKeyPath)
        m_isActiveBindingObservedObject->removeObserver(Id(this), m_isActiveBindingKeyPath, &kIsActiveContext);
    m_isActiveBindingObservedObject = nullptr;
    m_isActiveBindingKeyPath = nullptr;
    m_isActiveBindingOptions = nullptr;
    setNeedsDisplay(true);
}

Ref<NSDictionary> ZAKTBorderedView::infoForBinding(const Ref<NSString>& binding) const
{
    if (!binding || !binding->isEqualToString(kIsActive)) return NSView::infoForBinding(binding);
    if (!m_isActiveBindingObservedObject) return nullptr;
    auto info = NSMutableDictionary::dictionary();
    info->setObject(m_isActiveBindingObservedObject, NSObservedObjectKey);
    if (m_isActiveBindingKeyPath) info->setObject(m_isActiveBindingKeyPath, NSObservedKeyPathKey);
    info->setObject(m_isActiveBindingOptions ? m_isActiveBindingOptions : NSDictionary::dictionary(), NSOptionsKey);
    return info;
}

void ZAKTBorderedView::observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                                   const Ref<NSDictionary>& change, void* context)
{
    if (context != &kIsActiveContext || !keyPath || !m_isActiveBindingKeyPath ||
        !keyPath->isEqualToString(m_isActiveBindingKeyPath))
        return NSView::observeValueForKeyPathOfObjectChangeContext(keyPath, object, change, context);
    auto kind = change ? dynamic_ref_cast<NSNumber>(change->objectForKey(NSKeyValueChangeKindKey)) : nullptr;
    if (!kind || kind->unsignedIntegerValue() != NSKeyValueChangeSetting) return;
    Id value = m_isActiveBindingObservedObject ? m_isActiveBindingObservedObject->valueForKeyPath(keyPath) : nullptr;
    if (value.get() == NSNoSelectionMarker.get()) {
        m_isActive = false;
        return setNeedsDisplay(true);
    }
    // Anything but a number leaves the flag as it is.
    if (!dynamic_ref_cast<NSNumber>(value)) return;
    Ref<NSValueTransformer> transformer;
    if (m_isActiveBindingOptions) {
        if (auto name =
                dynamic_ref_cast<NSString>(m_isActiveBindingOptions->objectForKey(NSValueTransformerNameBindingOption)))
            transformer = NSValueTransformer::valueTransformerForName(name);
        if (!transformer)
            transformer = dynamic_ref_cast<NSValueTransformer>(
                m_isActiveBindingOptions->objectForKey(NSValueTransformerBindingOption));
    }
    if (transformer) value = transformer->transformedValue(value);
    m_isActive = truth(value);
    setNeedsDisplay(true);
}

// --- The window's main state ---

void ZAKTBorderedView::stopObservingWindows()
{
    if (!m_observesWindow) return;
    NSNotificationCenter::defaultCenter()->removeObserver(Id(this));
    m_observesWindow = false;
}

void ZAKTBorderedView::viewWillMoveToWindow(const Ref<NSWindow>&) { stopObservingWindows(); }

// Only a view in a window observes: without one, a nil object would match
// every window's notifications.
void ZAKTBorderedView::viewDidMoveToWindow()
{
    stopObservingWindows();
    auto w = window();
    if (!w) return;
    auto centre = NSNotificationCenter::defaultCenter();
    centre->addObserver(Id(this),
                        "_updateWindowState:", NSString::stringWithUTF8String(NSWindowDidBecomeMainNotification), w);
    centre->addObserver(Id(this),
                        "_updateWindowState:", NSString::stringWithUTF8String(NSWindowDidResignMainNotification), w);
    m_observesWindow = true;
}

void ZAKTBorderedView::_updateWindowState(const Id&) { setNeedsDisplay(true); }

// --- Dark controls ---

void ZAKTBorderedView::applyDarkBackgroundStyle()
{
    auto theme = ZAKThemedCellDrawing::themeForKey(m_themeKey);
    if (!theme || theme->backgroundStyle() != ZAKBackgroundStyleDark) return;
    auto controls = NSViewExt::descendantsKindOfClass(Ref<NSView>(this), &NSControl::staticClass());
    for (NSUInteger i = 0; i < controls->count(); ++i)
        if (auto control = dynamic_ref_cast<NSControl>(controls->objectAtIndex(i)))
            if (auto cell = control->cell()) cell->setBackgroundStyle(NSBackgroundStyleDark);
}

void ZAKTBorderedView::awakeFromNib() { applyDarkBackgroundStyle(); }

void ZAKTBorderedView::didAddSubview(const Ref<NSView>&) { applyDarkBackgroundStyle(); }

// --- Drawing ---

NSUInteger ZAKTBorderedView::stateMask() const
{
    auto w = window();
    const bool active = ((w && w->isMainWindow()) || !m_respectWindowState) && m_isActive;
    return active ? 0 : NSUInteger(ZAKThemeStateInactive);
}

void ZAKTBorderedView::drawRect(const NSRect& dirtyRect)
{
    auto theme = ZAKThemedCellDrawing::themeForKey(m_themeKey);
    if (!theme) return NSView::drawRect(dirtyRect);
    const NSRect b = bounds();
    const CGFloat x = b.origin.x, y = b.origin.y, w = b.size.width, h = b.size.height;
    const NSUInteger mask = stateMask();
    const bool active = mask == 0;

    Ref<NSGradient> gradient = active ? m_activeBackgroundGradient : m_inactiveBackgroundGradient;
    double angle = active ? m_activeBackgroundGradientAngle : m_inactiveBackgroundGradientAngle;
    Ref<NSGradient> maskGradient;
    if (gradient) {
        maskGradient =
            NSGradient::initWithStartingColor(NSColor::blackColor(), NSColor::blackColor()->colorWithAlphaComponent(0));
    } else {
        gradient = theme->gradientForStateMask(mask);
        angle = theme->gradientAngleForStateMask(mask);
    }
    auto fill = theme->fillColorForStateMask(mask);

    Ref<NSBezierPath> outline, border;
    auto roundedEnds = [&](bool top) {
        auto path = NSBezierPath::bezierPath();
        const CGFloat from = top ? y : y + h, to = top ? y + h : y;
        path->moveToPoint(NSMakePoint(x, from));
        path->appendBezierPathWithArcFromPoint(NSMakePoint(x, to), NSMakePoint(x + w / 2, to), 8);
        path->appendBezierPathWithArcFromPoint(NSMakePoint(x + w, to), NSMakePoint(x + w, from), 8);
        path->lineToPoint(NSMakePoint(x + w, from));
        return path;
    };
    switch (m_pathStyle) {
    case 1:
        outline = NSBezierPath::bezierPathWithRoundedRect(b, 4, 4);
        border = outline;
        break;
    case 2:
        outline = roundedEnds(true);
        if (m_borderSides & Top) border = roundedEnds(true);
        break;
    case 3:
        outline = roundedEnds(false);
        if (m_borderSides & Bottom) border = roundedEnds(false);
        break;
    default: break;
    }

    if (gradient) {
        NSGraphicsContext::saveGraphicsState();
        if (outline) outline->addClip();
        if (maskGradient) {
            // The mask only clips: the fade is the gradient's own alpha.
            auto fade = NSImage::initWithSize(NSMakeSize(w, h));
            fade->lockFocus();
            maskGradient->drawInRect(NSMakeRect(0, 0, w, h), 0);
            fade->unlockFocus();
            if (auto port = NSGraphicsContext::currentContext()->graphicsPort())
                if (auto pixels = fade->CGImageForDrawing()) port->clipToMask(b, pixels);
        }
        if (outline) gradient->drawInBezierPath(outline, angle);
        else gradient->drawInRect(b, angle);
        NSGraphicsContext::restoreGraphicsState();
    } else if (fill) {
        fill->set();
        // The clip stays for the borders drawn after the fill.
        if (outline) {
            outline->addClip();
            outline->fill();
        } else {
            NSBezierPath::fillRect(b);
        }
    }

    Ref<NSColor> colour;
    switch (m_borderStyle) {
    case 0: colour = theme->strokeColorForStateMask(mask); break;
    case 1: colour = theme->darkStrokeColorForStateMask(mask); break;
    case 2: colour = theme->gridColorForStateMask(mask); break;
    default: break;
    }
    if (!colour) return;
    colour->set();
    if (border) border->setLineWidth(0);
    struct Line {
        Side side;
        NSPoint from, to;
    } lines[] = {
        {Top, NSMakePoint(x, y + h - 0.5), NSMakePoint(x + w, y + h - 0.5)},
        {Bottom, NSMakePoint(x, y + 0.5), NSMakePoint(x + w, y + 0.5)},
        {Left, NSMakePoint(x, y + 0.5), NSMakePoint(x, y + h + 0.5)},
        {Right, NSMakePoint(x + w, y - 0.5), NSMakePoint(x + w, y + h - 0.5)},
    };
    for (const Line& line : lines) {
        if (!(m_borderSides & line.side)) continue;
        if (border) border->stroke();
        else NSBezierPath::strokeLineFromPoint(line.from, line.to);
    }
}

// --- Coding ---

void ZAKTBorderedView::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder);
    coder->encodeObject(m_themeKey, kThemeKey);
}

Id ZAKTBorderedView::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    // Only the key is archived; everything else starts at zero, so the view
    // is inactive until isActive is set or bound.
    m_isActive = false;
    m_themeKey = coder->containsValueForKey(kThemeKey) ? ZAKThemedCellDrawing::decodeString(coder, kThemeKey) : nullptr;
    return this;
}
