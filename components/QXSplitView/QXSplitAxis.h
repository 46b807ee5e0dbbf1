#pragma once
// The split axis of a split view: x in a vertical one, y in a horizontal
// one. "Along" is the axis, "across" the other direction.
#include "Foundation/NSGeometry.h"

namespace QXSplitAxis {
inline double along(NSSize s, bool horizontal) { return horizontal ? s.height : s.width; }
inline double across(NSSize s, bool horizontal) { return horizontal ? s.width : s.height; }
inline double along(NSPoint p, bool horizontal) { return horizontal ? p.y : p.x; }
inline double across(NSPoint p, bool horizontal) { return horizontal ? p.x : p.y; }
inline void setAlong(NSSize& s, bool horizontal, double v) { (horizontal ? s.height : s.width) = v; }
inline void setAlong(NSPoint& p, bool horizontal, double v) { (horizontal ? p.y : p.x) = v; }
inline void setAcross(NSSize& s, bool horizontal, double v) { (horizontal ? s.width : s.height) = v; }
inline void setAcross(NSPoint& p, bool horizontal, double v) { (horizontal ? p.x : p.y) = v; }
// The rectangle widened by t on both sides across the axis.
inline NSRect widenedAcross(NSRect r, bool horizontal, double t)
{
    return horizontal ? NSInsetRect(r, -t, 0) : NSInsetRect(r, 0, -t);
}
}
