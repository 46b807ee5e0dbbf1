#pragma once
// Draws a layer tree into an ARGB32 image as it is shown at a time: each
// layer's corners are projected through its transforms with the perspective
// divide, a single-sided layer facing away is skipped, its shadow is the
// blurred, offset and tinted coverage of its contents, and its contents are
// warped into the projected quad by pixman's projective transform (bilinear
// filtering) within the quad's bounds.
#include "CoreGraphics/CGImage.h"
#include "QuartzCore/CALayer.h"

namespace CARenderer {

// `base` maps the root layer's superlayer coordinates (y up) to pixels of the
// target (row 0 at the top); only pixels inside `clip` (pixels) change.
void render(const Ref<CALayer>& root, const Ref<CGImage>& target, const CATransform3D& base, NSTimeInterval now,
            const CGRect& clip);

// The device quad of a layer's contents, corners in the order (min x, min y),
// (max x, min y), (max x, max y), (min x, max y) of its content rectangle;
// false when a corner is at or behind the eye.
bool projectedContentQuad(const Ref<CALayer>& layer, const CATransform3D& layerToDevice, CAProjectedPoint quad[4]);
// Whether the layer shows its back under that transform.
bool facesAway(const Ref<CALayer>& layer, const CATransform3D& layerToDevice, const CATransform3D& frontToDevice);

}
