#include "AppKitExtensions/ZAKBezierPathIterator.h"

#include <algorithm>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKBezierPathIterator)

Ref<ZAKBezierPathIterator> ZAKBezierPathIterator::initWithPath(const Ref<NSBezierPath>& path)
{
    return initWithPath(path, nullptr);
}

Ref<ZAKBezierPathIterator> ZAKBezierPathIterator::initWithPath(const Ref<NSBezierPath>& path,
                                                               const Ref<NSAffineTransform>& transform)
{
    m_path = path;
    m_transform = transform;
    m_curIdx = 0;
    return this;
}

NSInteger ZAKBezierPathIterator::nextWithPointBuffer(NSPoint* buffer)
{
    if (m_curIdx >= elementCount()) return kEnd;
    NSInteger index = m_curIdx++;
    if (!buffer) return m_path->elementAtIndex(index);
    NSBezierPathElement kind = m_path->elementAtIndex(index, buffer);
    if (m_transform && kind != NSClosePathBezierPathElement) {
        int count = kind == NSCurveToBezierPathElement ? 3 : 1;
        for (int i = 0; i < count; ++i) buffer[i] = m_transform->transformPoint(buffer[i]);
    }
    return kind;
}

NSInteger ZAKBezierPathIterator::nextWithCooBuffer(NSPoint* buffer)
{
    NSPoint points[3];
    NSInteger kind = nextWithPointBuffer(points);
    if (!buffer) return kind;
    if (kind == NSMoveToBezierPathElement || kind == NSLineToBezierPathElement) buffer[0] = points[0];
    else if (kind == NSCurveToBezierPathElement) std::copy(points, points + 3, buffer);
    return kind;
}

NSWindingRule ZAKBezierPathIterator::windingRule() const
{
    return m_path ? m_path->windingRule() : NSBezierPath::defaultWindingRule();
}

NSInteger ZAKBezierPathIterator::elementCount() const { return m_path ? m_path->elementCount() : 0; }
