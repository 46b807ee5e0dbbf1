#include "CoreGraphics/CGCompositing.h"

#include <cairo.h>

#include <algorithm>

NSCompositingOperation CGCompositingOperationForBlendMode(CGBlendMode mode)
{
    if (mode >= kCGBlendModeClear && mode <= kCGBlendModeDestinationAtop)
        return static_cast<NSCompositingOperation>(mode - kCGBlendModeClear);
    switch (mode) {
    case kCGBlendModeXOR: return NSCompositingOperationXOR;
    case kCGBlendModePlusDarker: return NSCompositingOperationPlusDarker;
    case kCGBlendModePlusLighter: return NSCompositingOperationPlusLighter;
    default: return NSCompositingOperationSourceOver;
    }
}

namespace {
struct Operation {
    int cairo;  // -1: composited by the layer
    // Premultiplied channel result; s, d are a colour channel or the alpha.
    CGFloat (*formula)(CGFloat s, CGFloat sa, CGFloat d, CGFloat da);
};

// The formulas, per premultiplied channel (alpha uses the same with s = sa,
// d = da). Inside the drawn shape the result replaces the destination;
// outside it the destination stays as it was, for every operation.
// Cairo's IN, OUT, DEST_IN and DEST_ATOP clear outside the shape, so those
// four are composited by the layer, as is plus-darker, which Cairo lacks.
const Operation kOperations[] = {
    /* 0 clear            R = 0                    */ {CAIRO_OPERATOR_CLEAR,
                                                       [](CGFloat, CGFloat, CGFloat, CGFloat) { return 0.0; }},
    /* 1 copy             R = S                    */
    {CAIRO_OPERATOR_SOURCE, [](CGFloat s, CGFloat, CGFloat, CGFloat) { return s; }},
    /* 2 source over      R = S + D(1 - Sa)        */
    {CAIRO_OPERATOR_OVER, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat) { return s + d * (1 - sa); }},
    /* 3 source in        R = S Da                 */
    {-1, [](CGFloat s, CGFloat, CGFloat, CGFloat da) { return s * da; }},
    /* 4 source out       R = S (1 - Da)           */
    {-1, [](CGFloat s, CGFloat, CGFloat, CGFloat da) { return s * (1 - da); }},
    /* 5 source atop      R = S Da + D (1 - Sa)    */
    {CAIRO_OPERATOR_ATOP, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * da + d * (1 - sa); }},
    /* 6 dest over        R = S (1 - Da) + D       */
    {CAIRO_OPERATOR_DEST_OVER, [](CGFloat s, CGFloat, CGFloat d, CGFloat da) { return s * (1 - da) + d; }},
    /* 7 dest in          R = D Sa                 */
    {-1, [](CGFloat, CGFloat sa, CGFloat d, CGFloat) { return d * sa; }},
    /* 8 dest out         R = D (1 - Sa)           */
    {CAIRO_OPERATOR_DEST_OUT, [](CGFloat, CGFloat sa, CGFloat d, CGFloat) { return d * (1 - sa); }},
    /* 9 dest atop        R = S (1 - Da) + D Sa    */
    {-1, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * (1 - da) + d * sa; }},
    /* 10 xor             R = S (1 - Da) + D (1 - Sa) */
    {CAIRO_OPERATOR_XOR, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat da) { return s * (1 - da) + d * (1 - sa); }},
    /* 11 plus darker     R = max(0, S + D - 1)    */
    {-1, [](CGFloat s, CGFloat, CGFloat d, CGFloat) { return std::max(0.0, s + d - 1); }},
    /* 12 highlight       R = S + D(1 - Sa)        */
    {CAIRO_OPERATOR_OVER, [](CGFloat s, CGFloat sa, CGFloat d, CGFloat) { return s + d * (1 - sa); }},
    /* 13 plus lighter    R = min(1, S + D)        */
    {CAIRO_OPERATOR_ADD, [](CGFloat s, CGFloat, CGFloat d, CGFloat) { return std::min(1.0, s + d); }},
};

const Operation& operation(NSCompositingOperation op)
{
    return kOperations[op <= NSCompositingOperationPlusLighter ? op : NSCompositingOperationSourceOver];
}
}

CGFloat CGCompositeChannel(NSCompositingOperation op, CGFloat s, CGFloat sa, CGFloat d, CGFloat da)
{
    return std::clamp(operation(op).formula(s, sa, d, da), 0.0, 1.0);
}

bool CGCompositingCairoOperator(NSCompositingOperation op, int& cairoOperator)
{
    cairoOperator = operation(op).cairo;
    return cairoOperator >= 0;
}
