#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "AppKitExtensions/NSBezierPath+ClipperExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "PathSamples.h"

using namespace NSBezierPathExt;
using PathSamples::curve;
using PathSamples::polyline;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool hasNaN(NSPoint p) { return std::isnan(p.x) || std::isnan(p.y); }

bool hasNaN(const Ref<NSBezierPath>& path)
{
    if (!path) return false;
    for (const CGPathElement& e : path->elements().elements)
        for (int i = 0; i < e.pointCount(); ++i)
            if (hasNaN(e.points[i])) return true;
    return false;
}

struct BadPath {
    const char* name;
    Ref<NSBezierPath> path;
    // Whether the path's own points hold NaN, which results may pass on.
    bool nanPoints;
};

std::vector<BadPath> badPaths()
{
    auto closedHuge = polyline({{0, 0}, {1e300, 0}, {0, -1e300}}, true);
    return {
        {"empty", NSBezierPath::bezierPath(), false},
        {"move only", polyline({{3, 3}}), false},
        {"zero-length line", polyline({{5, 5}, {5, 5}}), false},
        {"four equal points", curve({2, 2}, {2, 2}, {2, 2}, {2, 2}), false},
        {"NaN line", polyline({{0, 0}, {kNaN, 0}, {5, 5}}), true},
        {"NaN curve", curve({0, 0}, {kNaN, 1}, {2, kNaN}, {3, 3}), true},
        {"huge line", polyline({{-1e300, 0}, {1e300, 1e300}}), false},
        {"huge curve", curve({0, 0}, {1e300, 1e300}, {-1e300, 1e300}, {10, 0}), false},
        {"huge closed", closedHuge, false},
        {"ordinary curve", curve({0, 0}, {0, 10}, {10, 10}, {10, 0}), false},
    };
}

// Iterators change the class's default flatness for good.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override { m_saved = NSBezierPath::defaultFlatness(); }
    void TearDown() override { NSBezierPath::setDefaultFlatness(m_saved); }

private:
    CGFloat m_saved = 0;
};

}

TEST_F(BadInput, NoMethodAnswersNaNOrCrashes)
{
    const double values[] = {kNaN, 1e300, -1e300, 0, 5};
    const NSInteger indices[] = {INT64_MIN, -1, 0, 1, 2, 3, INT64_MAX};
    for (const BadPath& bad : badPaths()) {
        const Ref<NSBezierPath>& p = bad.path;
        auto expectNumber = [&](double v, const std::string& call) {
            EXPECT_FALSE(std::isnan(v)) << bad.name << ": " << call;
        };
        auto expectPoint = [&](NSPoint point, const std::string& call) {
            if (!bad.nanPoints) {
                EXPECT_FALSE(hasNaN(point)) << bad.name << ": " << call;
            }
        };
        auto expectPath = [&](const Ref<NSBezierPath>& result, const std::string& call) {
            ASSERT_TRUE(result) << bad.name << ": " << call;
            if (!bad.nanPoints) {
                EXPECT_FALSE(hasNaN(result)) << bad.name << ": " << call;
            }
        };

        expectNumber(length(p), "length");
        expectNumber(startAngle(p), "startAngle");
        expectNumber(endAngle(p), "endAngle");
        expectNumber(slopeStartingPath(p), "slopeStartingPath");
        expectPoint(firstPoint(p), "firstPoint");
        expectPoint(lastPoint(p), "lastPoint");
        isPathClosed(p);
        isRectangular(p);
        isClosed(p);
        for (NSInteger i : indices) {
            expectNumber(lengthOfElement(p, i), "lengthOfElement " + std::to_string(i));
            expectNumber(lengthOfPathFromElement(p, i, INT64_MAX), "lengthOfPathFromElement " + std::to_string(i));
            expectNumber(lengthOfPathFromElement(p, INT64_MIN, i), "lengthOfPathFromElement to " + std::to_string(i));
            subpathContainingElementIsClosed(p, i);
        }
        NSPoint buffer[3];
        for (auto iterator = pathIterator(p); iterator->nextWithPointBuffer(buffer) != ZAKBezierPathIterator::kEnd;) { }

        for (double v : values) {
            const std::string at = " " + std::to_string(v);
            expectNumber(lengthWithMaximumError(p, v), "lengthWithMaximumError" + at);
            double slope = 0;
            expectPoint(pointOnPathAtLength(p, v, &slope), "pointOnPathAtLength" + at);
            expectNumber(slope, "slope" + at);
            expectPoint(positionOfPointAtPoint(p, {1, 1}, v), "positionOfPointAtPoint" + at);
            auto transform = NSAffineTransform::transform();
            for (auto iterator = pathIteratorWithTransform(p, transform, v, true);
                 iterator->nextWithCooBuffer(buffer) != ZAKBezierPathIterator::kEnd;) { }

            expectPath(bezierPathByTrimmingToLength(p, v), "trim to" + at);
            expectPath(bezierPathByTrimmingToLength(p, 5, v), "trim to 5 with error" + at);
            expectPath(bezierPathByTrimmingFromLength(p, v), "trim from" + at);
            expectPath(bezierPathByTrimmingFromLength(p, 5, v), "trim from 5 with error" + at);
            expectPath(bezierPathByTrimmingFromLengthToLength(p, v, v), "trim from to" + at);
            expectPath(bezierPathByTrimmingFromLengthToLength(p, 2, 3, v), "trim from 2 to 3 with error" + at);
            expectPath(bezierPathByTrimmingFromBothEnds(p, v), "trim both ends" + at);
            expectPath(bezierPathByTrimmingFromCentre(p, v), "trim centre" + at);
            expectPath(bezierPathByTrimmingFromCentre(p, 1, v), "trim centre 1 with error" + at);

            for (NSLineJoinStyle join : {NSMiterLineJoinStyle, NSRoundLineJoinStyle, NSBevelLineJoinStyle}) {
                auto offset = bezierPathWithOffset(p, v, join, 10);
                expectPath(offset, "offset" + at);
                // Clipper's failures come back as empty paths.
                if (bad.nanPoints && v != 0) {
                    EXPECT_TRUE(offset->isEmpty()) << bad.name << ": offset" << at;
                }
                expectPath(bezierPathWithOffset(p, 1, join, v), "offset with miter limit" + at);
            }
        }
        auto square = NSBezierPath::bezierPathWithRect(NSMakeRect(0, 0, 10, 10));
        for (NSInteger operation = -1; operation <= 4; ++operation) {
            for (const auto& [subject, clip] : {std::pair{p, square}, std::pair{square, p}, std::pair{p, p}}) {
                auto result = bezierPathByApplyingBooleanOperation(subject, operation, clip);
                expectPath(result, "boolean " + std::to_string(operation));
                if (bad.nanPoints) {
                    EXPECT_TRUE(result->isEmpty()) << bad.name << ": boolean " << operation;
                }
            }
        }
    }
}
