#pragma once
// Two-colour axial fills of a path through a Core Graphics function: bands
// across the path's height or width, mixed linearly or bilinearly (the
// first colour at both ends, the second in the middle).
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "CoreGraphics/CGShading.h"

namespace NSBezierPathExt {

// The shading function's information: both colours and their difference,
// in device RGB.
struct ZAKShadingInfo {
    CGFloat first[4];
    CGFloat second[4];
    CGFloat difference[4];
};

// first + t x difference.
void linearShadingEvaluate(void* info, const CGFloat* in, CGFloat* out);
// first + t' x difference, t' rising from 0 to 1 at the middle and back.
void bilinearShadingEvaluate(void* info, const CGFloat* in, CGFloat* out);

// Fills the path, clipped to it, along the axis from start to end, with the
// first colour at the start; colours without an RGB form draw nothing.
void customFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                             const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor, NSPoint startPoint,
                             NSPoint endPoint);
// Horizontal bands: the first colour at the bottom of the bounds.
void customHorizontalFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                                       const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor);
// Vertical bands: the first colour at the left of the bounds.
void customVerticalFillWithCallbacks(const Ref<NSBezierPath>& path, const CGFunctionCallbacks& callbacks,
                                     const Ref<NSColor>& firstColor, const Ref<NSColor>& secondColor);
void linearGradientFillWithStartColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& startColor,
                                      const Ref<NSColor>& endColor);
void linearVerticalGradientFillWithStartColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& startColor,
                                              const Ref<NSColor>& endColor);
// The inner colour at the bottom and top edges, the outer along the middle.
void bilinearGradientFillWithOuterColor(const Ref<NSBezierPath>& path, const Ref<NSColor>& outerColor,
                                        const Ref<NSColor>& innerColor);

}
