#include "Foundation/NSNumber.h"
#include "KeyRecorder/KRKeyCodeTransformer.h"
#include "KeyRecorder/KRKeyNaming.h"
#include "RecorderFixture.h"

TEST_F(RecorderTest, KeyNamesInTheCurrentLayout)
{
    const struct {
        int64_t code;
        const char* us;
        const char* french;
    } cases[] = {
        {0, "A", "Q"},
        {12, "Q", "A"},
        {5, "G", "G"},
        {122, "F1", "F1"},
        {80, "F19", "F19"},
        {49, "Space", "Space"},
        {36, "\u21A9", "\u21A9"},
        {114, "?", "?"},
        {53, "\u238B", "\u238B"},
        {87, "Pad 5", "Pad 5"},
        {-1, "(nil)", "(nil)"},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8(KRKeyNameForCode(c.code)), c.us) << c.code;
    KeyboardLayout::switchLayout("French");
    for (const auto& c : cases) EXPECT_EQ(utf8(KRKeyNameForCode(c.code)), c.french) << c.code;

    auto transformer = NSObject::make<KRKeyCodeTransformer>();
    EXPECT_FALSE(transformer->transformedValue("0"_ns));
    EXPECT_FALSE(transformer->reverseTransformedValue(NSNumber::numberWithInt(0)));
}

TEST_F(RecorderTest, ReverseMapFollowsTheLayout)
{
    auto transformer = NSObject::make<KRKeyCodeTransformer>();
    auto codeOf = [&](const char* name) {
        const auto n =
            dynamic_ref_cast<NSNumber>(transformer->reverseTransformedValue(NSString::stringWithUTF8String(name)));
        return n ? n->integerValue() : -1;
    };
    EXPECT_EQ(codeOf("A"), 0);
    EXPECT_EQ(codeOf("Q"), 12);
    EXPECT_EQ(codeOf("F1"), 122);
    EXPECT_EQ(codeOf("nothing"), -1);
    // The switch posts the input-source notice, which rebuilds the map.
    KeyboardLayout::switchLayout("French");
    EXPECT_EQ(codeOf("A"), 12);
    EXPECT_EQ(codeOf("Q"), 0);
    KeyboardLayout::switchLayout("US");
    EXPECT_EQ(codeOf("A"), 0);
}

TEST_F(RecorderTest, ModifierGlyphsWordsAndConversions)
{
    const NSUInteger all = 0x100000 | 0x80000 | 0x40000 | 0x20000;
    EXPECT_EQ(utf8(KRGlyphComboForCocoa(all, 0)), "\u2303\u2325\u21E7\u2318A");
    EXPECT_EQ(utf8(KRSpelledComboForCocoa(all, 0)), "Command + Option + Control + Shift + A");
    EXPECT_EQ(utf8(KRGlyphsForCocoaModifiers(0x100000 | 0x20000)), "\u21E7\u2318");
    EXPECT_EQ(utf8(KRGlyphComboForCarbon(0x300, 5)), "\u21E7\u2318G");

    const struct {
        NSUInteger cocoa;
        NSUInteger carbon;
    } cases[] = {
        {0x100000, 0x100},    {0x20000, 0x200}, {0x80000, 0x800}, {0x40000, 0x1000},
        {0x800000, 0x800000}, {all, 0x1B00},    {0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KRModifiersToCarbon(c.cocoa), c.carbon) << c.cocoa;
        EXPECT_EQ(KRModifiersFromCarbon(c.carbon), c.cocoa) << c.carbon;
    }
    EXPECT_EQ(KRModifiersToCarbon(0x10000 | 0x200000), 0u);

    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(0, 0x100000)), "A");
    EXPECT_EQ(utf8(KRKeyCharacterForCarbonFlags(5, 0x100)), "G");
}
