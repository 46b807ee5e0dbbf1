#include "../ValueFixture.h"
#include "AppKit/NSMenuItem.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSValue.h"
#include "ZAKAppKit/ZAKPageFormat/ZAKPageFormat.h"

namespace {

constexpr NSSize kA4{595.2755737304688, 841.8897705078125};

using PageFormat = ValueTest;

TEST_F(PageFormat, MetricSizesCarrySinglePrecision)
{
    struct Case {
        int32_t row;
        double width, height;
        const char* name;
    } cases[] = {
        {0, 2383.93701171875, 3370.393798828125, "A0"},
        {4, 595.2755737304688, 841.8897705078125, "A4"},
        {8, 280.6299133300781, 595.2755737304688, "DIN Long"},
        {13, 1000.6299438476562, 1417.3228759765625, "B3"},
        {17, 249.44882202148438, 354.3307189941406, "B7"},
        {20, 612, 792, "US Letter"},
        {26, 240.94488188976376, 153.0708661417323, "Business Card (Europe)"},
        {27, 252, 144, "Business Card (America)"},
    };
    for (const Case& c : cases) {
        const NSSize size = ZAKPageFormat::sizeOfPageStandardFormat(c.row);
        EXPECT_EQ(size.width, c.width) << c.row;
        EXPECT_EQ(size.height, c.height) << c.row;
        EXPECT_EQ(utf8(ZAKPageFormat::nameForFormatWithSize(size)), c.name);
    }
    EXPECT_EQ(ZAKPageFormat::staticClass().version(), 1);
}

TEST_F(PageFormat, IndexesOutsideTheTableHaveNoSize)
{
    for (int32_t index : {28, 29, -1, 1000}) {
        const NSSize size = ZAKPageFormat::sizeOfPageStandardFormat(index);
        EXPECT_EQ(size.width, 0) << index;
        EXPECT_EQ(size.height, 0) << index;
    }
}

TEST_F(PageFormat, NamesOnlyTheStoredOrientation)
{
    EXPECT_EQ(utf8(ZAKPageFormat::nameForFormatWithSize(NSMakeSize(612, 792))), "US Letter");
    EXPECT_EQ(utf8(ZAKPageFormat::nameForFormatWithSize(NSMakeSize(792, 612))), "");
    EXPECT_EQ(utf8(ZAKPageFormat::nameForFormatWithSize(NSMakeSize(595, 842))), "");
}

TEST_F(PageFormat, MenuListsTheFormatsInGroups)
{
    auto menu = ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(true);
    ASSERT_EQ(menu->numberOfItems(), 33);
    std::vector<NSInteger> separators;
    for (NSInteger i = 0; i < menu->numberOfItems(); ++i)
        if (menu->itemAtIndex(i)->isSeparatorItem()) separators.push_back(i);
    EXPECT_EQ(separators, (std::vector<NSInteger>{10, 19, 28, 31}));

    auto a4 = menu->itemAtIndex(4);
    EXPECT_EQ(utf8(a4->title()), "A4");
    EXPECT_EQ(a4->tag(), 4);
    EXPECT_TRUE(a4->action().empty());
    EXPECT_EQ(utf8(a4->keyEquivalent()), "");
    EXPECT_EQ(dynamic_ref_cast<NSValue>(a4->representedObject())->sizeValue().width, kA4.width);
    auto card = menu->itemAtIndex(30);
    EXPECT_EQ(card->tag(), 27);
    auto custom = menu->itemAtIndex(32);
    EXPECT_EQ(utf8(custom->title()), "Custom Size");
    EXPECT_EQ(custom->tag(), 28);
    EXPECT_FALSE(custom->representedObject());

    EXPECT_EQ(ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(false)->numberOfItems(), 31);
}

TEST_F(PageFormat, FindsASizeInEitherOrientation)
{
    auto withFree = ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(true);
    auto withoutFree = ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(false);
    struct Case {
        NSSize size;
        bool free;
        NSInteger index, direction;
    } cases[] = {
        {kA4, true, 4, 0},
        {{kA4.height, kA4.width}, true, 4, 1},
        {{595, 842}, true, 32, 2},
        {{595, 842}, false, -1, 2},
        {{612, 792}, false, 22, 0},
        {{144, 252}, false, 30, 1},
        {{2448, 3168}, false, 27, 0},
    };
    for (const Case& c : cases) {
        NSInteger direction = -7;
        EXPECT_EQ(ZAKPageFormat::indexOfStandardPageFormatWithSize(c.size, c.free ? withFree : withoutFree, &direction),
                  c.index)
            << c.size.width << "x" << c.size.height;
        EXPECT_EQ(direction, c.direction) << c.size.width << "x" << c.size.height;
    }
    EXPECT_EQ(ZAKPageFormat::indexOfStandardPageFormatWithSize(kA4, withFree, nullptr), 4);
    NSInteger direction = -7;
    EXPECT_EQ(ZAKPageFormat::indexOfStandardPageFormatWithSize(kA4, NSMenu::menuWithTitle(""_ns), &direction), -1);
    EXPECT_EQ(direction, 2);
}

}  // namespace
