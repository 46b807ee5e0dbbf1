#pragma once
// Paths of move, line, curve and close elements with their stroke and fill
// attributes, drawn through the current graphics context.
#include <atomic>
#include <vector>

#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGPathElements.h"
#include "Foundation/NSObject.h"

class NSAffineTransform;
class NSFont;

enum NSBezierPathElement : NSUInteger {
    NSMoveToBezierPathElement = 0,
    NSLineToBezierPathElement = 1,
    NSCurveToBezierPathElement = 2,
    NSClosePathBezierPathElement = 3,
};
enum NSLineCapStyle : NSUInteger { NSButtLineCapStyle = 0, NSRoundLineCapStyle = 1, NSSquareLineCapStyle = 2 };
enum NSLineJoinStyle : NSUInteger { NSMiterLineJoinStyle = 0, NSRoundLineJoinStyle = 1, NSBevelLineJoinStyle = 2 };
enum NSWindingRule : NSUInteger { NSNonZeroWindingRule = 0, NSEvenOddWindingRule = 1 };

class NSBezierPath : public NSObject {
    NS_OBJECT(NSBezierPath, NSObject)
protected:
    NSBezierPath();

public:
    // New paths take the class defaults current at their creation.

    static Ref<NSBezierPath> bezierPath();
    static Ref<NSBezierPath> bezierPathWithRect(const NSRect& rect);
    static Ref<NSBezierPath> bezierPathWithOvalInRect(const NSRect& rect);
    // Radii are limited to half the width and height; zero gives a plain rectangle.
    static Ref<NSBezierPath> bezierPathWithRoundedRect(const NSRect& rect, CGFloat xRadius, CGFloat yRadius);

    // Drawing with a temporary path.
    static void fillRect(const NSRect& rect);
    static void strokeRect(const NSRect& rect);
    static void clipRect(const NSRect& rect);
    static void strokeLineFromPoint(NSPoint from, NSPoint to);

    // Class defaults, process-wide.
    static CGFloat defaultLineWidth();
    static void setDefaultLineWidth(CGFloat width);
    static CGFloat defaultFlatness();
    static void setDefaultFlatness(CGFloat flatness);
    static NSWindingRule defaultWindingRule();
    static void setDefaultWindingRule(NSWindingRule rule);
    static NSLineCapStyle defaultLineCapStyle();
    static void setDefaultLineCapStyle(NSLineCapStyle style);
    static NSLineJoinStyle defaultLineJoinStyle();
    static void setDefaultLineJoinStyle(NSLineJoinStyle style);
    static CGFloat defaultMiterLimit();
    static void setDefaultMiterLimit(CGFloat limit);

    // --- Construction ---
    void moveToPoint(NSPoint p);
    // These raise NSGenericException on a path with no current point.
    void lineToPoint(NSPoint p);
    void curveToPoint(NSPoint end, NSPoint control1, NSPoint control2);
    void relativeMoveToPoint(NSPoint delta);
    void relativeLineToPoint(NSPoint delta);
    void relativeCurveToPoint(NSPoint end, NSPoint control1, NSPoint control2);
    // The current point returns to the subpath's start.
    void closePath();
    void removeAllPoints() { m_path.elements.clear(); }
    void appendBezierPath(const Ref<NSBezierPath>& other);
    void appendBezierPathWithRect(const NSRect& rect);
    void appendBezierPathWithOvalInRect(const NSRect& rect);
    void appendBezierPathWithRoundedRect(const NSRect& rect, CGFloat xRadius, CGFloat yRadius);
    // Line-tos from the current point; on an empty path the first point is a move-to.
    void appendBezierPathWithPoints(const NSPoint* points, NSInteger count);
    // Angles in degrees, counterclockwise unless clockwise; joined to the
    // current point by a line (a move-to on an empty path).
    void appendBezierPathWithArcWithCenter(NSPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                                           bool clockwise = false);
    // PostScript arct: a line from the current point to the first tangent
    // point, then the arc; the current point ends at the second tangent point.
    void appendBezierPathWithArcFromPoint(NSPoint point1, NSPoint point2, CGFloat radius);
    // Glyph outlines (y up) starting at the current point, each following the
    // one before by its advance; the current point ends after the last
    // advance. Raises NSGenericException without a current point.
    void appendBezierPathWithGlyph(uint32_t glyph, const Ref<NSFont>& font);
    void appendBezierPathWithGlyphs(const uint32_t* glyphs, NSInteger count, const Ref<NSFont>& font);

    // --- Queries ---
    bool isEmpty() const { return m_path.empty(); }
    // Raises NSGenericException on an empty path.
    NSPoint currentPoint() const;
    // The exact bounds of the curves, not of their control points.
    NSRect bounds() const { return m_path.bounds(); }
    NSRect controlPointBounds() const { return m_path.controlPointBounds(); }
    bool containsPoint(NSPoint p) const;
    NSInteger elementCount() const { return static_cast<NSInteger>(m_path.size()); }
    NSBezierPathElement elementAtIndex(NSInteger index) const;
    // Writes the element's points (one, or three for a curve) into points;
    // a close-path writes nothing.
    NSBezierPathElement elementAtIndex(NSInteger index, NSPoint* points) const;
    void setAssociatedPoints(const NSPoint* points, NSInteger index);

    // --- Derived paths ---
    // Curves replaced by lines within the class's default flatness; close
    // elements are kept.
    Ref<NSBezierPath> bezierPathByFlatteningPath() const;
    // The layer's own flattening, with an explicit tolerance.
    Ref<NSBezierPath> bezierPathByFlatteningPathWithTolerance(CGFloat tolerance) const;
    // Each subpath reversed in place; a closed subpath keeps its start point.
    Ref<NSBezierPath> bezierPathByReversingPath() const;
    void transformUsingAffineTransform(const Ref<NSAffineTransform>& transform);

    // --- Attributes ---
    CGFloat lineWidth() const { return m_style.lineWidth; }
    void setLineWidth(CGFloat width) { m_style.lineWidth = width; }
    NSLineCapStyle lineCapStyle() const { return static_cast<NSLineCapStyle>(m_style.cap); }
    void setLineCapStyle(NSLineCapStyle style) { m_style.cap = static_cast<CGLineCap>(style); }
    NSLineJoinStyle lineJoinStyle() const { return static_cast<NSLineJoinStyle>(m_style.join); }
    void setLineJoinStyle(NSLineJoinStyle style) { m_style.join = static_cast<CGLineJoin>(style); }
    CGFloat miterLimit() const { return m_style.miterLimit; }
    void setMiterLimit(CGFloat limit) { m_style.miterLimit = limit; }
    CGFloat flatness() const { return m_flatness; }
    void setFlatness(CGFloat flatness) { m_flatness = flatness; }
    NSWindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(NSWindingRule rule) { m_windingRule = rule; }
    void setLineDash(const CGFloat* pattern, NSInteger count, CGFloat phase);
    // Either output may be null; count receives the pattern's length.
    void getLineDash(CGFloat* pattern, NSInteger* count, CGFloat* phase) const;

    // --- Drawing through the current context ---
    void fill() const;
    void stroke() const;
    // Intersects the clip with the path.
    void addClip() const;
    // Replaces the clip with the path.
    void setClip() const;

    const CGPathElements& elements() const { return m_path; }
    const CGStrokeStyle& strokeStyle() const { return m_style; }
    Id copy() const override;
    Ref<NSString> description() const override;

private:
    void requireCurrentPoint(const char* method) const;
    CGPathFillRule fillRule() const
    {
        return m_windingRule == NSEvenOddWindingRule ? CGPathFillRule::EvenOdd : CGPathFillRule::NonZero;
    }
    CGPathElements m_path;
    CGStrokeStyle m_style;
    CGFloat m_flatness = 0.6;
    NSWindingRule m_windingRule = NSNonZeroWindingRule;
};
