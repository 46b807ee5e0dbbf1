#pragma once
// Shadow rendering: the alpha of an ARGB32 image blurred (three box-blur
// passes approximating a Gaussian of the given standard deviation) and
// replaced by one colour, premultiplied.
#include "Foundation/NSTypes.h"

void CGTintedBlur(uint8_t* data, int width, int height, int stride, CGFloat sigma, CGFloat r, CGFloat g, CGFloat b,
                  CGFloat a);
