// Degenerate input to gradients, path editing, text and objects along a
// path: not a number, huge values, empty and move-only paths, empty text,
// non-positive intervals, lengths, speeds and line heights. Nothing may
// crash, hang or answer a number that is not finite; the only exceptions are
// the documented assertions.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSBezierPath+Editing.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKShading.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValue.h"

using namespace NSBezierPathExt;

class BadInputThing : public NSObject,
                      public ZAKPathObjectFactory,
                      public ZAKPathLinkFactory,
                      public ZAKPathMovedObject {
    NS_OBJECT(BadInputThing, NSObject)
protected:
    BadInputThing() = default;

public:
    std::vector<double> seen;
    Id placeObjectAtPoint(NSPoint p, const Ref<NSBezierPath>&, CGFloat position, CGFloat slope, void*) override
    {
        seen.insert(seen.end(), {p.x, p.y, position, slope});
        return nullptr;
    }
    Id placeLinkFromPoint(NSPoint a, NSPoint b, const Ref<NSBezierPath>&, NSInteger, void*) override
    {
        seen.insert(seen.end(), {a.x, a.y, b.x, b.y});
        return nullptr;
    }
    bool moveObjectTo(NSPoint p, CGFloat position, CGFloat slope, const Id&) override
    {
        seen.insert(seen.end(), {p.x, p.y, position, slope});
        return false;
    }
};
NS_CLASS_DEFINE(BadInputThing)

namespace {

const double kNaN = NAN, kHuge = 1e300;
const double kValues[] = {kNaN, kHuge, -kHuge, 0, -1};

Ref<NSBezierPath> pathThrough(std::initializer_list<NSPoint> points)
{
    auto path = NSBezierPath::bezierPath();
    for (NSPoint p : points) {
        if (path->isEmpty()) path->moveToPoint(p);
        else path->lineToPoint(p);
    }
    return path;
}

std::vector<Ref<NSBezierPath>> badPaths()
{
    return {
        NSBezierPath::bezierPath(),
        pathThrough({{5, 5}}),
        pathThrough({{0, 0}, {kNaN, 10}, {20, kNaN}}),
        pathThrough({{0, 0}, {kHuge, 0}, {0, -kHuge}}),
        pathThrough({{5, 5}, {5, 5}}),
        pathThrough({{0, 0}, {100, 0}}),
    };
}

Ref<NSAttributedString> attributed(const char* s)
{
    return NSAttributedString::initWithString(
        NSString::stringWithUTF8String(s),
        NSDictionary::dictionaryWithObjectsAndKeys({NSNumber::numberWithInteger(1), NSUnderlineStyleAttributeName}));
}

bool finite(NSPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(const NSRect& r) { return finite(r.origin) && std::isfinite(r.size.width) && std::isfinite(r.size.height); }

}

TEST(PathTextBadInput, NothingCrashesOrAnswersNaN)
{
    struct Case {
        std::string what;
        std::function<void(std::vector<double>& answers)> call;
    };
    std::vector<Case> cases;
    auto gradient = ZAKMultiGradient::rainbowGradient()->addColorStop(NSColor::blueColor(), 0.3);
    for (double v : kValues) {
        std::string value = std::to_string(v);
        cases.push_back({"gradient at " + value, [=](std::vector<double>& out) {
                             CGFloat r, g, b, a;
                             gradient->colorAtPosition(v)->getRed(&r, &g, &b, &a);
                             out.insert(out.end(), {r, g, b, a});
                             gradient->gradientWithBlendingMode(0)->colorAtPosition(v)->getRed(&r, &g, &b, &a);
                             out.insert(out.end(), {r, g, b, a});
                             gradient->fillRect(NSMakeRect(v, 0, 50, 50), v);
                             gradient->fillRect(NSMakeRect(0, 0, v, v), 30);
                             gradient->radialFillRect(NSMakeRect(0, 0, v, 50));
                             gradient->addColorStop(NSColor::redColor(), v)->drawSwatchInRect(NSMakeRect(0, 0, 40, 40));
                         }});
        cases.push_back({"objects at interval " + value, [=](std::vector<double>& out) {
                             auto thing = NSObject::make<BadInputThing>();
                             for (const auto& path : badPaths()) {
                                 if (std::fabs(v) < 1e10 && v > 0) continue;
                                 placeObjectsOnPathAtInterval(path, v, thing, nullptr);
                                 placeLinksOnPathWithEvenLinkLength(path, v, 10, thing, nullptr);
                                 bezierPathWithPath(path, pathThrough({{0, 0}, {1, 1}}), v, v, true, thing);
                                 moveObject(path, thing, v, true, nullptr);
                             }
                             out.insert(out.end(), thing->seen.begin(), thing->seen.end());
                         }});
        cases.push_back({"crossings and fragments at " + value, [=](std::vector<double>& out) {
                             for (const auto& path : badPaths()) {
                                 auto points = intersectingPointsWithHorizontalLineAtY(path, v);
                                 for (NSUInteger i = 0; points && i < points->count(); ++i) {
                                     NSPoint p = static_ref_cast<NSValue>(points->objectAtIndex(i))->pointValue();
                                     out.insert(out.end(), {p.x, p.y});
                                 }
                                 NSRect rest;
                                 NSRect r = lineFragmentRectForProposedRect(path, NSMakeRect(v, v, 10, 10), &rest, v);
                                 out.insert(out.end(), {r.origin.x, r.size.width, rest.origin.x});
                             }
                         }});
        cases.push_back(
            {"editing at " + value, [=](std::vector<double>& out) {
                 for (const auto& path : badPaths()) {
                     NSPoint p = NSMakePoint(v, v);
                     out.push_back(double(checksum(path) != 0));
                     out.push_back(double(partcodeHitByPoint(path, p, v)));
                     CGFloat t = 0;
                     NSPoint nearest = p;
                     if (elementHitByPoint(path, p, v, &t, &nearest) > 0) out.insert(out.end(), {t});
                     insertControlPointAtPoint(path, p, v, NSCurveToBezierPathElement);
                     deleteControlPointForPartcode(path, 4);
                     auto copy = static_ref_cast<NSBezierPath>(path->copy());
                     moveControlPointPartcode(copy, 8, p, 0xFFFF);
                     for (auto* boxes : {boundingBoxesForPartcode(path, 8).get(), allBoundingBoxes(path).get()})
                         (void)boxes;
                     bezierPathByStrippingRedundantElements(path);
                     bezierPathByRemovingElementAtIndex(path, 1);
                 }
             }});
        cases.push_back({"text along paths at " + value, [=](std::vector<double>& out) {
                             for (const auto& path : badPaths()) {
                                 drawTextOnPath(path, attributed("gyp ace"), v);
                                 drawTextOnPath(path, attributed(""), v);
                                 auto glyphs = bezierPathWithStringOnPath(path, "abc"_ns);
                                 if (!glyphs->isEmpty()) {
                                     NSRect bounds = glyphs->bounds();
                                     out.insert(out.end(), {bounds.origin.x, bounds.origin.y});
                                 }
                                 CGFloat position = 0, length = 0;
                                 pathPosition(path, &position, &length, attributed("abc"), NSMakeRange(0, 3));
                                 out.insert(out.end(), {position, length});
                                 textLinePathWithMask(path, 1, v, v, v, v, nullptr, v);
                             }
                             linearGradientFillWithStartColor(pathThrough({{0, 0}, {v, 10}, {5, v}}),
                                                              NSColor::redColor(), NSColor::blueColor());
                         }});
    }
    for (const Case& c : cases) {
        std::vector<double> answers;
        NSGraphicsContext::imageByDrawing(60, 60, NSMakeSize(60, 60), false, [&] {
            try {
                c.call(answers);
            } catch (const NSException& e) {
                ADD_FAILURE() << c.what << ": " << e.reason()->UTF8String();
            }
        });
        for (double a : answers) EXPECT_FALSE(std::isnan(a)) << c.what;
    }
}

TEST(PathTextBadInput, LineHeightsThatAreNotPositiveFailTheAssertion)
{
    auto shape = NSBezierPath::bezierPathWithRect(NSMakeRect(-10, -10, 20, 20));
    for (double h : {0.0, -1.0, kNaN, -kHuge}) {
        try {
            lineFragmentRectsForFixedLineheight(shape, h);
            ADD_FAILURE() << h << " passed";
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), NSInternalInconsistencyException);
            EXPECT_NE(std::string(e.reason()->UTF8String()).find("lineheight must be positive and greater than 0"),
                      std::string::npos);
        }
    }
    auto rects = lineFragmentRectsForFixedLineheight(shape, kHuge);
    for (NSUInteger i = 0; i < rects->count(); ++i)
        EXPECT_TRUE(finite(static_ref_cast<NSValue>(rects->objectAtIndex(i))->rectValue()));
    EXPECT_TRUE(finite(lineFragmentRectForProposedRect(shape, NSMakeRect(-20, -5, 40, 5), nullptr, kNaN)));
}
