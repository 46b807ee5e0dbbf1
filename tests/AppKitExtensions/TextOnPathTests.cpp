// Text laid along a path: placement, the cache, underlines with descender
// breaks and strikethroughs in pixels; and the glyph-outline layout manager.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKitExtensions/NSBezierPath+Editing.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+Text.ZAKAppKitExtensions.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "AppKitExtensions/ZAKBezierLayoutManager.h"
#include "AppKitExtensions/ZAKLayoutManager.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "TextOnPathSamples.h"

using namespace NSBezierPathExt;

namespace {

constexpr int kWidth = 300, kHeight = 80;

Ref<NSBezierPath> line(NSPoint from, NSPoint to)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(from);
    path->lineToPoint(to);
    return path;
}

Ref<NSAttributedString> text(const char* string, NSInteger underline = 0, NSInteger strikethrough = 0,
                             CGFloat size = 24)
{
    auto attributes = NSMutableDictionary::dictionary();
    attributes->setObject(NSFont::fontWithName("Helvetica"_ns, size), NSFontAttributeName);
    if (underline) attributes->setObject(NSNumber::numberWithInteger(underline), NSUnderlineStyleAttributeName);
    if (strikethrough)
        attributes->setObject(NSNumber::numberWithInteger(strikethrough), NSStrikethroughStyleAttributeName);
    return NSAttributedString::initWithString(NSString::stringWithUTF8String(string), attributes);
}

Ref<CGImage> drawn(const std::function<void()>& draw)
{
    return NSGraphicsContext::imageByDrawing(kWidth, kHeight, NSMakeSize(kWidth, kHeight), false, draw);
}

// Inked pixels in a band of image rows (from the top) and columns.
int inkIn(const Ref<CGImage>& image, int top, int bottom, int left = 0, int right = kWidth)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += (image->pixel(size_t(x), size_t(y)) >> 24) > 128;
    return count;
}

int differingPixels(const Ref<CGImage>& a, const Ref<CGImage>& b)
{
    int count = 0;
    for (size_t y = 0; y < kHeight; ++y)
        for (size_t x = 0; x < kWidth; ++x) count += a->pixel(x, y) != b->pixel(x, y);
    return count;
}

Ref<NSLayoutManager> callersLayoutManager()
{
    auto layoutManager = NSObject::make<NSLayoutManager>();
    auto container = NSTextContainer::initWithContainerSize(NSMakeSize(1000000, 1000000));
    container->setLineFragmentPadding(0);
    layoutManager->addTextContainer(container);
    return layoutManager;
}

// The baseline runs along y = 40 (image row 40 from the top).
Ref<NSBezierPath> baseline() { return line({10, 40}, {290, 40}); }

}

TEST(TextOnPath, NothingToLayOutAnswersNoAndDrawsNothing)
{
    auto onePoint = NSBezierPath::bezierPath();
    onePoint->moveToPoint({10, 40});
    struct Case {
        const char* what;
        Ref<NSBezierPath> path;
        Ref<NSAttributedString> text;
    } cases[] = {{"one element", onePoint, text("Hello")}, {"empty string", baseline(), text("")}};
    for (const Case& c : cases) {
        bool fitted = true;
        auto image = drawn([&] { fitted = drawTextOnPath(c.path, c.text, 0); });
        EXPECT_FALSE(fitted) << c.what;
        EXPECT_EQ(inkIn(image, 0, kHeight), 0) << c.what;
    }
}

TEST(TextOnPath, GlyphsSitOnThePathAndTheCacheReplaysThem)
{
    // Along a straight line each glyph's origin is on the line, one after
    // the other.
    auto recorder = NSObject::make<PlacementRecorder>();
    auto layoutManager = textOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(baseline(), text("Hello"), layoutManager);
    EXPECT_TRUE(layoutStringOnPath(baseline(), storage, 0, recorder, layoutManager, nullptr));
    ASSERT_EQ(recorder->placements.size(), 5u);
    EXPECT_NEAR(recorder->placements[0].point.x, 10, 1e-4);
    for (const auto& p : recorder->placements) {
        EXPECT_NEAR(p.slope, 0, 1e-12);
        EXPECT_LT(p.point.y, 40);  // the line fragment's top lies above the baseline by the ascent
    }
    for (size_t i = 1; i < 5; ++i) EXPECT_GT(recorder->placements[i].point.x, recorder->placements[i - 1].point.x);

    // Too long: the glyphs that fit, NO, and the same from the cache.
    auto shortPath = line({10, 40}, {60, 40});
    auto cache = NSMutableDictionary::dictionary();
    auto first = NSObject::make<PlacementRecorder>(), second = NSObject::make<PlacementRecorder>();
    storage = preadjustedTextStorageWithString(shortPath, text("Hello world"), layoutManager);
    EXPECT_FALSE(layoutStringOnPath(shortPath, storage, 0, first, layoutManager, cache));
    EXPECT_GT(first->placements.size(), 0u);
    EXPECT_LT(first->placements.size(), 11u);
    EXPECT_FALSE(layoutStringOnPath(shortPath, storage, 0, second, layoutManager, cache));
    ASSERT_EQ(second->placements.size(), first->placements.size());
    for (size_t i = 0; i < first->placements.size(); ++i) {
        EXPECT_EQ(second->placements[i].glyph, first->placements[i].glyph);
        EXPECT_EQ(second->placements[i].point, first->placements[i].point);
    }
    bool fitted = true;
    auto image = drawn([&] { fitted = drawTextOnPath(shortPath, text("Hello world"), 0); });
    EXPECT_FALSE(fitted);
    EXPECT_GT(inkIn(image, 0, kHeight, 0, 70), 0);
    EXPECT_EQ(inkIn(image, 0, kHeight, 75, kWidth), 0);

    EXPECT_THROW(layoutStringOnPath(baseline(), storage, 0, NSObject::make<NSObject>(), layoutManager, nullptr),
                 NSException);
}

TEST(TextOnPath, OneWalkPlacesWhereTrimmingAtEachDistanceWould)
{
    // Glyphs are placed by walking the path once; each distance must land
    // where trimming the whole path there puts its start, curves, element
    // ends and the end of the path included.
    auto path = TextOnPathSamples::gentleCurve(60);
    CGFloat total = length(path);
    PathTrimCursor cursor(path);
    for (CGFloat distance : {0.0, 1e-9, 7.3, 40.0, 40.0, 41.5, 399.99, 1000.0, 1777.7, total - 1e-6}) {
        NSPoint point{};
        CGFloat slope = 0;
        ASSERT_TRUE(cursor.startAt(distance, point, slope)) << distance;
        auto trimmed = bezierPathByTrimmingFromLength(path, distance);
        EXPECT_NEAR(point.x, firstPoint(trimmed).x, 1e-9) << distance;
        EXPECT_NEAR(point.y, firstPoint(trimmed).y, 1e-9) << distance;
        EXPECT_NEAR(slope, slopeStartingPath(trimmed), 1e-9) << distance;
    }
    NSPoint point{};
    CGFloat slope = 0;
    EXPECT_FALSE(cursor.startAt(total + 1, point, slope));
}

TEST(TextOnPath, ACacheEmptiesOnceForAnotherPathEvenWithTheSameChecksum)
{
    struct Case {
        const char* what;
        Ref<NSBezierPath> first, second;
    } cases[] = {
        {"another path", line({0, 10}, {200, 10}), line({0, 20}, {200, 30})},
        {"the same checksum", line({0, 0}, {100, 0}), line({0, 0}, {0, 100})},
    };
    // Checksums: (0, 0)-(100, 0) and (0, 0)-(0, 100) agree.
    EXPECT_EQ(checksum(cases[1].first), checksum(cases[1].second));
    for (const Case& c : cases) {
        auto cache = NSMutableDictionary::dictionary();
        auto marker = "marker"_ns;
        drawn([&] {
            drawTextOnPath(c.first, text("Hi"), 0, nullptr, cache);
            cache->setObject(marker, marker);
            drawTextOnPath(c.first, text("Hi"), 0, nullptr, cache);
            EXPECT_NE(cache->objectForKey(marker), nullptr) << c.what << ": same path";
            drawTextOnPath(c.second, text("Hi"), 0, nullptr, cache);
            EXPECT_EQ(cache->objectForKey(marker), nullptr) << c.what << ": emptied";
            cache->setObject(marker, marker);
            drawTextOnPath(c.second, text("Hi"), 0, nullptr, cache);
            EXPECT_NE(cache->objectForKey(marker), nullptr) << c.what << ": emptied once";
        });
    }
}

TEST(TextOnPath, UnderlinesBreakAtDescendersAndShowInPixels)
{
    auto gyp = text("gyp", 1), ace = text("ace", 1);
    auto breaks = descenderBreaksForString(baseline(), gyp, NSMakeRange(0, 3), -2);
    ASSERT_NE(breaks, nullptr);
    EXPECT_GE(breaks->count(), 2u);
    EXPECT_EQ(breaks->count() % 2, 0u);
    EXPECT_EQ(descenderBreaksForString(baseline(), ace, NSMakeRange(0, 3), -2), nullptr);

    // A straight underline lies in the band just below the baseline, under
    // the whole text; without it "ace" has no ink there.
    auto plain = drawn([] { drawTextOnPath(baseline(), text("ace"), 0); });
    auto underlined = drawn([&] { drawTextOnPath(baseline(), ace, 0); });
    EXPECT_EQ(inkIn(plain, 41, 46), 0);
    int ink = inkIn(underlined, 41, 46);
    EXPECT_GT(ink, 30);
    // Pattern bits alone choose no line.
    auto patternOnly = drawn([] { drawTextOnPath(baseline(), text("ace", 0x200), 0); });
    EXPECT_EQ(differingPixels(patternOnly, plain), 0);
    EXPECT_EQ(textLinePathWithMask(baseline(), 0x200, 0, 100, 0, 1, nullptr, 0), nullptr);

    // Two underlined runs apart: both lines, and none between them.
    auto twoRuns = NSMutableAttributedString::initWithAttributedString(text("ace"));
    twoRuns->appendAttributedString(text(" mmmmm "));
    twoRuns->appendAttributedString(text("ace", 1));
    twoRuns->addAttribute(NSUnderlineStyleAttributeName, NSNumber::numberWithInteger(1), NSMakeRange(0, 3));
    auto both = drawn([&] { drawTextOnPath(baseline(), twoRuns, 0); });
    EXPECT_GT(inkIn(both, 41, 46, 0, 50), 20);
    EXPECT_EQ(inkIn(both, 41, 46, 70, 110), 0);
    EXPECT_GT(inkIn(both, 41, 46, 140, kWidth), 20);
}

TEST(TextOnPath, StrikethroughOnlyWithTheSharedLayoutManager)
{
    auto plain = drawn([] { drawTextOnPath(baseline(), text("ace"), 0); });
    auto struckShared = drawn([] { drawTextOnPath(baseline(), text("ace", 0, 1), 0); });
    EXPECT_GT(differingPixels(struckShared, plain), 20);
    auto plainOwn = drawn([] { drawTextOnPath(baseline(), text("ace"), 0, callersLayoutManager()); });
    auto struckOwn = drawn([] { drawTextOnPath(baseline(), text("ace", 0, 1), 0, callersLayoutManager()); });
    EXPECT_EQ(differingPixels(struckOwn, plainOwn), 0);
}

TEST(ZAKBezierLayoutManager, OutlinesOnlyAndPerGlyphPathsOnTheirLines)
{
    auto layout = [](const Ref<NSAttributedString>& string, CGFloat width) {
        auto layoutManager = NSObject::make<ZAKBezierLayoutManager>();
        auto container = NSTextContainer::initWithContainerSize(NSMakeSize(width, 1000));
        layoutManager->addTextContainer(container);
        auto storage = NSTextStorage::initWithAttributedString(string);
        storage->addLayoutManager(layoutManager);
        return std::pair{layoutManager, storage};
    };
    auto [empty, emptyStorage] = layout(text(""), 500);
    NSSize used = NSMakeSize(-1, -1);
    EXPECT_EQ(empty->glyphPathsForContainer(empty->textContainers().back(), &used)->count(), 0u);
    EXPECT_GE(used.width, 0);
    EXPECT_GE(used.height, 0);

    auto [plainManager, plainStorage] = layout(text("ab"), 500);
    auto [decorated, decoratedStorage] = layout(text("ab", 1, 1), 500);
    NSRange all = NSMakeRange(0, 2);
    plainManager->drawGlyphsForGlyphRange(all, NSZeroPoint);
    NSInteger once = plainManager->textPath()->elementCount();
    EXPECT_GT(once, 0);
    plainManager->drawGlyphsForGlyphRange(all, NSZeroPoint);
    EXPECT_EQ(plainManager->textPath()->elementCount(), 2 * once);
    decorated->drawGlyphsForGlyphRange(all, NSZeroPoint);
    EXPECT_EQ(decorated->textPath()->elementCount(), once);

    // "ab ab" wrapped into two lines: the second line's "a" lies a line lower.
    auto [wrapped, wrappedStorage] = layout(text("ab ab"), 40);
    auto paths = wrapped->glyphPathsForContainer(wrapped->textContainers().back(), nullptr);
    ASSERT_EQ(paths->count(), 5u);
    NSRect firstA = static_ref_cast<NSBezierPath>(paths->objectAtIndex(0))->bounds();
    NSRect secondA = static_ref_cast<NSBezierPath>(paths->objectAtIndex(3))->bounds();
    CGFloat lineHeight = ZAKLayoutManager::lineHeightForFont(NSFont::fontWithName("Helvetica"_ns, 24));
    EXPECT_GT(lineHeight, 20);
    EXPECT_NEAR(secondA.origin.y - firstA.origin.y, lineHeight, 1);
    EXPECT_NEAR(secondA.origin.x, firstA.origin.x, 1e-6);
}
