#pragma once
// Flattening without building paths, for code that turns a path straight into
// polygons of its own.
#include <functional>

#include "CoreGraphics/CGPathElements.h"

// The elements `path.transformed(transform).flattened(tolerance)` would hold
// (moves, lines and closes; a close hands over its subpath's start), handed
// one by one to `visit` without building either path; `visit` answers false
// to stop.
void CGPathVisitFlattened(const CGPathElements& path, const CGAffineTransform& transform, CGFloat tolerance,
                          const std::function<bool(CGPathElementKind, CGPoint)>& visit);
