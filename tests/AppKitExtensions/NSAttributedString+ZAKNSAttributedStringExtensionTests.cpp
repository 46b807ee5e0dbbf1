// One-line drawing in a rectangle: which glyphs are drawn, where, and whether
// an ellipsis follows, checked against the layout of the DejaVu fonts.
#include <gtest/gtest.h>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextStorage.h"
#include "AppKitExtensions/NSAttributedString+ZAKNSAttributedStringExtension.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"

namespace {

Ref<NSDictionary> dejaVu()
{
    return NSDictionary::dictionaryWithObjectForKey(NSFont::fontWithName("DejaVu Sans"_ns, 12), NSFontAttributeName);
}

Ref<NSAttributedString> text(const char* utf8)
{
    return NSAttributedString::initWithString(NSString::stringWithUTF8String(utf8), dejaVu());
}

CGFloat advance(const char16_t character)
{
    Ref<NSFont> font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    return font->advancementForGlyph(font->glyphForCharacter(character)).width;
}

CGFloat ellipsisWidth()
{
    return NSStringExt::sizeWithAttributes(NSStringExt::horizontalEllipsisString(), dejaVu()).width;
}

CGFloat width(const std::u16string& characters)
{
    CGFloat sum = 0;
    for (char16_t c : characters) sum += advance(c);
    return sum;
}

}

TEST(OneLineDrawing, AStringThatFitsIsDrawnWholeWithoutEllipsis)
{
    struct Case {
        NSUInteger alignment;
        bool centred;
        CGFloat x, y;
    };
    const CGFloat w = width(u"Hello");
    Ref<NSLayoutManager> manager = NSAttributedStringExt::oneLineLayoutManager();
    for (const Case& c :
         {Case{0, false, 10, 20}, Case{1, false, 10 + 200 - w, 20}, Case{2, false, 10 + 100 - w / 2, 20}}) {
        auto drawing =
            NSAttributedStringExt::oneLineDrawing(text("Hello"), NSMakeRect(10, 20, 200, 40), c.alignment, c.centred);
        EXPECT_EQ(drawing.glyphs.location, 0u);
        EXPECT_EQ(drawing.glyphs.length, 5u);
        EXPECT_FALSE(drawing.ellipsis);
        EXPECT_NEAR(drawing.textWidth, w, 1e-6);
        EXPECT_NEAR(drawing.origin.x, c.x, 1e-6) << c.alignment;
        EXPECT_NEAR(drawing.origin.y, c.y, 1e-6);
    }
    // Vertically centred: the middle of the line on the middle of the rectangle.
    auto centred = NSAttributedStringExt::oneLineDrawing(text("Hello"), NSMakeRect(10, 20, 200, 40), 0, true);
    NSRect used = manager->lineFragmentUsedRectForGlyphAtIndex(0, nullptr);
    EXPECT_NEAR(centred.origin.y, 20 + 20 - used.size.height / 2, 1e-6);
    // An empty string draws nothing.
    EXPECT_EQ(NSAttributedStringExt::oneLineDrawing(text(""), NSMakeRect(0, 0, 100, 20), 0, false).glyphs.length, 0u);
}

TEST(OneLineDrawing, TheFirstOfTwoLinesIsFollowedByAnEllipsis)
{
    auto drawing = NSAttributedStringExt::oneLineDrawing(text("Hi\nthere"), NSMakeRect(0, 0, 200, 20), 0, false);
    Ref<NSLayoutManager> manager = NSAttributedStringExt::oneLineLayoutManager();
    NSRange line{0, 0};
    NSRect used = manager->lineFragmentUsedRectForGlyphAtIndex(0, &line);
    EXPECT_EQ(drawing.glyphs.location, 0u);
    EXPECT_EQ(drawing.glyphs.length, line.length);
    EXPECT_LT(line.length, manager->numberOfGlyphs());
    ASSERT_TRUE(drawing.ellipsis);
    EXPECT_NEAR(drawing.textWidth, used.size.width + ellipsisWidth(), 1e-6);
    EXPECT_NEAR(drawing.ellipsisOrigin.x, used.size.width, 1e-6);
}

TEST(OneLineDrawing, ALongLineIsCutBeforeTheEllipsis)
{
    // Room for "abc" and the ellipsis, not for "abcd" and the ellipsis.
    const CGFloat room = width(u"abc") + ellipsisWidth() + advance(u'd') * 0.25;
    auto drawing = NSAttributedStringExt::oneLineDrawing(text("abcdefghij"), NSMakeRect(5, 0, room, 20), 0, false);
    ASSERT_TRUE(drawing.ellipsis);
    EXPECT_EQ(drawing.glyphs.location, 0u);
    EXPECT_EQ(drawing.glyphs.length, 3u);
    EXPECT_NEAR(drawing.textWidth, width(u"abc") + ellipsisWidth(), 1e-6);
    EXPECT_NEAR(drawing.ellipsisOrigin.x, 5 + width(u"abc"), 1e-6);
}

TEST(OneLineDrawing, ARectangleNarrowerThanEllipsisAndFirstGlyphDrawsGlyphsOnly)
{
    const CGFloat room = ellipsisWidth() + advance(u'W') * 0.5;
    auto drawing = NSAttributedStringExt::oneLineDrawing(text("WWWWWW"), NSMakeRect(0, 0, room, 20), 0, false);
    Ref<NSLayoutManager> manager = NSAttributedStringExt::oneLineLayoutManager();
    NSUInteger atEdge = manager->glyphIndexForPoint(NSMakePoint(room, 5), manager->textContainers().front());
    EXPECT_FALSE(drawing.ellipsis);
    EXPECT_EQ(drawing.glyphs.location, 0u);
    EXPECT_EQ(drawing.glyphs.length, atEdge);
    EXPECT_GT(atEdge, 0u);
    EXPECT_NEAR(drawing.textWidth, manager->locationForGlyphAtIndex(atEdge).x, 1e-6);
}

TEST(OneLineDrawing, RightToLeftTextPutsTheEllipsisOnTheLeft)
{
    // Hebrew letters, far wider than the rectangle.
    auto drawing = NSAttributedStringExt::oneLineDrawing(
        text("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"),
        NSMakeRect(30, 0, 60, 20), 0, false);
    Ref<NSLayoutManager> manager = NSAttributedStringExt::oneLineLayoutManager();
    EXPECT_TRUE(drawing.rightToLeft);
    ASSERT_TRUE(drawing.ellipsis);
    EXPECT_EQ(drawing.ellipsisOrigin.x, drawing.origin.x);
    EXPECT_EQ(drawing.origin.x, 30);
    ASSERT_GT(drawing.glyphs.length, 0u);
    EXPECT_LT(drawing.glyphs.length, manager->numberOfGlyphs());
    NSUInteger cut = manager->glyphIndexForPoint(NSMakePoint(ellipsisWidth(), 5), manager->textContainers().front());
    EXPECT_EQ(drawing.glyphs.length, cut);
    EXPECT_NEAR(drawing.textWidth, 60 - manager->locationForGlyphAtIndex(cut).x + ellipsisWidth(), 1e-6);
}

TEST(OneLineDrawing, TheStringUtilitiesDrawTheCutLineAndTheEllipsis)
{
    auto recording = CGRecordingContext::create({400, 100});
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(recording, true));
    const CGFloat room = width(u"abc") + ellipsisWidth() + advance(u'd') * 0.25;
    NSStringExt::drawWithFontAttributes("abcdefghij"_ns, dejaVu(), 0, NSMakeRect(0, 0, room, 20));
    NSGraphicsContext::restoreGraphicsState();
    Ref<NSFont> font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    std::vector<NSGlyph> drawn;
    for (const auto& op : recording->operations())
        if (op.kind == CGRecordedOperation::Kind::Glyphs) drawn.insert(drawn.end(), op.glyphs.begin(), op.glyphs.end());
    std::vector<NSGlyph> expected = {font->glyphForCharacter('a'), font->glyphForCharacter('b'),
                                     font->glyphForCharacter('c'), font->glyphForCharacter(0x2026)};
    EXPECT_EQ(drawn, expected);
}

TEST(TextStorageRanges, RunsAreFoundByIdentityAndCutToTheRange)
{
    auto storage = NSObject::make<NSTextStorage>();
    storage->replaceCharactersInRange(NSMakeRange(0, 0), "aaabbbccc"_ns);
    Ref<NSString> value = NSString::stringWithUTF8String(std::string("tag"));
    Ref<NSString> equal = NSString::stringWithUTF8String(std::string("tag"));
    storage->addAttribute("K"_ns, value, NSMakeRange(3, 3));
    struct Case {
        NSRange got, expected;
    } cases[] = {
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, value, 0), {3, 3}},
        {NSTextStorageExt::longestRangeForAttribute(storage, "K"_ns, value, 0), {3, 3}},
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, equal, 0), {NSNotFound, 0}},  // equal, not the same
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, value, 6), {NSNotFound, 0}},
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, NSMakeRange(1, 3)), {3, 1}},
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, NSMakeRange(4, 5)), {4, 2}},
        {NSTextStorageExt::rangeForAttribute(storage, "K"_ns, NSMakeRange(6, 3)), {NSNotFound, 0}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].got.location, cases[i].expected.location) << i;
        EXPECT_EQ(cases[i].got.length, cases[i].expected.length) << i;
    }
}

TEST(AttributeDescriptions, FontDescriptionsAndComparisons)
{
    EXPECT_EQ(NSAttributedStringExt::humanReadableDescriptionForAttributes(NSDictionary::dictionary())->UTF8String(),
              "");
    Ref<NSFont> font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    EXPECT_EQ(NSAttributedStringExt::humanReadableDescriptionForAttributes(dejaVu())->UTF8String(),
              font->displayName()->UTF8String() + ", 12.00 pt");
    EXPECT_EQ(NSFontExt::fullDisplayName(font)->UTF8String(), "DejaVu Sans Book");
    EXPECT_EQ(NSFontExt::localizedNameOfMostCompatibleStringEncoding(font)->UTF8String(), "Western (Mac OS Roman)");
    EXPECT_EQ(NSAttributedStringExt::caseInsensitiveCompare(text("abc"), text("ABC")), NSOrderedSame);
    EXPECT_EQ(NSAttributedStringExt::localizedCaseInsensitiveCompare(text("abc"), text("ABD")), NSOrderedAscending);
}
