// The themed segmented cell: refused styles, the outline, separators and
// segment fills through the theme, where image and label go, and its key in
// archives and copies.
#include <gtest/gtest.h>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSSegmentedControl.h"
#include "Foundation/NSClass.h"
#include "LogCapture.h"
#include "ThemedCellRecording.h"
#include "ZAKAppKit/ZAKTSegmentedCell/ZAKTSegmentedCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

namespace {

class ShadowedTheme : public ZAKAbstractTheme {
    NS_OBJECT(ShadowedTheme, ZAKAbstractTheme)
protected:
    ShadowedTheme() = default;

public:
    bool applyShadows() const override { return true; }
};

Ref<ZAKTSegmentedCell> segmentedCell(const char* key, NSInteger count)
{
    auto cell = NSObject::make<ZAKTSegmentedCell>();
    cell->setSegmentCount(count);
    for (NSInteger i = 0; i < count; ++i) cell->setLabel(NSString::stringWithFormat("S%ld", long(i)), i);
    if (key) cell->setThemeKey(NSString::stringWithUTF8String(key));
    return cell;
}

Ref<NSImage> solidImage(CGFloat w, CGFloat h)
{
    auto image = NSImage::initWithSize(NSMakeSize(w, h));
    image->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, w, h));
    image->unlockFocus();
    return image;
}

// Where an image operation put the image, in user space.
NSRect drawnRect(const CGRecordedOperation& op)
{
    const CGPoint a = CGPointApplyAffineTransform(op.rect.origin, op.imageToUser);
    const CGPoint b = CGPointApplyAffineTransform(
        CGPointMake(op.rect.origin.x + op.rect.size.width, op.rect.origin.y + op.rect.size.height), op.imageToUser);
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}

// Vertical two-point strokes: the separators.
std::vector<CGFloat> separatorXs(const std::vector<CGRecordedOperation>& ops)
{
    std::vector<CGFloat> xs;
    for (const auto& op : ofKind(ops, Kind::Stroke)) {
        const auto& e = op.path.elements;
        if (e.size() == 2 && e[0].points[0].x == e[1].points[0].x) xs.push_back(e[0].points[0].x);
    }
    return xs;
}

}

NS_CLASS_DEFINE(ShadowedTheme)

TEST(ThemedSegmentedCell, TakesOnlyTheRoundedAndSmallSquareStyles)
{
    struct Case {
        NSInteger style, kept;
        bool warned;
    } cases[] = {{6, 6, false}, {1, 1, false}, {2, 1, true}, {0, 1, true}, {4, 1, true}};
    auto cell = segmentedCell(nullptr, 1);
    for (const auto& c : cases) {
        LogCapture log;
        cell->setSegmentStyle(c.style);
        EXPECT_EQ(cell->segmentStyle(), c.kept) << c.style;
        EXPECT_EQ(log.lines(),
                  c.warned ? std::vector<std::string>{"Warning: unsupported segment style for:ZAKTSegmentedCell"}
                           : std::vector<std::string>{})
            << c.style;
    }
    EXPECT_FALSE(cell->_canAnimate());
    EXPECT_FALSE(cell->_isSliderStyle());
}

TEST(ThemedSegmentedCell, DrawsASeparatorAfterEverySegmentButTheLast)
{
    struct Case {
        NSInteger count;
        std::vector<CGFloat> separators;
    } cases[] = {{1, {}}, {3, {50, 100}}};
    for (const auto& c : cases) {
        auto cell = segmentedCell("ZAKFlatDarkTheme", c.count);
        auto ops = record([&] { cell->drawWithFrame(NSMakeRect(0, 0, 150, 24), nullptr); });
        EXPECT_EQ(separatorXs(ops), c.separators) << c.count;
        // The outline is stroked once and then clips the segments.
        EXPECT_EQ(ofKind(ops, Kind::Stroke).size(), c.separators.size() + 1) << c.count;
        EXPECT_EQ(ofKind(ops, Kind::LinearGradient).size(), size_t(c.count)) << c.count;
    }
}

TEST(ThemedSegmentedCell, FillsSegmentsWithTheSelectedOrDisabledGradient)
{
    const double a6 = double(0.6f), a2 = double(0.2f);
    struct Case {
        bool enabled;
        std::vector<std::pair<double, double>> firstStop;  // red, alpha per segment
    } cases[] = {
        {true, {{double(0.251f), a6}, {double(0.451f), a6}, {double(0.251f), a6}}},
        // Disabled: every segment in the mask-1 gradient, the selected one too.
        {false, {{double(0.251f), a2}, {double(0.251f), a2}, {double(0.251f), a2}}},
    };
    for (const auto& c : cases) {
        auto cell = segmentedCell("ZAKFlatDarkTheme", 3);
        cell->setSelectedSegment(1);
        cell->setEnabled(c.enabled);
        auto gradients =
            ofKind(record([&] { cell->drawWithFrame(NSMakeRect(0, 0, 150, 24), nullptr); }), Kind::LinearGradient);
        ASSERT_EQ(gradients.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(gradients[i].stops[0].color.r, c.firstStop[i].first, 1e-6) << c.enabled << " " << i;
            EXPECT_NEAR(gradients[i].stops[0].color.a, c.firstStop[i].second, 1e-6) << c.enabled << " " << i;
        }
    }
}

TEST(ThemedSegmentedCell, PlacesImageAndLabelTogetherInTheSegment)
{
    const NSRect frame = NSMakeRect(20, 0, 60, 24);
    auto image = solidImage(10, 10);
    struct Case {
        const char* label;
        bool withImage;
        NSRect segment;
    } cases[] = {{"", true, frame}, {"Label", true, frame}, {"A rather long label", false, NSMakeRect(0, 0, 20, 24)}};
    for (const auto& c : cases) {
        auto cell = segmentedCell("ZAKGrayTheme", 1);
        cell->setLabel(NSString::stringWithUTF8String(c.label), 0);
        if (c.withImage) {
            cell->setImage(image, 0);
            cell->setImageScaling(NSImageScaleNone, 0);
        }
        auto ops = record([&] { cell->drawInteriorForSegment(0, c.segment); });
        auto images = ofKind(ops, Kind::Image);
        auto glyphs = ofKind(ops, Kind::Glyphs);
        const std::string what = c.label;
        if (!c.withImage) {
            ASSERT_EQ(glyphs.size(), 1u);
            EXPECT_EQ(glyphs[0].positions[0].x, 3) << "a label never starts left of x 3";
            continue;
        }
        ASSERT_EQ(images.size(), 1u) << what;
        EXPECT_EQ(images[0].operation, NSCompositingOperationSourceAtop);
        EXPECT_EQ(images[0].fraction, double(0.6f));
        const NSRect at = drawnRect(images[0]);
        EXPECT_EQ(at.origin.y, 7) << what;
        if (*c.label == 0) {
            EXPECT_TRUE(glyphs.empty());
            EXPECT_EQ(at.origin.x, 45) << "centred";
            continue;
        }
        ASSERT_EQ(glyphs.size(), 1u);
        EXPECT_EQ(glyphs[0].positions[0].x - NSMaxX(at), 5) << "image and label 5 points apart";
        EXPECT_LT(at.origin.x, 45);
    }
}

TEST(ThemedSegmentedCell, DrawsAResizedCopyOfAnImageThatScalesDown)
{
    auto image = solidImage(20, 40);
    image->setScalesWhenResized(false);
    auto cell = segmentedCell("ZAKGrayTheme", 1);
    cell->setLabel(""_ns, 0);
    cell->setImage(image, 0);  // scales proportionally down by default
    auto images = ofKind(record([&] { cell->drawInteriorForSegment(0, NSMakeRect(0, 0, 60, 24)); }), Kind::Image);
    ASSERT_EQ(images.size(), 1u);
    const NSRect at = drawnRect(images[0]);
    EXPECT_EQ(at.size.height, 20);
    EXPECT_EQ(at.size.width, 10);
    EXPECT_TRUE(NSEqualSizes(image->size(), NSMakeSize(20, 40)));  // the shared image keeps its size
    EXPECT_FALSE(image->scalesWhenResized());
    EXPECT_EQ(cell->imageForSegment(0).get(), image.get());
}

TEST(ThemedSegmentedCell, AShadowedThemeInsetsTheDrawingRectangle)
{
    ZAKThemeManager::sharedThemeManager()->setTheme(NSObject::make<ShadowedTheme>(), "SegmentedCellTests.Shadowed"_ns);
    const NSRect bounds = NSMakeRect(0, 0, 100, 20);
    auto plain = NSObject::make<NSSegmentedCell>()->drawingRectForBounds(bounds);
    struct Case {
        const char* key;
        NSRect rect;
    } cases[] = {{nullptr, plain},
                 {"ZAKFlatDarkTheme", plain},
                 {"SegmentedCellTests.Shadowed",
                  NSMakeRect(plain.origin.x + 1.5, plain.origin.y + 0.5, plain.size.width - 3, plain.size.height - 3)}};
    for (const auto& c : cases)
        EXPECT_TRUE(NSEqualRects(segmentedCell(c.key, 1)->drawingRectForBounds(bounds), c.rect))
            << (c.key ? c.key : "none");
}

TEST(ThemedSegmentedCell, WithoutAThemeDrawsExactlyAsThePlatformCell)
{
    auto themed = segmentedCell("SegmentedCellTests.NoSuchTheme", 3);
    auto plain = NSObject::make<NSSegmentedCell>();
    plain->setSegmentCount(3);
    for (NSInteger i = 0; i < 3; ++i) plain->setLabel(themed->labelForSegment(i), i);
    for (const Ref<NSSegmentedCell>& c : {Ref<NSSegmentedCell>(themed), plain}) c->setSelectedSegment(2);
    const NSRect frame = NSMakeRect(2, 4, 110, 24);
    EXPECT_EQ(pixels([&] { themed->drawWithFrame(frame, nullptr); }),
              pixels([&] { plain->drawWithFrame(frame, nullptr); }));
    EXPECT_TRUE(record([&] { themed->drawInteriorForSegment(0, frame); }).empty());
}

TEST(ThemedSegmentedCell, KeepsItsThemeKeyInArchivesAndCopies)
{
    auto cell = segmentedCell("ZAKHUDTheme", 2);
    cell->setSegmentStyle(NSSegmentStyleSmallSquare);
    EXPECT_EQ(ownKeys(cell, "ZAKTSegmentedCell"), std::vector<std::string>{"themeKey"});
    auto back = dynamic_ref_cast<ZAKTSegmentedCell>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(cell)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->themeKey()->UTF8String(), std::string("ZAKHUDTheme"));
    EXPECT_EQ(back->segmentStyle(), NSSegmentStyleSmallSquare);
    EXPECT_EQ(back->segmentCount(), 2);
    auto copy = dynamic_ref_cast<ZAKTSegmentedCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->themeKey()->UTF8String(), std::string("ZAKHUDTheme"));
    auto keyless = dynamic_ref_cast<ZAKTSegmentedCell>(decode("ZAKTSegmentedCell", nlohmann::ordered_json::object()));
    ASSERT_TRUE(keyless);
    EXPECT_FALSE(keyless->themeKey());
    EXPECT_TRUE(cell->hasText());
    EXPECT_FALSE(segmentedCell(nullptr, 0)->hasText());
}
