// Underlines and strikethroughs of text laid along a path: the runs, the
// descender breaks, and the line paths offset beside the text line.
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSShadow.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "AppKitExtensions/ZAKBezierLayoutManager.h"
#include "Foundation/NSGeometryStrings.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValue.h"

namespace NSBezierPathExt {

namespace {

// The padding of the container the descenders are measured in.
constexpr CGFloat kMeasuringPadding = 5;

Ref<NSString> cacheKey(const char* prefix, NSRange range, CGFloat offset)
{
    return NSString::stringWithFormat("%s_%@_%.2f", prefix, NSStringFromRange(range), offset);
}

NSInteger integerAt(const Ref<NSAttributedString>& text, const Ref<NSString>& name, NSUInteger index,
                    NSRange* effective = nullptr)
{
    auto value = dynamic_ref_cast<NSNumber>(text->attributeAtIndex(name, index, effective));
    return value ? value->integerValue() : 0;
}

Ref<NSFont> fontAt(const Ref<NSAttributedString>& text, NSUInteger index)
{
    auto font = dynamic_ref_cast<NSFont>(text->attributeAtIndex(NSFontAttributeName, index, nullptr));
    return font ? font : NSFont::fontWithName("Helvetica"_ns, 12);
}

// The runs of an attribute whose value is above 0.
template <class Draw> void forEachRun(const Ref<NSTextStorage>& storage, const Ref<NSString>& name, Draw draw)
{
    for (NSUInteger i = 0; i < storage->length();) {
        NSRange run{i, 1};
        NSInteger value = integerAt(storage, name, i, &run);
        if (value > 0) draw(run);
        i = std::max(NSMaxRange(run), i + 1);
    }
}

// A line that lies beside the flattened path at a distance: offset moves it
// to the right of the direction of travel, a negative one to the left. Open
// lines stay open (a polygon offset would close them or drop them).
Ref<NSBezierPath> parallelLine(const Ref<NSBezierPath>& piece, CGFloat offset)
{
    CGFloat savedFlatness = NSBezierPath::defaultFlatness();
    NSBezierPath::setDefaultFlatness(0.1);
    auto flat = piece->bezierPathByFlatteningPathWithTolerance(0.1);
    NSBezierPath::setDefaultFlatness(savedFlatness);
    auto result = NSBezierPath::bezierPath();
    std::vector<NSPoint> points;
    auto flush = [&] {
        for (size_t i = 0; i < points.size(); ++i) {
            // The mean of the neighbouring segments' normals.
            NSPoint before = points[i > 0 ? i - 1 : i], after = points[i + 1 < points.size() ? i + 1 : i];
            double dx = after.x - before.x, dy = after.y - before.y, length = std::hypot(dx, dy);
            NSPoint shifted = points[i];
            if (length > 0)
                shifted = NSMakePoint(points[i].x + dy / length * offset, points[i].y - dx / length * offset);
            if (i == 0) result->moveToPoint(shifted);
            else result->lineToPoint(shifted);
        }
        points.clear();
    };
    for (NSInteger i = 0; i < flat->elementCount(); ++i) {
        NSPoint p[3] = {};
        NSBezierPathElement type = flat->elementAtIndex(i, p);
        if (type == NSMoveToBezierPathElement) flush();
        if (type == NSClosePathBezierPathElement) continue;
        if (points.empty() || !NSEqualPoints(points.back(), p[0])) points.push_back(p[0]);
    }
    flush();
    return result;
}

void strokeLine(const Ref<NSBezierPath>& line, const Ref<NSTextStorage>& storage, NSUInteger index,
                const Ref<NSString>& colourName)
{
    if (!line || !NSGraphicsContext::currentContext()) return;
    auto colour = dynamic_ref_cast<NSColor>(storage->attributeAtIndex(colourName, index, nullptr));
    if (!colour)
        colour = dynamic_ref_cast<NSColor>(storage->attributeAtIndex(NSForegroundColorAttributeName, index, nullptr));
    if (!colour) colour = NSColor::blackColor();
    NSGraphicsContext::saveGraphicsState();
    if (auto shadow = dynamic_ref_cast<NSShadow>(storage->attributeAtIndex(NSShadowAttributeName, index, nullptr)))
        shadow->set();
    colour->setStroke();
    line->stroke();
    NSGraphicsContext::restoreGraphicsState();
}

}

void drawUnderlinePathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                       CGFloat yOffset, const Ref<NSMutableDictionary>& cache)
{
    auto storage = layoutManager ? layoutManager->textStorage() : nullptr;
    if (!storage || storage->length() == 0) return;
    forEachRun(storage, NSUnderlineStyleAttributeName,
               [&](NSRange run) { drawUnderlinePathForLayoutManager(path, layoutManager, run, yOffset, cache); });
}

void drawStrikethroughPathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                           CGFloat yOffset, const Ref<NSMutableDictionary>& cache)
{
    auto storage = layoutManager ? layoutManager->textStorage() : nullptr;
    if (!storage || storage->length() == 0) return;
    forEachRun(storage, NSStrikethroughStyleAttributeName,
               [&](NSRange run) { drawStrikethroughPathForLayoutManager(path, layoutManager, run, yOffset, cache); });
}

void drawUnderlinePathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                       NSRange range, CGFloat yOffset, const Ref<NSMutableDictionary>& cache)
{
    auto storage = layoutManager ? layoutManager->textStorage() : nullptr;
    if (!storage || range.length == 0 || NSMaxRange(range) > storage->length()) return;
    auto key = cacheKey("HSKUnderlinePath", range, yOffset);
    auto line = cache ? dynamic_ref_cast<NSBezierPath>(cache->objectForKey(key)) : nullptr;
    if (!line) {
        auto font = fontAt(storage, 0);
        NSInteger mask = integerAt(storage, NSUnderlineStyleAttributeName, range.location);
        CGFloat thickness = font->underlineThickness();
        // The underline's distance below the baseline, from a layout without
        // superscripts, in a container like the given one (a container
        // serves one layout manager here).
        auto given = layoutManager->textContainers().empty() ? nullptr : layoutManager->textContainers().back();
        auto scratch = NSObject::make<NSLayoutManager>();
        auto container = NSTextContainer::initWithContainerSize(given ? given->containerSize() : NSMakeSize(1e6, 1e6));
        if (given) container->setLineFragmentPadding(given->lineFragmentPadding());
        scratch->addTextContainer(container);
        auto copy = NSTextStorage::initWithAttributedString(storage);
        copy->removeAttribute(NSSuperscriptAttributeName, NSMakeRange(0, copy->length()));
        copy->addLayoutManager(scratch);
        CGFloat underlineOffset = -0.5 * scratch->baselineOffsetForGlyphAtIndex(range.location);
        if (thickness <= 0) thickness = NSFontExt::valueForInvalidUnderlineThickness(font);

        // Copy the run's text now: measuring lays it out through the shared
        // layout manager, which may be the given one.
        auto text = NSAttributedString::initWithAttributedString(storage);
        CGFloat first = layoutManager->locationForGlyphAtIndex(range.location).x;
        CGFloat last = layoutManager->locationForGlyphAtIndex(NSMaxRange(range) - 1).x;
        CGFloat start = 0, length = 0;
        pathPosition(path, &start, &length, text, range);

        auto breaksKey = cacheKey("HSKUnderlineBreaks", range, underlineOffset);
        auto breaks = cache ? dynamic_ref_cast<NSArray>(cache->objectForKey(breaksKey)) : nullptr;
        if (!breaks) {
            breaks = descenderBreaksForString(path, text, range, underlineOffset);
            if (breaks && cache) cache->setObject(breaks, breaksKey);
        }
        // 0.67 of the run's mean advance; a run of one character needs none.
        CGFloat threshold = range.length > 1 ? (last - first) * 0.67 / CGFloat(range.length - 1) : 0;
        line = textLinePathWithMask(path, mask, start, length, underlineOffset + yOffset, thickness, breaks, threshold);
        if (line && cache) cache->setObject(line, key);
    }
    strokeLine(line, storage, range.location, NSUnderlineColorAttributeName);
}

void drawStrikethroughPathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                           NSRange range, CGFloat yOffset, const Ref<NSMutableDictionary>& cache)
{
    auto storage = layoutManager ? layoutManager->textStorage() : nullptr;
    if (!storage || range.length == 0 || NSMaxRange(range) > storage->length()) return;
    auto key = cacheKey("HSKStrikethroughPath", range, yOffset);
    auto line = cache ? dynamic_ref_cast<NSBezierPath>(cache->objectForKey(key)) : nullptr;
    if (!line) {
        auto font = fontAt(storage, 0);
        NSInteger mask = integerAt(storage, NSStrikethroughStyleAttributeName, range.location);
        auto container = layoutManager->textContainers().empty() ? nullptr : layoutManager->textContainers().back();
        NSUInteger g = range.location;
        NSRect box = layoutManager->boundingRectForGlyphRange(NSMakeRange(g, 1), container);
        CGFloat offset = 0.5 * font->xHeight() +
                         (box.size.height - layoutManager->baselineOffsetForGlyphAtIndex(g) -
                          layoutManager->locationForGlyphAtIndex(g).y) +
                         yOffset;
        auto text = NSAttributedString::initWithAttributedString(storage);
        CGFloat start = 0, length = 0;
        pathPosition(path, &start, &length, text, range);
        line = textLinePathWithMask(path, mask, start, length, offset, font->underlineThickness(), nullptr, 0);
        if (line && cache) cache->setObject(line, key);
    }
    strokeLine(line, storage, range.location, NSStrikethroughColorAttributeName);
}

Ref<NSArray> descenderBreaksForString(const Ref<NSBezierPath>&, const Ref<NSAttributedString>& text, NSRange range,
                                      CGFloat underlineOffset)
{
    if (!text || range.length == 0 || NSMaxRange(range) > text->length()) return nullptr;
    auto storage = NSTextStorage::initWithAttributedString(text->attributedSubstringFromRange(range));
    auto left = NSObject::make<NSMutableParagraphStyle>();
    left->setAlignment(NSTextAlignmentLeft);
    storage->addAttribute(NSParagraphStyleAttributeName, left, NSMakeRange(0, storage->length()));
    auto layoutManager = NSObject::make<ZAKBezierLayoutManager>();
    // The platform's default padding, unlike the shared container.
    auto container = NSTextContainer::initWithContainerSize(NSMakeSize(1000000, 1000000));
    layoutManager->addTextContainer(container);
    storage->addLayoutManager(layoutManager);
    layoutManager->drawGlyphsForGlyphRange(layoutManager->glyphRangeForTextContainer(container), NSZeroPoint);
    // The outlines stand upright on baselines at their y-down positions, so
    // the underline's depth below the baseline is a smaller y.
    NSRect fragment = layoutManager->lineFragmentRectForGlyphAtIndex(0, nullptr);
    CGFloat baseline = fragment.size.height - layoutManager->baselineOffsetForGlyphAtIndex(0);
    return intersectingPointsWithHorizontalLineAtY(layoutManager->textPath(), baseline - std::fabs(underlineOffset));
}

Ref<NSBezierPath> textLinePathWithMask(const Ref<NSBezierPath>& path, NSInteger mask, CGFloat startPosition,
                                       CGFloat length, CGFloat offset, CGFloat lineThickness,
                                       const Ref<NSArray>& descenderBreaks, CGFloat grotThreshold)
{
    if (!path || (mask & 0xF) == 0) return nullptr;
    if (mask & NSUnderlineStyleThick) lineThickness *= 2;
    if (mask & 8) {
        lineThickness *= 0.75;
        offset += 0.5 * lineThickness;
    }
    // The stretches of the path the line covers, gaps left at descenders.
    std::vector<std::pair<CGFloat, CGFloat>> segments;
    NSUInteger breakCount = descenderBreaks ? descenderBreaks->count() : 0;
    if (breakCount > 0) {
        CGFloat gap = 0.3 * grotThreshold, segmentStart = startPosition;
        auto add = [&](CGFloat end) {
            CGFloat segmentLength = end - segmentStart;
            if (segments.empty() || segmentLength > grotThreshold) segments.push_back({segmentStart, segmentLength});
        };
        for (NSUInteger i = 0; i + 1 < breakCount; i += 2) {
            NSPoint a = static_ref_cast<NSValue>(descenderBreaks->objectAtIndex(i))->pointValue();
            NSPoint b = static_ref_cast<NSValue>(descenderBreaks->objectAtIndex(i + 1))->pointValue();
            add(a.x + startPosition - gap - kMeasuringPadding);
            segmentStart = b.x + startPosition + gap - kMeasuringPadding;
        }
        add(startPosition + length);
    } else {
        segments.push_back({startPosition, length});
    }
    auto line = NSBezierPath::bezierPath();
    line->setFlatness(0.1);
    for (auto [from, extent] : segments) {
        if (!(extent > 0)) continue;
        auto piece = bezierPathByTrimmingFromLengthToLength(path, from, extent);
        // Beside the text line: -offset along the right-hand normal.
        line->appendBezierPath(parallelLine(piece, -offset));
        if (mask & 8) line->appendBezierPath(parallelLine(piece, -offset + 2 * lineThickness));
    }
    line->setLineWidth(lineThickness);
    switch (mask & 0xF00) {
    case 0: break;
    case 0x200: {
        const CGFloat dash[] = {4, 2};
        line->setLineDash(dash, 2, 0);
        break;
    }
    case 0x300: {
        const CGFloat dashDot[] = {4, 2, 1, 2};
        line->setLineDash(dashDot, 4, 0);
        break;
    }
    case 0x400: {
        const CGFloat dashDotDot[] = {4, 2, 1, 2, 1, 2};
        line->setLineDash(dashDotDot, 6, 0);
        break;
    }
    default: {
        const CGFloat dots[] = {1, 1};
        line->setLineDash(dots, 2, 0);
        break;
    }
    }
    return line;
}

}
