#pragma once
// Conversion between paths and Clipper's integer polygons, for the boolean
// and offset operations: path coordinates times 10, rounded, so results have
// a resolution of 0.1 unit.
#include <polyclipping/clipper.hpp>

#include "AppKit/NSBezierPath.h"

namespace ClipperPolygons {

// The curves' flattening tolerance in the scaled space: 0.01 in single
// precision.
inline constexpr CGFloat kFlatness = 0.01f;
inline constexpr CGFloat kScale = 10;

// One polygon per subpath: the path scaled by 10, flattened, every
// coordinate rounded to the nearest integer (halves away from zero). Clipper
// closes every polygon, so open subpaths count as closed. False, with no
// polygons, when a coordinate is NaN or beyond Clipper's range.
bool fromPath(const Ref<NSBezierPath>& path, ClipperLib::Paths& polygons);

// Each non-empty polygon as a closed subpath (a single point as a lone
// move-to), coordinates divided by 10.
Ref<NSBezierPath> toPath(const ClipperLib::Paths& polygons);

}
