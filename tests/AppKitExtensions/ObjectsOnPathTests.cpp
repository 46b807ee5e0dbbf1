// Objects, links and motion along a path, and text-line rectangles inside a
// shape from its horizontal crossings.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSValue.h"
#include "RunLoopTestSupport.h"

using namespace NSBezierPathExt;

// Records every placement and answers a small path for each.
class RecordingFactory : public NSObject, public ZAKPathObjectFactory, public ZAKPathLinkFactory {
    NS_OBJECT(RecordingFactory, NSObject)
protected:
    RecordingFactory() = default;

public:
    std::vector<CGFloat> positions;
    std::vector<std::pair<NSPoint, NSPoint>> links;
    Id placeObjectAtPoint(NSPoint point, const Ref<NSBezierPath>&, CGFloat position, CGFloat, void*) override
    {
        positions.push_back(position);
        return NSBezierPath::bezierPathWithRect(NSMakeRect(point.x, point.y, 1, 1));
    }
    Id placeLinkFromPoint(NSPoint from, NSPoint to, const Ref<NSBezierPath>&, NSInteger, void*) override
    {
        links.push_back({from, to});
        return NSValue::valueWithPoint(to);
    }
};
NS_CLASS_DEFINE(RecordingFactory)

// Records the positions it is moved to; answers NO once told to stop.
class MovedThing : public NSObject, public ZAKPathMovedObject {
    NS_OBJECT(MovedThing, NSObject)
protected:
    MovedThing() = default;

public:
    std::vector<CGFloat> positions;
    bool keepGoing = true;
    bool moveObjectTo(NSPoint, CGFloat position, CGFloat, const Id&) override
    {
        positions.push_back(position);
        return keepGoing;
    }
};
NS_CLASS_DEFINE(MovedThing)

namespace {

Ref<NSBezierPath> straight(CGFloat length)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0, 0});
    path->lineToPoint({length, 0});
    return path;
}

std::string invalidArgumentOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const NSException& e) {
        EXPECT_EQ(e.name()->UTF8String(), NSInvalidArgumentException);
        return e.reason()->UTF8String();
    }
    return "(no exception)";
}

}

TEST(ObjectsOnPath, ObjectsPatternsAndLinksOnAStraightLine)
{
    auto factory = NSObject::make<RecordingFactory>();
    auto objects = placeObjectsOnPathAtInterval(straight(100), 100, factory, nullptr);
    ASSERT_NE(objects, nullptr);
    EXPECT_EQ(factory->positions, (std::vector<CGFloat>{0, 100}));
    EXPECT_EQ(bezierPathWithObjectsOnPathAtInterval(straight(100), 25, factory, nullptr)->elementCount(), 5 * 5);

    auto links = placeLinksOnPathWithLinkLength(straight(100), 30, factory, nullptr);
    ASSERT_EQ(links->count(), 3u);
    for (auto [from, to] : factory->links) EXPECT_NEAR(std::hypot(to.x - from.x, to.y - from.y), 30, 1e-5);
    EXPECT_EQ(placeLinksOnPathWithLinkLength(straight(100), 150, factory, nullptr)->count(), 0u);

    auto pattern = NSBezierPath::bezierPathWithRect(NSMakeRect(-1, -1, 2, 2));
    auto beyond = bezierPathWithPath(straight(100), pattern, 10, 120, false, nullptr);
    ASSERT_NE(beyond, nullptr);
    EXPECT_TRUE(beyond->isEmpty());
    EXPECT_EQ(bezierPathWithPath(straight(100), pattern, 50)->elementCount(), 3 * 5);

    EXPECT_EQ(invalidArgumentOf([] {
                  placeObjectsOnPathAtInterval(straight(100), 10, NSObject::make<NSObject>(), nullptr);
              }).rfind("Factory object ", 0),
              0u);
    EXPECT_NE(invalidArgumentOf([] {
                  placeLinksOnPathWithLinkLength(straight(100), 10, nullptr, nullptr);
              }).find("does not implement the required protocol"),
              std::string::npos);
    EXPECT_NE(invalidArgumentOf([] {
                  moveObject(straight(100), NSObject::make<NSObject>(), 10, false, nullptr);
              }).find("Moved object "),
              std::string::npos);
}

class PathMotion : public VirtualClockTest { };

TEST_F(PathMotion, StopsAtTheEndOrLoopsBackToTheStart)
{
    auto once = NSObject::make<MovedThing>(), looping = NSObject::make<MovedThing>();
    moveObject(straight(100), once, 50, false, nullptr);
    moveObject(straight(100), looping, 50, true, nullptr);
    ASSERT_EQ(once->positions.size(), 1u);
    EXPECT_EQ(once->positions[0], 0);

    Clock::advance(1);
    loop->runUntilIdle();
    EXPECT_NEAR(once->positions.back(), 50, 1e-6);
    Clock::advance(1);  // L / speed: the looping one is back at the start
    loop->runUntilIdle();
    EXPECT_NEAR(looping->positions.back(), 0, 1e-4);
    Clock::advance(0.5);
    loop->runUntilIdle();
    EXPECT_EQ(once->positions.back(), 100);
    size_t stopped = once->positions.size();

    // The looping one goes on while a tracking loop runs; the other has stopped.
    Clock::advance(0.2);
    loop->runModeBeforeDate(NSEventTrackingRunLoopMode, NSDate::dateWithTimeIntervalSinceNow(0));
    EXPECT_EQ(once->positions.size(), stopped);
    EXPECT_NEAR(looping->positions.back(), 35, 1e-3);

    looping->keepGoing = false;
    Clock::advance(0.1);
    loop->runUntilIdle();
    size_t last = looping->positions.size();
    Clock::advance(1);
    loop->runUntilIdle();
    EXPECT_EQ(looping->positions.size(), last);

    // A path of length 0 starts nothing.
    auto still = NSObject::make<MovedThing>();
    auto point = NSBezierPath::bezierPath();
    point->moveToPoint({5, 5});
    point->lineToPoint({5, 5});
    moveObject(point, still, 10, true, nullptr);
    EXPECT_TRUE(still->positions.empty());
}

TEST(LineFragments, CrossingsAndRectanglesInsideAShape)
{
    auto rect = NSBezierPath::bezierPathWithRect(NSMakeRect(10, 10, 100, 50));
    auto points = intersectingPointsWithHorizontalLineAtY(rect, 11);
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->count(), 2u);
    EXPECT_EQ(static_ref_cast<NSValue>(points->objectAtIndex(0))->pointValue(), NSMakePoint(10, 11));
    EXPECT_EQ(static_ref_cast<NSValue>(points->objectAtIndex(1))->pointValue(), NSMakePoint(110, 11));
    EXPECT_EQ(intersectingPointsWithHorizontalLineAtY(rect, 60.5), nullptr);
    EXPECT_NE(intersectingPointsWithHorizontalLineAtY(rect, 60), nullptr);

    struct Case {
        const char* what;
        NSRect shape;
        CGFloat lineHeight;
        NSRect first;
        size_t count;
    } cases[] = {
        {"above the origin", NSMakeRect(10, 10, 100, 50), 10, NSMakeRect(10, 10, 100, 10), 5},
        {"below the origin", NSMakeRect(-50, -80, 100, 50), 10, NSMakeRect(-50, -80, 100, 10), 5},
        {"narrower than 1 point", NSMakeRect(10, 10, 0.8, 50), 10, NSZeroRect, 0},
    };
    for (const Case& c : cases) {
        auto shape = NSBezierPath::bezierPathWithRect(c.shape);
        auto rects = lineFragmentRectsForFixedLineheight(shape, c.lineHeight);
        ASSERT_EQ(rects->count(), c.count) << c.what;
        for (NSUInteger i = 0; i < rects->count(); ++i) {
            NSRect want = c.first;
            want.origin.y += 10 * double(i);
            EXPECT_EQ(static_ref_cast<NSValue>(rects->objectAtIndex(i))->rectValue(), want) << c.what << " " << i;
        }
    }

    NSRect remaining;
    NSRect fragment = lineFragmentRectForProposedRect(rect, NSMakeRect(0, 20, 500, 10), &remaining);
    EXPECT_EQ(fragment, NSMakeRect(10, 20, 100, 10));
    EXPECT_EQ(remaining, NSMakeRect(110, 20, 500, 10));
    EXPECT_EQ(lineFragmentRectForProposedRect(rect, NSMakeRect(200, 20, 50, 10), &remaining), NSZeroRect);
    EXPECT_EQ(remaining, NSZeroRect);
}
