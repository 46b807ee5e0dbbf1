#include <gtest/gtest.h>

#include "AppKitExtensions/ZAKBezierPathIterator.h"

namespace {

Ref<ZAKBezierPathIterator> iterate(const Ref<NSBezierPath>& path, const Ref<NSAffineTransform>& transform = nullptr)
{
    return NSObject::alloc<ZAKBezierPathIterator>()->initWithPath(path, transform);
}

// Move, curve, line, close.
Ref<NSBezierPath> sample()
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({1, 2});
    path->curveToPoint({7, 8}, {3, 4}, {5, 6});
    path->lineToPoint({9, 10});
    path->closePath();
    return path;
}

const NSPoint kUntouched{-7, -7};

}

TEST(ZAKBezierPathIterator, AnEmptyPathEndsAtOnce)
{
    auto iterator = iterate(NSBezierPath::bezierPath());
    NSPoint buffer[3] = {kUntouched, kUntouched, kUntouched};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(iterator->nextWithPointBuffer(buffer), ZAKBezierPathIterator::kEnd);
        EXPECT_EQ(iterator->nextWithCooBuffer(buffer), ZAKBezierPathIterator::kEnd);
    }
    EXPECT_EQ(ZAKBezierPathIterator::kEnd, INT64_MAX);
    EXPECT_EQ(iterator->curIdx(), 0);
    EXPECT_EQ(buffer[0], kUntouched);
    EXPECT_EQ(iterate(nullptr)->nextWithPointBuffer(buffer), ZAKBezierPathIterator::kEnd);
}

TEST(ZAKBezierPathIterator, WalksKindsAndTransformedPoints)
{
    auto transform = NSAffineTransform::transform();
    transform->translateXBy(100, 200);
    transform->scaleBy(2);
    struct Step {
        NSInteger kind;
        std::vector<NSPoint> points;
    } steps[] = {
        {NSMoveToBezierPathElement, {{102, 204}}},
        {NSCurveToBezierPathElement, {{106, 208}, {110, 212}, {114, 216}}},
        {NSLineToBezierPathElement, {{118, 220}}},
        {NSClosePathBezierPathElement, {}},
    };
    auto iterator = iterate(sample(), transform);
    EXPECT_EQ(iterator->elementCount(), 4);
    for (const Step& step : steps) {
        NSPoint buffer[3] = {kUntouched, kUntouched, kUntouched};
        EXPECT_EQ(iterator->nextWithPointBuffer(buffer), step.kind);
        for (size_t i = 0; i < step.points.size(); ++i) EXPECT_EQ(buffer[i], step.points[i]) << step.kind;
        // A close-path leaves the buffer untouched.
        if (step.points.empty()) {
            EXPECT_EQ(buffer[0], kUntouched);
        }
    }
    EXPECT_EQ(iterator->curIdx(), 4);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(iterator->nextWithPointBuffer(nullptr), ZAKBezierPathIterator::kEnd);
    EXPECT_EQ(iterator->curIdx(), 4);
}

TEST(ZAKBezierPathIterator, KindsWithoutBufferAndCoordinateBuffers)
{
    auto kindsOnly = iterate(sample());
    for (NSInteger kind : {0, 2, 1, 3}) EXPECT_EQ(kindsOnly->nextWithPointBuffer(nullptr), kind);

    auto coordinates = iterate(sample());
    NSPoint buffer[3] = {kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(coordinates->nextWithCooBuffer(buffer), NSMoveToBezierPathElement);
    EXPECT_EQ(buffer[0], NSMakePoint(1, 2));
    EXPECT_EQ(buffer[1], kUntouched);
    EXPECT_EQ(coordinates->nextWithCooBuffer(buffer), NSCurveToBezierPathElement);
    EXPECT_EQ(buffer[2], NSMakePoint(7, 8));
    EXPECT_EQ(coordinates->nextWithCooBuffer(buffer), NSLineToBezierPathElement);
    EXPECT_EQ(buffer[0], NSMakePoint(9, 10));
    EXPECT_EQ(buffer[1], NSMakePoint(5, 6));
    EXPECT_EQ(coordinates->nextWithCooBuffer(buffer), NSClosePathBezierPathElement);
    EXPECT_EQ(buffer[0], NSMakePoint(9, 10));
}

TEST(ZAKBezierPathIterator, PassesThePathsWindingRule)
{
    auto path = sample();
    path->setWindingRule(NSEvenOddWindingRule);
    EXPECT_EQ(iterate(path)->windingRule(), NSEvenOddWindingRule);
}
