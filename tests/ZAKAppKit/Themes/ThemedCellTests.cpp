#include <gtest/gtest.h>

#include "AppKit/NSColor.h"
#include "AppKit/NSColorSpace.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSImage.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSGeometryStrings.h"
#include "ThemedCellRecording.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"
#include "ZAKAppKit/ZAKTButton/ZAKTImageCell.h"
#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

namespace {

Ref<NSImage> solidImage(CGFloat w, CGFloat h)
{
    auto image = NSImage::initWithSize(NSMakeSize(w, h));
    image->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, w, h));
    image->unlockFocus();
    return image;
}

Ref<ZAKTButtonCell> themedCell(const char* key)
{
    auto cell = NSObject::make<ZAKTButtonCell>();
    cell->setTitle("Title"_ns);
    if (key) cell->setThemeKey(NSString::stringWithUTF8String(key));
    return cell;
}

}

TEST(ThemedButtonCell, WithoutAThemeDrawsExactlyAsThePlatformCell)
{
    struct Case {
        const char* name;
        std::function<void(NSButtonCell&)> setUp;
    } cases[] = {
        {"push", [](NSButtonCell&) {}},
        {"pressed", [](NSButtonCell& c) { c.setHighlighted(true); }},
        {"disabled", [](NSButtonCell& c) { c.setEnabled(false); }},
        {"check box on",
         [](NSButtonCell& c) {
             c.setButtonType(NSSwitchButton);
             c.setState(NSOnState);
         }},
        {"unbordered pressed with image",
         [](NSButtonCell& c) {
             c.setBordered(false);
             c.setImage(solidImage(10, 10));
             c.setImagePosition(NSImageLeft);
             c.setHighlighted(true);
         }},
    };
    for (const auto& c : cases) {
        auto themed = themedCell(nullptr);
        auto plain = NSObject::make<NSButtonCell>();
        plain->setTitle("Title"_ns);
        c.setUp(*themed);
        c.setUp(*plain);
        plain->setHighlightsBy(themed->highlightsBy());
        plain->setShowsStateBy(themed->showsStateBy());
        const NSRect frame = NSMakeRect(2, 4, 110, 24);
        EXPECT_EQ(pixels([&] { themed->drawWithFrame(frame, nullptr); }),
                  pixels([&] { plain->drawWithFrame(frame, nullptr); }))
            << c.name;
    }
}

TEST(ThemedButtonCell, ImageRectangleOfAnUnborderedImageOnlyCell)
{
    struct Case {
        bool bordered;
        NSUInteger highlightMask, mode;
        CGFloat dx, dy;  // the inset; negative: the platform's rectangle
    } cases[] = {{false, 12, 1, 20, 10}, {false, 12, 0, 10, 5}, {false, 4, 1, 10, 5}, {true, 12, 1, -1, -1}};
    const NSRect bounds = NSMakeRect(0, 0, 70, 35);
    for (const auto& c : cases) {
        auto cell = NSObject::make<ZAKTButtonCell>();
        cell->initImageCell(solidImage(8, 8));
        cell->setBordered(c.bordered);
        cell->setHighlightsBy(c.highlightMask);
        cell->setHighlightBackgroundMode(c.mode);
        // The rule holds with and without a theme.
        for (const char* key : {"ZAKLightGrayTheme", "NoSuchTheme"}) {
            cell->setThemeKey(NSString::stringWithUTF8String(key));
            const NSRect want =
                c.dx < 0 ? cell->NSButtonCell::imageRectForBounds(bounds) : NSInsetRect(bounds, c.dx, c.dy);
            EXPECT_TRUE(NSEqualRects(cell->imageRectForBounds(bounds), want))
                << c.bordered << "/" << c.highlightMask << "/" << c.mode << " " << key;
        }
    }
}

TEST(ThemedButtonCell, ButtonTypeAddsBackgroundHighlightingToUnborderedCells)
{
    for (bool bordered : {false, true}) {
        auto cell = themedCell(nullptr);
        cell->setBordered(bordered);
        cell->setButtonType(NSMomentaryChangeButton);  // the platform's mask: contents (1)
        EXPECT_EQ(cell->highlightsBy(), bordered ? 1u : 9u) << bordered;
        EXPECT_EQ(cell->recordedButtonType(), NSUInteger(NSMomentaryChangeButton));
    }
    EXPECT_EQ(themedCell(nullptr)->highlightsBy(), 12u);
}

TEST(ThemedButtonCell, TitleRectangleAndThemeColour)
{
    struct Case {
        NSButtonType type;
        NSRect want;
    } cases[] = {{NSMomentaryPushInButton, NSMakeRect(5, 0, 90, 18)},
                 {NSSwitchButton, NSMakeRect(0, 0, 100, 20)},
                 {NSRadioButton, NSMakeRect(0, 0, 100, 20)}};
    for (const auto& c : cases) {
        auto cell = themedCell("ZAKLightGrayTheme");
        cell->setButtonType(c.type);
        cell->setEnabled(false);
        NSRect got;
        auto ops = record([&] { got = cell->drawTitle(cell->attributedTitle(), NSMakeRect(0, 0, 100, 20), nullptr); });
        EXPECT_TRUE(NSEqualRects(got, c.want)) << c.type;
        auto glyphs = ofKind(ops, Kind::Glyphs);
        ASSERT_FALSE(glyphs.empty()) << c.type;
        // Disabled: the theme's disabled text colour.
        CGFloat r, g, b, a;
        NSColor::disabledControlTextColor()
            ->colorUsingColorSpace(NSColorSpace::deviceRGBColorSpace())
            ->getRed(&r, &g, &b, &a);
        EXPECT_NEAR(glyphs[0].paint.color.r, r, 1e-6) << c.type;
        EXPECT_NEAR(glyphs[0].paint.color.a, a, 1e-6) << c.type;
    }
}

TEST(ThemedButtonCell, BorderSidesAreOnePointStripsInsetByTwo)
{
    // Light gray answers no border gradient; glass answers one.
    struct Case {
        const char* key;
        NSUInteger sides;
        std::vector<NSRect> strips;
    } cases[] = {
        {"ZAKLightGrayTheme", 3, {}},
        {"ZAKGlassTheme", 3, {NSMakeRect(2, 3, 1, 14), NSMakeRect(97, 3, 1, 14)}},
        {"ZAKGlassTheme", 12, {NSMakeRect(4, 1, 92, 1), NSMakeRect(4, 18, 92, 1)}},
    };
    for (const auto& c : cases) {
        auto cell = themedCell(c.key);
        cell->setBordered(false);
        cell->setBorderSideMask(c.sides);
        auto ops = record([&] { cell->drawInteriorWithFrame(NSMakeRect(0, 0, 100, 20), nullptr); });
        auto gradients = ofKind(ops, Kind::LinearGradient);
        ASSERT_EQ(gradients.size(), c.strips.size()) << c.key << " " << c.sides;
        // Each strip is drawn clipped to its rectangle.
        std::vector<NSRect> clips;
        for (const auto& op : ofKind(ops, Kind::Clip)) clips.push_back(op.path.bounds());
        for (const NSRect& strip : c.strips) {
            bool found = false;
            for (const NSRect& clip : clips) found = found || NSEqualRects(clip, strip);
            EXPECT_TRUE(found) << c.key << " strip " << NSStringFromRect(strip)->UTF8String();
        }
    }
}

TEST(ThemedImageCell, DrawsAtTheThemesAlphaForStyleAndState)
{
    ZAKThemeManager::sharedThemeManager()->setTheme(NSObject::make<ZAKAbstractTheme>(), "ThemedCellTests.Abstract"_ns);
    struct Case {
        bool enabled;
        NSBackgroundStyle style;
        double alpha;
    } cases[] = {{false, NSBackgroundStyleLight, 0.2f},  {false, NSBackgroundStyleDark, 0.2f},
                 {false, NSBackgroundStyleRaised, 0.2f}, {false, NSBackgroundStyleLowered, 0.2f},
                 {true, NSBackgroundStyleDark, 1.0},     {true, NSBackgroundStyleLight, 0.6f}};
    for (const auto& c : cases) {
        auto cell = NSObject::make<ZAKTImageCell>();
        cell->setImage(solidImage(16, 16));
        cell->setThemeKey("ThemedCellTests.Abstract"_ns);
        cell->setEnabled(c.enabled);
        cell->setBackgroundStyle(c.style);
        auto images =
            ofKind(record([&] { cell->drawInteriorWithFrame(NSMakeRect(0, 0, 40, 30), nullptr); }), Kind::Image);
        ASSERT_EQ(images.size(), 1u) << c.enabled << "/" << c.style;
        EXPECT_EQ(images[0].fraction, c.alpha) << c.enabled << "/" << c.style;
    }
    // Without an image nothing is drawn.
    auto empty = NSObject::make<ZAKTImageCell>();
    empty->setThemeKey("ThemedCellTests.Abstract"_ns);
    EXPECT_TRUE(record([&] { empty->drawInteriorWithFrame(NSMakeRect(0, 0, 40, 30), nullptr); }).empty());
}

TEST(ThemedPopUpCell, HighlightedUnborderedFillsWhiteWithoutArrows)
{
    auto cell = NSObject::make<ZAKTPopUpButtonCell>();
    cell->addItemWithTitle("One"_ns);
    cell->setBordered(false);
    cell->setHighlighted(true);
    cell->setThemeKey("ZAKWhiteTheme"_ns);
    const NSRect frame = NSMakeRect(0, 0, 120, 22);
    auto ops = record([&] { cell->drawWithFrame(frame, nullptr); });
    auto fills = ofKind(ops, Kind::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_TRUE(NSEqualRects(fills[0].path.bounds(), frame));
    EXPECT_EQ(fills[0].paint.color, (CGRGBA{1, 1, 1, 1}));
    EXPECT_EQ(fills[0].operation, NSCompositingOperationSourceAtop);
    // The theme replaces the platform bezel and its arrows: nothing is stroked.
    EXPECT_TRUE(ofKind(ops, Kind::Stroke).empty());

    // Without a theme the platform's pop-up, arrows included.
    cell->setThemeKey(nullptr);
    auto plain = NSObject::make<NSPopUpButtonCell>();
    plain->addItemWithTitle("One"_ns);
    plain->setBordered(false);
    plain->setHighlighted(true);
    plain->setHighlightsBy(cell->highlightsBy());
    EXPECT_EQ(pixels([&] { cell->drawWithFrame(frame, nullptr); }),
              pixels([&] { plain->drawWithFrame(frame, nullptr); }));
    EXPECT_FALSE(ofKind(record([&] { cell->drawWithFrame(frame, nullptr); }), Kind::Stroke).empty());
}

TEST(ThemedCells, CopiesAndArchivesKeepExactlyTheirKeys)
{
    auto cell = themedCell("ZAKGrayTheme");
    cell->setButtonType(NSToggleButton);
    cell->setHighlightBackgroundMode(2);
    cell->setStateBackgroundMode(3);
    auto copy = dynamic_ref_cast<ZAKTButtonCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->themeKey()->isEqualToString("ZAKGrayTheme"_ns));
    EXPECT_NE(copy->themeKey().get(), cell->themeKey().get());  // its own copy
    EXPECT_EQ(copy->recordedButtonType(), NSUInteger(NSToggleButton));
    EXPECT_EQ(copy->highlightBackgroundMode(), 2u);
    EXPECT_EQ(copy->stateBackgroundMode(), 3u);
    EXPECT_EQ(ownKeys(cell, "ZAKTButtonCell"),
              (std::vector<std::string>{"themeKey", "KQButtonType", "highlightBgMode", "stateBgMode"}));
    auto back = dynamic_ref_cast<ZAKTButtonCell>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(cell)));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->themeKey()->isEqualToString("ZAKGrayTheme"_ns));
    EXPECT_EQ(back->recordedButtonType(), NSUInteger(NSToggleButton));
    EXPECT_EQ(back->stateBackgroundMode(), 3u);

    auto popUp = NSObject::make<ZAKTPopUpButtonCell>();
    popUp->setThemeKey("ZAKHUDTheme"_ns);
    popUp->setHighlightBackgroundMode(1);
    popUp->setBorderSideMask(5);
    auto popUpCopy = dynamic_ref_cast<ZAKTPopUpButtonCell>(popUp->copy());
    ASSERT_TRUE(popUpCopy);
    EXPECT_TRUE(popUpCopy->themeKey()->isEqualToString("ZAKHUDTheme"_ns));
    EXPECT_EQ(popUpCopy->highlightBackgroundMode(), 1u);
    EXPECT_EQ(ownKeys(popUp, "ZAKTPopUpButtonCell"), (std::vector<std::string>{"themeKey", "highlightBgMode"}));
}

TEST(ThemedCells, ArchivesWithMissingOrWrongValuesDecodeTheDefaults)
{
    struct Case {
        const char* name;
        nlohmann::ordered_json keys;
        NSUInteger buttonType, highlightMode;
        bool hasKey;
    } cases[] = {
        {"no keys", {{"NSBordered", false}}, 0, 0, false},
        {"string button type", {{"NSBordered", false}, {"KQButtonType", "five"}, {"highlightBgMode", 2}}, 0, 2, false},
        {"number key", {{"NSBordered", true}, {"themeKey", 7}, {"KQButtonType", 4}}, 4, 0, false},
        {"all", {{"NSBordered", true}, {"themeKey", "ZAKGlassTheme"}, {"KQButtonType", 3}}, 3, 0, true},
    };
    for (const auto& c : cases) {
        auto cell = dynamic_ref_cast<ZAKTButtonCell>(decode("ZAKTButtonCell", c.keys));
        ASSERT_TRUE(cell) << c.name;
        EXPECT_EQ(cell->recordedButtonType(), c.buttonType) << c.name;
        EXPECT_EQ(cell->highlightBackgroundMode(), c.highlightMode) << c.name;
        EXPECT_EQ(bool(cell->themeKey()), c.hasKey) << c.name;
        if (!cell->isBordered()) EXPECT_TRUE(cell->highlightsBy() & NSChangeBackgroundCellMask) << c.name;
    }
    auto popUp = dynamic_ref_cast<ZAKTPopUpButtonCell>(
        decode("ZAKTPopUpButtonCell", {{"NSBordered", false}, {"highlightBgMode", "glow"}}));
    ASSERT_TRUE(popUp);
    EXPECT_EQ(popUp->highlightBackgroundMode(), 0u);
    EXPECT_TRUE(popUp->highlightsBy() & NSChangeBackgroundCellMask);
}

TEST(ThemedCells, AThemeRegisteredLaterIsUsedAtTheNextDraw)
{
    auto cell = themedCell("ThemedCellTests.Late");
    cell->setBordered(false);
    cell->setBorderSideMask(1);
    const NSRect frame = NSMakeRect(0, 0, 100, 20);
    EXPECT_TRUE(ofKind(record([&] { cell->drawInteriorWithFrame(frame, nullptr); }), Kind::LinearGradient).empty());
    ZAKThemeManager::sharedThemeManager()->setTheme(
        ZAKThemeManager::sharedThemeManager()->themeForKey("ZAKGlassTheme"_ns), "ThemedCellTests.Late"_ns);
    EXPECT_EQ(ofKind(record([&] { cell->drawInteriorWithFrame(frame, nullptr); }), Kind::LinearGradient).size(), 1u);
}
