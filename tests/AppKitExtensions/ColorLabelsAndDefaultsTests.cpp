// The shared label colours and lettering colours, and colours kept in the
// user defaults as archives.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "AppKit/NSImage.h"
#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "AppKitExtensions/ZAKColorLabelColors.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "LogCapture.h"

using namespace NSUserDefaultsExt;

// Writes what NSColor would write, but with a chosen colour-space name and
// number of components, or a catalog colour's name.
class ForgedColor : public NSObject, public NSCoding {
    NS_OBJECT(ForgedColor, NSObject)
protected:
    ForgedColor() = default;

public:
    Ref<NSString> space;
    int32_t count = 0;
    Ref<NSString> colorName;
    void encodeWithCoder(NSCoder* coder) const override
    {
        coder->encodeObject(space);
        if (colorName) {
            coder->encodeObject("System"_ns);
            coder->encodeObject(colorName);
            return;
        }
        coder->encodeInt(count);
        for (int32_t i = 0; i < count; ++i) coder->encodeDouble(0.5);
    }
    Id initWithCoder(NSCoder*) override { return this; }
    const NSClass* classForCoder() const override { return &NSColor::classRecord(); }
};
NS_CLASS_DEFINE(ForgedColor)

namespace {

struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "colour-defaults-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    Ref<NSString> file(const char* name) const { return NSString::stringWithUTF8String((path / name).string()); }
};

// The same space, the same components bit for bit, and the same name.
void expectSameColor(const Ref<NSColor>& actual, const Ref<NSColor>& expected, const char* what)
{
    ASSERT_TRUE(actual) << what;
    EXPECT_TRUE(actual->colorSpaceName()->isEqualToString(expected->colorSpaceName())) << what;
    ASSERT_EQ(actual->numberOfComponents(), expected->numberOfComponents()) << what;
    std::vector<CGFloat> a(size_t(actual->numberOfComponents())), e(a.size());
    actual->getComponents(a.data());
    expected->getComponents(e.data());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::bit_cast<uint64_t>(a[i]), std::bit_cast<uint64_t>(e[i])) << what << ", component " << i;
    EXPECT_TRUE(actual->isEqual(expected.get())) << what;
}

struct ColorCase {
    const char* what;
    Ref<NSColor> color;
};

std::vector<ColorCase> colorCases()
{
    return {
        {"calibrated RGB", NSColor::colorWithCalibratedRed(0.1, 1.0 / 3, std::nextafter(0.7, 1.0), 0.8)},
        {"device RGB with -0, a subnormal and values past 1",
         NSColor::colorWithDeviceRed(-0.0, std::numeric_limits<double>::denorm_min(), 1.5, 1)},
        {"calibrated white", NSColor::colorWithCalibratedWhite(2.0 / 3, 0.25)},
        {"device white", NSColor::colorWithDeviceWhite(0.125, 1)},
        {"a system colour", NSColor::controlShadowColor()},
        {"a label colour", ZAKColorLabelColors::getLabelColorAtindex(5)},
    };
}

}

TEST(ColorLabels, ColoursByIndex)
{
    struct Case {
        NSInteger index;
        int red, green, blue;  // out of 255; -1 for no colour
    } cases[] = {
        {1, 252, 99, 89},   {2, 246, 170, 62},  {3, 235, 219, 65}, {4, 174, 216, 65}, {5, 92, 160, 255},
        {6, 194, 138, 217}, {7, 168, 168, 168}, {0, -1, 0, 0},     {8, -1, 0, 0},     {-1, -1, 0, 0},
    };
    for (const auto& c : cases) {
        auto color = ZAKColorLabelColors::getLabelColorAtindex(c.index);
        if (c.red < 0) {
            EXPECT_FALSE(color) << "index " << c.index;
            continue;
        }
        ASSERT_TRUE(color) << "index " << c.index;
        EXPECT_TRUE(color->colorSpaceName()->isEqualToString(NSCalibratedRGBColorSpace));
        EXPECT_EQ(color->redComponent(), c.red / 255.0) << "index " << c.index;
        EXPECT_EQ(color->greenComponent(), c.green / 255.0) << "index " << c.index;
        EXPECT_EQ(color->blueComponent(), c.blue / 255.0) << "index " << c.index;
        EXPECT_EQ(color->alphaComponent(), 1.0);
        EXPECT_TRUE(
            ZAKColorLabelColors::getLabelColorForLabelType(static_cast<int32_t>(c.index))->isEqual(color.get()));
    }
    auto list = ZAKColorLabelColors::sharedHSKColorLabelColors()->colorList();
    ASSERT_EQ(list->count(), 8u);
    EXPECT_TRUE(list->objectAtIndex(0)->isEqual(NSColor::clearColor().get()));
    EXPECT_FALSE(ZAKColorLabelColors::getLabelColorForLabelType(std::numeric_limits<int32_t>::min()));
}

TEST(ColorLabels, OneSharedInstance)
{
    auto shared = ZAKColorLabelColors::sharedHSKColorLabelColors();
    EXPECT_EQ(NSObject::make<ZAKColorLabelColors>(), shared);
    EXPECT_EQ(ZAKColorLabelColors::sharedHSKColorLabelColors(), shared);
    EXPECT_EQ(shared->colorList()->count(), 8u);
}

TEST(ColorLabels, AShortenedListHasNoColourPastItsEnd)
{
    auto list = ZAKColorLabelColors::sharedHSKColorLabelColors()->colorList();
    Id gray = list->lastObject();
    list->removeLastObject();
    EXPECT_FALSE(ZAKColorLabelColors::getLabelColorAtindex(7));
    EXPECT_TRUE(ZAKColorLabelColors::getLabelColorAtindex(6));
    list->addObject(gray);
}

TEST(ColorLabels, LetteringColours)
{
    auto white = NSColor::whiteColor(), black = NSColor::blackColor();
    struct Case {
        int32_t type;
        bool white;
    } cases[] = {{-2, false}, {-1, true}, {0, false}, {1, false},
                 {2, false},  {3, false}, {4, true},  {5, true},
                 {6, true},   {7, false}, {8, false}, {std::numeric_limits<int32_t>::min(), false}};
    for (const auto& c : cases) {
        auto color = ZAKColorLabelColors::letteringColorForLabelType(c.type);
        EXPECT_TRUE(color->isEqual((c.white ? white : black).get())) << "type " << c.type;
    }
}

TEST(ColorDefaults, RoundTripThroughTheDefaultsFile)
{
    ScratchFolder folder;
    auto path = folder.file("colours.plist");
    auto cases = colorCases();
    {
        auto defaults = NSUserDefaults::defaultsWithPath(path);
        for (const auto& c : cases) setColor(defaults, c.color, NSString::stringWithUTF8String(c.what));
        ASSERT_TRUE(defaults->synchronize());
        // Stored as data.
        EXPECT_TRUE(defaults->dataForKey(NSString::stringWithUTF8String(cases[0].what)));
    }
    auto reread = NSUserDefaults::defaultsWithPath(path);
    for (const auto& c : cases)
        expectSameColor(colorForKey(reread, NSString::stringWithUTF8String(c.what)), c.color, c.what);
    // A nil colour removes the key.
    setColor(reread, nullptr, "calibrated white"_ns);
    EXPECT_FALSE(reread->objectForKey("calibrated white"_ns));
}

TEST(ColorDefaults, WhatIsNotAColourReadsAsNil)
{
    ScratchFolder folder;
    auto defaults = NSUserDefaults::defaultsWithPath(folder.file("colours.plist"));
    auto forged = [](const char* space, int32_t count, const char* name = nullptr) {
        auto f = NSObject::make<ForgedColor>();
        f->space = NSString::stringWithUTF8String(space);
        f->count = count;
        if (name) f->colorName = NSString::stringWithUTF8String(name);
        return NSArchiver::archivedDataWithRootObject(f);
    };
    auto damaged = NSMutableData::dataWithData(NSArchiver::archivedDataWithRootObject(NSColor::redColor()));
    static_cast<uint8_t*>(damaged->mutableBytes())[damaged->length() - 3] ^= 0x40;
    struct Case {
        const char* what;
        Id value;
        bool logged;
    } cases[] = {
        {"a string", "red"_ns, false},
        {"the archive of a string", NSArchiver::archivedDataWithRootObject("red"_ns), true},
        {"bytes that are no archive", NSData::dataWithBytes("colour", 6), true},
        {"a changed byte", damaged, true},
        {"five components for RGB", forged("NSCalibratedRGBColorSpace", 5), true},
        {"a negative count", forged("NSCalibratedRGBColorSpace", -1), true},
        {"a pattern space", forged("NSPatternColorSpace", 1), true},
        {"an unknown system colour", forged("NSNamedColorSpace", 0, "noSuchColor"), true},
    };
    for (const auto& c : cases) {
        defaults->setObject(c.value, "colour"_ns);
        LogCapture log;
        EXPECT_FALSE(colorForKey(defaults, "colour"_ns)) << c.what;
        EXPECT_EQ(log.lines().size(), c.logged ? 1u : 0u) << c.what;
    }
    EXPECT_FALSE(colorForKey(defaults, "absent"_ns));
}

TEST(ColorDefaults, PatternColoursAreRefused)
{
    ScratchFolder folder;
    auto defaults = NSUserDefaults::defaultsWithPath(folder.file("colours.plist"));
    setColor(defaults, NSColor::redColor(), "colour"_ns);
    auto pattern = NSColor::colorWithPatternImage(NSImage::initWithSize(NSMakeSize(2, 2)));
    EXPECT_THROW(setColor(defaults, pattern, "colour"_ns), NSException);
    expectSameColor(colorForKey(defaults, "colour"_ns), NSColor::redColor(), "the colour stored before");
}

TEST(ColorArchives, KeyedRoundTrip)
{
    for (const auto& c : colorCases()) {
        auto data = NSKeyedArchiver::archivedDataWithRootObject(c.color);
        auto decoded = dynamic_ref_cast<NSColor>(
            NSKeyedUnarchiver::unarchiveObjectWithData(data, {&NSColor::classRecord(), &NSString::classRecord()}));
        expectSameColor(decoded, c.color, c.what);
    }
}
