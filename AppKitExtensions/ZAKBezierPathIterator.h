#pragma once
// Walks the elements of a path one at a time, optionally passing every point
// through an affine transform.
#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSBezierPath.h"

class ZAKBezierPathIterator : public NSObject {
    NS_OBJECT(ZAKBezierPathIterator, NSObject)
protected:
    ZAKBezierPathIterator() = default;

public:
    // What next answers once every element has been read.
    static constexpr NSInteger kEnd = NSNotFound;

    Ref<ZAKBezierPathIterator> initWithPath(const Ref<NSBezierPath>& path);
    // The transform may be nil.
    Ref<ZAKBezierPathIterator> initWithPath(const Ref<NSBezierPath>& path, const Ref<NSAffineTransform>& transform);

    // The kind of the next element (an NSBezierPathElement), or kEnd without
    // advancing. With a buffer (room for three points) the element's points
    // are written into it, transformed when a transform is held; a close-path
    // writes nothing.
    NSInteger nextWithPointBuffer(NSPoint* buffer);
    // The same, writing only the element's own points (1, 1 or 3) into the
    // caller's buffer, and nothing for a close-path or at the end.
    NSInteger nextWithCooBuffer(NSPoint* buffer);

    NSWindingRule windingRule() const;
    NSInteger elementCount() const;
    // The index of the next element.
    NSInteger curIdx() const { return m_curIdx; }

private:
    Ref<NSBezierPath> m_path;
    Ref<NSAffineTransform> m_transform;
    NSInteger m_curIdx = 0;
};
