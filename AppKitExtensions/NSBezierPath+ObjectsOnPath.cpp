// Objects, patterns and links along a path, and motion along it.
#include <cmath>
#include <numbers>

#include "AppKit/NSAffineTransform.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "Foundation/Clock.h"
#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSString.h"

namespace NSBezierPathExt {

namespace {

// The timer of a motion sends "motionCallback:" to its path. At load time.
[[maybe_unused]] const bool g_motionAction = [] {
    NSBezierPath::classRecord().addCategoryAction(
        "motionCallback:", 1, [](NSObject* self, const Id& timer, const Id&) -> Id {
            motionCallback(Ref<NSBezierPath>(static_cast<NSBezierPath*>(self)), dynamic_ref_cast<NSTimer>(timer));
            return nullptr;
        });
    return true;
}();

[[noreturn]] void raiseMissingProtocol(const char* format, const Id& object)
{
    NSException::raise(NSInvalidArgumentException, NSString::stringWithFormat(format, object)->UTF8String());
}

// The path's length when things can be laid along it: at least two
// elements and a finite length; -1 otherwise.
CGFloat usableLength(const Ref<NSBezierPath>& path)
{
    if (!path || path->elementCount() < 2) return -1;
    CGFloat length = NSBezierPathExt::length(path);
    return std::isfinite(length) ? length : -1;
}

}

Ref<NSArray> placeObjectsOnPathAtInterval(const Ref<NSBezierPath>& path, CGFloat interval, const Id& factory,
                                          void* userInfo)
{
    auto* placer = dynamic_cast<ZAKPathObjectFactory*>(factory.get());
    if (!placer) raiseMissingProtocol("Factory object %@ does not implement the required protocol", factory);
    CGFloat length = usableLength(path);
    if (!(interval > 0) || length < 0) return nullptr;
    auto objects = NSMutableArray::array();
    for (NSInteger k = 0;; ++k) {
        CGFloat distance = k * interval;
        if (!(distance <= length)) break;
        CGFloat slope = 0;
        NSPoint point = pointOnPathAtLength(path, distance, &slope);
        if (Id object = placer->placeObjectAtPoint(point, path, distance, slope, userInfo)) objects->addObject(object);
    }
    return objects;
}

Ref<NSBezierPath> bezierPathWithObjectsOnPathAtInterval(const Ref<NSBezierPath>& path, CGFloat interval,
                                                        const Id& factory, void* userInfo)
{
    auto objects = placeObjectsOnPathAtInterval(path, interval, factory, userInfo);
    if (!objects || objects->count() == 0) return nullptr;
    auto result = NSBezierPath::bezierPath();
    for (NSUInteger i = 0; i < objects->count(); ++i)
        if (auto piece = dynamic_ref_cast<NSBezierPath>(objects->objectAtIndex(i))) result->appendBezierPath(piece);
    return result;
}

Ref<NSBezierPath> bezierPathWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& pattern, CGFloat interval,
                                     CGFloat phase, bool alternate, const Id& taperDelegate)
{
    CGFloat length = usableLength(path);
    if (!(interval > 0) || length < 0 || !pattern) return nullptr;
    auto result = NSBezierPath::bezierPath();
    auto* taper = dynamic_cast<ZAKPathTaperDelegate*>(taperDelegate.get());
    for (NSInteger k = 0;; ++k) {
        CGFloat distance = phase + k * interval;
        if (!(distance <= length)) break;
        CGFloat slope = 0;
        NSPoint point = pointOnPathAtLength(path, distance, &slope);
        if (alternate && k % 2 == 1) slope += std::numbers::pi;
        auto transform = NSAffineTransform::transform();
        transform->translateXBy(point.x, point.y);
        transform->rotateByRadians(slope);
        if (taper) transform->scaleBy(taper->taperFactorAtDistance(distance, path, length));
        auto copy = static_ref_cast<NSBezierPath>(pattern->copy());
        copy->transformUsingAffineTransform(transform);
        result->appendBezierPath(copy);
    }
    return result;
}

Ref<NSArray> placeLinksOnPathWithLinkLength(const Ref<NSBezierPath>& path, CGFloat length, const Id& factory,
                                            void* userInfo)
{
    return placeLinksOnPathWithEvenLinkLength(path, length, length, factory, userInfo);
}

Ref<NSArray> placeLinksOnPathWithEvenLinkLength(const Ref<NSBezierPath>& path, CGFloat evenLength, CGFloat oddLength,
                                                const Id& factory, void* userInfo)
{
    auto* placer = dynamic_cast<ZAKPathLinkFactory*>(factory.get());
    if (!placer) raiseMissingProtocol("Factory object %@ does not implement the required protocol", factory);
    CGFloat pathLength = usableLength(path);
    if (!(evenLength > 0) || !(oddLength > 0) || pathLength < 0) return nullptr;
    auto links = NSMutableArray::array();
    NSPoint from = firstPoint(path);
    CGFloat distance = 0;
    for (NSInteger n = 0;; ++n) {
        CGFloat link = n % 2 == 0 ? evenLength : oddLength;
        if (!(distance + link <= pathLength)) break;
        distance += link;
        NSPoint aim = pointOnPathAtLength(path, distance, nullptr);
        float angle = float(std::atan2(aim.y - from.y, aim.x - from.x));
        NSPoint to = NSMakePoint(from.x + link * double(std::cos(angle)), from.y + link * double(std::sin(angle)));
        if (Id object = placer->placeLinkFromPoint(from, to, path, n, userInfo)) links->addObject(object);
        from = to;
    }
    return links;
}

void moveObject(const Ref<NSBezierPath>& path, const Id& object, CGFloat speed, bool loop, const Id& userInfo)
{
    NSCAssert(object != nullptr, "can't move a nil object");
    auto* moved = dynamic_cast<ZAKPathMovedObject*>(object.get());
    if (!moved) raiseMissingProtocol("Moved object %@ does not implement the required protocol", object);
    CGFloat length = usableLength(path);
    // A path of length 0 has nowhere to go (and no position modulo its length).
    if (!(speed > 0) || !std::isfinite(speed) || !(length > 0)) return;
    CGFloat slope = 0;
    NSPoint start = pointOnPathAtLength(path, 0, &slope);
    if (!moved->moveObjectTo(start, 0, slope, userInfo)) return;
    auto record = NSMutableDictionary::dictionary();
    record->setObject(path, "path"_ns);
    record->setObject(NSNumber::numberWithDouble(speed), "speed"_ns);
    if (userInfo) record->setObject(userInfo, "userinfo"_ns);
    record->setObject(object, "target"_ns);
    record->setObject(NSNumber::numberWithDouble(length), "path_length"_ns);
    record->setObject(NSNumber::numberWithBool(loop), "loop"_ns);
    record->setObject(NSNumber::numberWithDouble(Clock::now()), "start_time"_ns);
    auto timer = NSTimer::timerWithTimeInterval(1.0 / 30, path, "motionCallback:", record, true);
    auto runLoop = NSRunLoop::currentRunLoop();
    runLoop->addTimer(timer, NSEventTrackingRunLoopMode);
    runLoop->addTimer(timer, NSDefaultRunLoopMode);
}

void motionCallback(const Ref<NSBezierPath>& path, const Ref<NSTimer>& timer)
{
    auto record = timer ? dynamic_ref_cast<NSDictionary>(timer->userInfo()) : nullptr;
    if (!record) return;
    auto number = [&](const char* key) {
        auto value = dynamic_ref_cast<NSNumber>(record->objectForKey(NSString::stringWithUTF8String(key)));
        return value ? value->doubleValue() : 0.0;
    };
    auto target = record->objectForKey("target"_ns);
    auto* moved = dynamic_cast<ZAKPathMovedObject*>(target.get());
    CGFloat length = number("path_length");
    if (!moved || !(length > 0)) {
        timer->invalidate();
        return;
    }
    CGFloat travelled = number("speed") * (Clock::now() - number("start_time"));
    bool finished = false;
    CGFloat position;
    if (number("loop") != 0) {
        position = double(std::fmod(float(travelled), float(length)));
    } else {
        finished = travelled > length;
        position = finished ? length : travelled;
    }
    CGFloat slope = 0;
    NSPoint point = pointOnPathAtLength(path, position, &slope);
    if (!moved->moveObjectTo(point, position, slope, record->objectForKey("userinfo"_ns)) || finished)
        timer->invalidate();
}

}
