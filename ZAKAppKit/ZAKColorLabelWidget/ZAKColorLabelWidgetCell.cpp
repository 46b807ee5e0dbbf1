#include "ZAKAppKit/ZAKColorLabelWidget/ZAKColorLabelWidgetCell.h"

#include "Foundation/NSClass.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSControlTint.h"
#include "AppKitExtensions/ZAKColorLabelColors.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(ZAKColorLabelWidgetCell)

namespace {

constexpr NSInteger kNoValue = -1;
constexpr NSInteger kLastLabel = 7;

// Shared by every cell; made again after a tint change. Main thread only.
struct ClassColors {
    Ref<NSColor> border;
    Ref<NSColor> fill;
};
ClassColors& classColors()
{
    static auto* colors = new ClassColors;  // kept until exit
    return *colors;
}

Ref<NSColor> calibrated(int r, int g, int b, CGFloat a)
{
    return NSColor::colorWithCalibratedRed(r / 255.0, g / 255.0, b / 255.0, a);
}

Ref<NSImage> bundleImage(const char* name)
{
    // Our artwork is kept as bitmaps; the bundle finds them by name.
    auto bundle = NSBundle::bundleForClass(ZAKColorLabelWidgetCell::staticClass());
    auto path = bundle ? bundle->pathForImageResource(NSString::stringWithUTF8String(name)) : nullptr;
    return path ? NSImage::initByReferencingFile(path) : nullptr;
}

NSInteger clampedLabel(NSInteger v) { return std::clamp(v, kNoValue, kLastLabel); }

}

void ZAKColorLabelWidgetCell::initialize()
{
    NSColorFollowControlTint();
    NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSControlTintDidChangeNotification), nullptr, nullptr,
        [](const Ref<NSNotification>&) { _setUpColors(); });
}

Id ZAKColorLabelWidgetCell::init()
{
    NSActionCell::initTextCell(""_ns);
    _setup();
    setIntegerValue(0);
    return this;
}

Ref<NSCell> ZAKColorLabelWidgetCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(""_ns);
    _setup();
    setStringValue(text);
    return this;
}

Ref<NSCell> ZAKColorLabelWidgetCell::initImageCell(const Id& image)
{
    NSActionCell::initImageCell(image);
    _setup();
    return this;
}

Id ZAKColorLabelWidgetCell::initWithCoder(NSCoder* coder)
{
    NSActionCell::initWithCoder(coder);
    m_colorLabelType = clampedLabel(coder->decodeInt32ForKey("_colorLabelType"_ns));
    _setup();
    return this;
}

void ZAKColorLabelWidgetCell::encodeWithCoder(NSCoder* coder) const
{
    NSActionCell::encodeWithCoder(coder);
    coder->encodeInt32(int32_t(m_colorLabelType), "_colorLabelType"_ns);
}

void ZAKColorLabelWidgetCell::_setup()
{
    m_crossImage = bundleImage("ColorLabelCross");
    m_highlightImage = bundleImage("ColorLabelHighlight");
    setShowsFirstResponder(true);
    sendActionOn(NSLeftMouseDownMask | NSLeftMouseDraggedMask);
    setRefusesFirstResponder(false);
    setContinuous(true);
}

void ZAKColorLabelWidgetCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const ZAKColorLabelWidgetCell*>(&other);
    if (!o) return;
    m_colorLabelType = o->m_colorLabelType;
    m_crossImage = o->m_crossImage;
    m_highlightImage = o->m_highlightImage;
}

NSInteger ZAKColorLabelWidgetCell::positionForPoint(NSPoint point)
{
    return NSInteger(std::trunc(point.x / kPositionWidth));
}

// --- Values ---

void ZAKColorLabelWidgetCell::setIntegerValue(NSInteger v)
{
    m_colorLabelType = clampedLabel(v);
    if (auto view = controlView()) view->setNeedsDisplay(true);
}

void ZAKColorLabelWidgetCell::setDoubleValue(double v)
{
    if (std::isnan(v)) return setIntegerValue(kNoValue);
    setIntegerValue(NSInteger(std::clamp(std::trunc(v), -2.0, double(kLastLabel + 1))));
}

Ref<NSString> ZAKColorLabelWidgetCell::stringValue() const
{
    return NSString::stringWithFormat("%ld", long(m_colorLabelType));
}

void ZAKColorLabelWidgetCell::setStringValue(const Ref<NSString>& value)
{
    setIntegerValue(value ? value->integerValue() : 0);
}

Id ZAKColorLabelWidgetCell::objectValue() const { return NSNumber::numberWithInteger(m_colorLabelType); }

void ZAKColorLabelWidgetCell::setObjectValue(const Id& value)
{
    Id given = value;
    if (auto array = dynamic_ref_cast<NSArray>(given)) {
        const NSUInteger count = array->count();
        if (count > 0) {
            Id first = array->objectAtIndex(0);
            bool same = true;
            for (NSUInteger i = 1; i < count && same; ++i)
                same = first && first->isEqual(array->objectAtIndex(i).get());
            if (same) given = first;
        }
    }
    if (auto number = dynamic_ref_cast<NSNumber>(given)) return setIntegerValue(number->integerValue());
    if (auto string = dynamic_ref_cast<NSString>(given)) return setIntegerValue(string->integerValue());
    setIntegerValue(kNoValue);
}

NSComparisonResult ZAKColorLabelWidgetCell::compare(const Id& other) const
{
    NSInteger theirs = 0;
    if (auto n = dynamic_ref_cast<NSNumber>(other)) theirs = n->integerValue();
    else if (auto c = dynamic_ref_cast<NSCell>(other)) theirs = c->integerValue();
    else if (auto s = dynamic_ref_cast<NSString>(other)) theirs = s->integerValue();
    if (m_colorLabelType < theirs) return NSOrderedAscending;
    return m_colorLabelType > theirs ? NSOrderedDescending : NSOrderedSame;
}

// --- Tracking ---

void ZAKColorLabelWidgetCell::pushToBinding(const Ref<NSView>& controlView) const
{
    if (!controlView) return;
    auto info = controlView->infoForBinding("value"_ns);
    if (!info) return;
    Id observed = info->objectForKey(NSObservedObjectKey);
    auto keyPath = dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey));
    if (!observed || !keyPath) return;
    observed->setValueForKeyPath(NSNumber::numberWithInteger(m_colorLabelType), keyPath);
}

void ZAKColorLabelWidgetCell::takeValueAndPush(NSPoint point, const Ref<NSView>& controlView)
{
    setIntegerValue(positionForPoint(point));
    pushToBinding(controlView);
}

bool ZAKColorLabelWidgetCell::startTrackingAt(NSPoint startPoint, const Ref<NSView>& controlView)
{
    const bool answer = NSActionCell::startTrackingAt(startPoint, controlView);
    takeValueAndPush(startPoint, controlView);
    return answer;
}

bool ZAKColorLabelWidgetCell::continueTracking(NSPoint lastPoint, NSPoint currentPoint, const Ref<NSView>& controlView)
{
    const bool answer = NSActionCell::continueTracking(lastPoint, currentPoint, controlView);
    takeValueAndPush(currentPoint, controlView);
    return answer;
}

void ZAKColorLabelWidgetCell::stopTracking(NSPoint lastPoint, NSPoint stopPoint, const Ref<NSView>& controlView,
                                           bool mouseIsUp)
{
    if (!NSEqualPoints(lastPoint, stopPoint)) takeValueAndPush(stopPoint, controlView);
    NSActionCell::stopTracking(lastPoint, stopPoint, controlView, mouseIsUp);
}

// --- Drawing ---

void ZAKColorLabelWidgetCell::drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>&)
{
    const bool enabled = isEnabled();
    if (m_colorLabelType != kNoValue && enabled && m_highlightImage)
        m_highlightImage->drawAtPoint(NSMakePoint(CGFloat(m_colorLabelType) * kPositionWidth, 0), NSZeroRect,
                                      NSCompositeSourceOver, 1);
    if (m_crossImage) m_crossImage->drawAtPoint(cellFrame.origin, NSZeroRect, NSCompositeSourceOver, enabled ? 1 : 0.4);
    for (int32_t type = 1; type <= kLastLabel; ++type) {
        auto path = NSBezierPath::bezierPath();
        path->appendBezierPathWithArcWithCenter(NSMakePoint(8 + kPositionWidth * type, 8), 4, 0, 360);
        path->closePath();
        if (auto colour = ZAKColorLabelColors::getLabelColorForLabelType(type)) {
            (enabled ? colour : colour->colorWithAlphaComponent(0.4))->setFill();
            path->fill();
        }
        (enabled ? NSColor::blackColor() : NSColor::grayColor())->setStroke();
        path->stroke();
    }
}

// --- Class colours ---

void ZAKColorLabelWidgetCell::_setUpColors()
{
    ZAKColorLabelColors::sharedHSKColorLabelColors();
    auto& colors = classColors();
    if (NSColorCurrentControlTint() == NSGraphiteControlTint) {
        colors.border = calibrated(155, 165, 172, 1);
        colors.fill = calibrated(188, 195, 201, 0.75);
    } else {
        colors.border = calibrated(96, 143, 192, 1);
        colors.fill = calibrated(111, 166, 223, 0.75);
    }
}

Ref<NSColor> ZAKColorLabelWidgetCell::_borderColor()
{
    staticClass();
    if (!classColors().border) _setUpColors();
    return classColors().border;
}

Ref<NSColor> ZAKColorLabelWidgetCell::_fillColor()
{
    staticClass();
    if (!classColors().fill) _setUpColors();
    return classColors().fill;
}
