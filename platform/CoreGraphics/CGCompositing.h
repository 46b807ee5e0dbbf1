#pragma once
// Compositing operations, numbered as the platform numbers them, and the one
// table of their premultiplied formulas (CGCompositing.cpp).
#include <cstdint>

#include "Foundation/NSTypes.h"

enum NSCompositingOperation : NSUInteger {
    NSCompositingOperationClear = 0,
    NSCompositingOperationCopy = 1,
    NSCompositingOperationSourceOver = 2,
    NSCompositingOperationSourceIn = 3,
    NSCompositingOperationSourceOut = 4,
    NSCompositingOperationSourceAtop = 5,
    NSCompositingOperationDestinationOver = 6,
    NSCompositingOperationDestinationIn = 7,
    NSCompositingOperationDestinationOut = 8,
    NSCompositingOperationDestinationAtop = 9,
    NSCompositingOperationXOR = 10,
    NSCompositingOperationPlusDarker = 11,
    NSCompositingOperationHighlight = 12,
    NSCompositingOperationPlusLighter = 13,
};
// The older names.
inline constexpr NSCompositingOperation NSCompositeClear = NSCompositingOperationClear;
inline constexpr NSCompositingOperation NSCompositeCopy = NSCompositingOperationCopy;
inline constexpr NSCompositingOperation NSCompositeSourceOver = NSCompositingOperationSourceOver;
inline constexpr NSCompositingOperation NSCompositeSourceIn = NSCompositingOperationSourceIn;
inline constexpr NSCompositingOperation NSCompositeSourceOut = NSCompositingOperationSourceOut;
inline constexpr NSCompositingOperation NSCompositeSourceAtop = NSCompositingOperationSourceAtop;
inline constexpr NSCompositingOperation NSCompositeDestinationOver = NSCompositingOperationDestinationOver;
inline constexpr NSCompositingOperation NSCompositeDestinationIn = NSCompositingOperationDestinationIn;
inline constexpr NSCompositingOperation NSCompositeDestinationOut = NSCompositingOperationDestinationOut;
inline constexpr NSCompositingOperation NSCompositeDestinationAtop = NSCompositingOperationDestinationAtop;
inline constexpr NSCompositingOperation NSCompositeXOR = NSCompositingOperationXOR;
inline constexpr NSCompositingOperation NSCompositePlusDarker = NSCompositingOperationPlusDarker;
inline constexpr NSCompositingOperation NSCompositeHighlight = NSCompositingOperationHighlight;
inline constexpr NSCompositingOperation NSCompositePlusLighter = NSCompositingOperationPlusLighter;

// Core Graphics blend modes for CGContextSetBlendMode; the Porter-Duff ones
// map onto the operations above.
enum CGBlendMode : int32_t {
    kCGBlendModeNormal = 0,
    kCGBlendModeClear = 16,
    kCGBlendModeCopy = 17,
    kCGBlendModeSourceIn = 18,
    kCGBlendModeSourceOut = 19,
    kCGBlendModeSourceAtop = 20,
    kCGBlendModeDestinationOver = 21,
    kCGBlendModeDestinationIn = 22,
    kCGBlendModeDestinationOut = 23,
    kCGBlendModeDestinationAtop = 24,
    kCGBlendModeXOR = 25,
    kCGBlendModePlusDarker = 26,
    kCGBlendModePlusLighter = 27,
};
NSCompositingOperation CGCompositingOperationForBlendMode(CGBlendMode mode);

// The operation's result for one premultiplied channel (colour or alpha),
// given the source and destination channel and alphas, all in [0, 1].
CGFloat CGCompositeChannel(NSCompositingOperation op, CGFloat s, CGFloat sa, CGFloat d, CGFloat da);
// Whether Cairo has an operator with the platform's (bounded) result, and
// which (a cairo_operator_t value); false means the layer composites itself.
bool CGCompositingCairoOperator(NSCompositingOperation op, int& cairoOperator);
