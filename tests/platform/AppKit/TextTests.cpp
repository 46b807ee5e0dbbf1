#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSFontManager.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSStringDrawing.h"
#include "CoreGraphics/CGCairoContext.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"

namespace {

struct Current {
    explicit Current(const Ref<CGContext>& port, bool flipped)
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, flipped));
    }
    ~Current() { NSGraphicsContext::restoreGraphicsState(); }
};

Ref<NSDictionary> fontAttributes(const Ref<NSFont>& font)
{
    return NSDictionary::dictionaryWithObjectForKey(font, NSFontAttributeName);
}

std::vector<const CGRecordedOperation*> glyphDraws(const Ref<CGRecordingContext>& rec)
{
    std::vector<const CGRecordedOperation*> out;
    for (const auto& op : rec->operations())
        if (op.kind == CGRecordedOperation::Kind::Glyphs) out.push_back(&op);
    return out;
}

}

TEST(Fonts, DejaVuSansMetricsAreUnhintedAndComplete)
{
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    ASSERT_TRUE(font);
    EXPECT_DOUBLE_EQ(font->ascender(), 1901.0 / 2048 * 12);
    EXPECT_DOUBLE_EQ(font->descender(), -483.0 / 2048 * 12);
    EXPECT_EQ(font->leading(), 0);
    EXPECT_GT(font->xHeight(), 5);
    EXPECT_LT(font->xHeight(), font->capHeight());
    EXPECT_LT(font->capHeight(), font->ascender());
    EXPECT_GT(font->boundingRectForFont().size.height, font->ascender() - font->descender());
    NSGlyph a = font->glyphForCharacter('A');
    EXPECT_NE(a, 0u);
    EXPECT_GT(font->advancementForGlyph(a).width, 6);
    EXPECT_LT(font->underlinePosition(), 0);
    EXPECT_GT(font->underlineThickness(), 0);
    // Metrics scale with the size.
    EXPECT_DOUBLE_EQ(NSFont::fontWithName("DejaVu Sans"_ns, 24)->xHeight(), 2 * font->xHeight());
}

TEST(Fonts, NamesResolveThroughTheAliasTableOnly)
{
    struct Case {
        const char* name;
        const char* family;  // null: no font
        bool bold;
    } cases[] = {
        {"Helvetica", "Liberation Sans", false},  {"Helvetica-Bold", "Liberation Sans", true},
        {"Arial", "Liberation Sans", false},      {"Times", "Liberation Serif", false},
        {"Courier", "Liberation Mono", false},    {"Menlo", "Liberation Mono", false},
        {"Lucida Grande", "DejaVu Sans", false},  {"HelveticaNeue-Bold", "DejaVu Sans", true},
        {"DejaVuSans-Bold", "DejaVu Sans", true}, {"Liberation Serif", "Liberation Serif", false},
        {"NoSuchFont", nullptr, false},           {"Nimbus Sans", nullptr, false},
        {"URW Gothic", nullptr, false},
    };
    for (const Case& c : cases) {
        auto font = NSFont::fontWithName(NSString::stringWithUTF8String(c.name), 11);
        if (!c.family) {
            EXPECT_FALSE(font) << c.name;
            continue;
        }
        ASSERT_TRUE(font) << c.name;
        EXPECT_EQ(font->familyName()->UTF8String(), c.family) << c.name;
        EXPECT_EQ((NSFontManager::sharedFontManager()->traitsOfFont(font) & NSBoldFontMask) != 0, c.bold) << c.name;
    }
    EXPECT_EQ(NSFont::systemFontOfSize(0)->pointSize(), 13);
    EXPECT_EQ(NSFont::systemFontOfSize(0)->familyName()->UTF8String(), "DejaVu Sans");
    EXPECT_EQ(NSFont::boldSystemFontOfSize(12)->fontName()->UTF8String(), "DejaVuSans-Bold");
    EXPECT_EQ(NSFont::labelFontOfSize(0)->pointSize(), 10);
    EXPECT_EQ(NSFont::smallSystemFontSize(), 11);
    EXPECT_EQ(NSFont::systemFontSizeForControlSize(NSControlSizeMini), 9);
    // Only the project's fonts are visible, whatever else is installed.
    auto families = NSFontManager::sharedFontManager()->availableFontFamilies();
    ASSERT_GT(families->count(), 3u);
    for (const Id& family : families->objects()) {
        std::string name = static_ref_cast<NSString>(family)->UTF8String();
        EXPECT_TRUE(name.rfind("DejaVu", 0) == 0 || name.rfind("Liberation", 0) == 0) << name;
    }
}

TEST(Fonts, FontManagerTraitsAndMembers)
{
    auto manager = NSFontManager::sharedFontManager();
    auto helvetica = NSFont::fontWithName("Helvetica"_ns, 11);
    auto bold = manager->convertFontToHaveTrait(helvetica, NSBoldFontMask);
    EXPECT_EQ(bold->fontName()->UTF8String(), "LiberationSans-Bold");
    EXPECT_EQ(bold->pointSize(), 11);
    EXPECT_EQ(manager->weightOfFont(bold), 9);
    EXPECT_TRUE(manager->convertFontToNotHaveTrait(bold, NSBoldFontMask)->isEqual(helvetica.get()));
    auto members = manager->availableMembersOfFontFamily("DejaVu Sans"_ns);
    ASSERT_TRUE(members);
    bool sawBold = false;
    for (const Id& m : members->objects()) {
        auto entry = static_ref_cast<NSArray>(m);
        ASSERT_EQ(entry->count(), 4u);
        if (static_ref_cast<NSString>(entry->objectAtIndex(0))->UTF8String() == "DejaVuSans-Bold") {
            sawBold = true;
            EXPECT_EQ(static_ref_cast<NSNumber>(entry->objectAtIndex(2))->integerValue(), 9);
            EXPECT_TRUE(static_ref_cast<NSNumber>(entry->objectAtIndex(3))->unsignedIntegerValue() & NSBoldFontMask);
        }
    }
    EXPECT_TRUE(sawBold);
    EXPECT_FALSE(manager->availableMembersOfFontFamily("Nimbus Sans"_ns));
}

TEST(AttributedString, RunsAreWhereAllAttributesAreEqual)
{
    auto s = NSMutableAttributedString::initWithString("abcdefgh"_ns);
    auto red = NSColor::redColor();
    auto font = NSFont::fontWithName("Helvetica"_ns, 12);
    s->addAttribute(NSForegroundColorAttributeName, red, NSMakeRange(0, 6));
    s->addAttribute(NSFontAttributeName, font, NSMakeRange(3, 5));
    NSRange run;
    s->attributesAtIndex(1, &run);
    EXPECT_EQ(run, NSMakeRange(0, 3));
    s->attributesAtIndex(4, &run);
    EXPECT_EQ(run, NSMakeRange(3, 3));
    NSRange longest;
    s->attributeAtIndexLongestEffectiveRange(NSForegroundColorAttributeName, 4, &longest, NSMakeRange(0, 8));
    EXPECT_EQ(longest, NSMakeRange(0, 6));
    // Equal values merge runs again.
    s->addAttribute(NSForegroundColorAttributeName, NSColor::colorWithCalibratedRed(1, 0, 0, 1), NSMakeRange(6, 2));
    s->attributesAtIndex(7, &run);
    EXPECT_EQ(run, NSMakeRange(3, 5));
    // Inserted text takes the attributes before it.
    s->replaceCharactersInRange(NSMakeRange(8, 0), "ij"_ns);
    EXPECT_TRUE(s->attributeAtIndex(NSFontAttributeName, 9, nullptr));
    s->removeAttribute(NSForegroundColorAttributeName, NSMakeRange(0, 10));
    s->attributesAtIndex(0, &run);
    EXPECT_EQ(run, NSMakeRange(0, 3));
    EXPECT_EQ(s->attributesAtIndex(0, nullptr)->count(), 0u);
    auto sub = s->attributedSubstringFromRange(NSMakeRange(2, 3));
    EXPECT_EQ(sub->string()->UTF8String(), "cde");
    EXPECT_EQ(sub->runs().size(), 2u);
    EXPECT_THROW(s->attributesAtIndex(10, nullptr), NSException);
    s->deleteCharactersInRange(NSMakeRange(0, 3));
    EXPECT_EQ(s->runs().size(), 1u);
    EXPECT_TRUE(s->isEqual(NSAttributedString::initWithString("defghij"_ns, fontAttributes(font)).get()));
}

TEST(StringDrawing, SizeIsTheSumOfAdvancesAndTheLineHeight)
{
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    auto text = u"Hello, AV"_ns;
    CGFloat width = 0;
    for (char16_t c : text->utf16()) width += font->advancementForGlyph(font->glyphForCharacter(c)).width;
    NSSize size = NSStringExt::sizeWithAttributes(text, fontAttributes(font));
    EXPECT_DOUBLE_EQ(size.width, width);
    EXPECT_DOUBLE_EQ(size.height, font->ascender() - font->descender() + font->leading());
    EXPECT_EQ(NSStringExt::sizeWithAttributes(text, fontAttributes(font)), size);  // stable
    auto kerned = NSMutableDictionary::dictionaryWithDictionary(fontAttributes(font));
    kerned->setObject(NSNumber::numberWithDouble(1.5), NSKernAttributeName);
    EXPECT_DOUBLE_EQ(NSStringExt::sizeWithAttributes(text, kerned).width, width + 1.5 * 9);
    EXPECT_DOUBLE_EQ(NSStringExt::sizeWithAttributes("a\nb"_ns, fontAttributes(font)).height, 2 * size.height);
    // "fi" stays two glyphs: ligatures are off.
    auto rec = CGRecordingContext::create({100, 100});
    Current current(rec, true);
    NSStringExt::drawAtPoint("fi"_ns, {0, 0}, fontAttributes(font));
    ASSERT_EQ(glyphDraws(rec).size(), 1u);
    EXPECT_EQ(glyphDraws(rec)[0]->glyphs.size(), 2u);
}

TEST(StringDrawing, LayoutsAreReusedForEqualTextAttributesAndLimits)
{
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    auto text = u"Reused label"_ns;
    const CGFloat width = NSStringExt::sizeWithAttributes(text, fontAttributes(font)).width;
    // Equal attributes in another dictionary: the layout is found again.
    const uint64_t made = NSAttributedStringExt::layoutsMade();
    EXPECT_EQ(NSStringExt::sizeWithAttributes(text, fontAttributes(font)).width, width);
    EXPECT_EQ(NSAttributedStringExt::layoutsMade(), made);
    // A mutable dictionary changed after use, another limit, other text:
    // each is laid out afresh.
    auto attributes = NSMutableDictionary::dictionaryWithDictionary(fontAttributes(font));
    EXPECT_EQ(NSStringExt::sizeWithAttributes(text, attributes).width, width);
    attributes->setObject(NSNumber::numberWithDouble(2), NSKernAttributeName);
    EXPECT_DOUBLE_EQ(NSStringExt::sizeWithAttributes(text, attributes).width, width + 2 * 12);
    const NSRect wrapped = NSStringExt::boundingRectWithSize(
        text, NSMakeSize(50, 100), NSStringDrawingUsesLineFragmentOrigin, fontAttributes(font));
    EXPECT_GT(wrapped.size.height, NSStringExt::sizeWithAttributes(text, fontAttributes(font)).height);
    EXPECT_LT(NSStringExt::sizeWithAttributes(u"Reused"_ns, fontAttributes(font)).width, width);
    EXPECT_EQ(NSAttributedStringExt::layoutsMade(), made + 3);
    // So is a paragraph style changed in place after use.
    auto style = NSMutableParagraphStyle::paragraphStyle();
    auto styled = NSMutableDictionary::dictionaryWithDictionary(fontAttributes(font));
    styled->setObject(style, NSParagraphStyleAttributeName);
    EXPECT_EQ(NSStringExt::sizeWithAttributes(text, styled).width, width);
    style->setFirstLineHeadIndent(10);
    EXPECT_EQ(NSStringExt::sizeWithAttributes(text, styled).width, width + 10);
}

TEST(StringDrawing, NarrowRectanglesWrapByCharactersAndClip)
{
    auto rec = CGRecordingContext::create({100, 100});
    Current current(rec, true);
    auto attrs = fontAttributes(NSFont::fontWithName("Helvetica"_ns, 12));
    NSStringExt::drawInRect("123"_ns, NSMakeRect(0, 0, 8, 50), attrs);
    std::set<CGFloat> baselines;
    size_t glyphs = 0;
    for (const auto* op : glyphDraws(rec)) {
        glyphs += op->glyphs.size();
        for (CGPoint p : op->positions) baselines.insert(p.y);
        EXPECT_EQ(op->glyphs.size(), 1u);
    }
    EXPECT_EQ(glyphs, 3u);
    EXPECT_EQ(baselines.size(), 3u);
    EXPECT_EQ(rec->operations().front().kind, CGRecordedOperation::Kind::Clip);
    // Words move to the next line whole.
    rec->clear();
    NSStringExt::drawInRect("aa bb"_ns, NSMakeRect(0, 0, 25, 50), attrs);
    ASSERT_EQ(glyphDraws(rec).size(), 2u);
    EXPECT_EQ(glyphDraws(rec)[0]->glyphs.size(), 3u);  // "aa " with its space
    EXPECT_EQ(glyphDraws(rec)[1]->glyphs.size(), 2u);
}

TEST(StringDrawing, TruncationModesPlaceTheEllipsis)
{
    auto font = NSFont::fontWithName("Helvetica"_ns, 12);
    NSGlyph ellipsis = font->glyphForCharacter(0x2026), h = font->glyphForCharacter('H'),
            d = font->glyphForCharacter('d');
    struct Case {
        NSLineBreakMode mode;
        bool ellipsisFirst, ellipsisLast;
    } cases[] = {{NSLineBreakByTruncatingTail, false, true},
                 {NSLineBreakByTruncatingHead, true, false},
                 {NSLineBreakByTruncatingMiddle, false, false}};
    for (const Case& c : cases) {
        auto style = NSMutableParagraphStyle::paragraphStyle();
        style->setLineBreakMode(c.mode);
        auto attrs =
            NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font}, {NSParagraphStyleAttributeName, style}});
        auto rec = CGRecordingContext::create({200, 100});
        Current current(rec, false);
        NSStringExt::drawInRect("Hello wide world"_ns, NSMakeRect(0, 0, 50, 30), attrs);
        auto draws = glyphDraws(rec);
        ASSERT_EQ(draws.size(), 1u);
        const auto& g = draws[0]->glyphs;
        ASSERT_GE(g.size(), 2u);
        EXPECT_EQ(g.front() == ellipsis, c.ellipsisFirst) << c.mode;
        EXPECT_EQ(g.back() == ellipsis, c.ellipsisLast) << c.mode;
        if (c.mode == NSLineBreakByTruncatingTail) {
            EXPECT_EQ(g.front(), h);
        } else if (c.mode == NSLineBreakByTruncatingHead) {
            EXPECT_EQ(g.back(), d);
        } else {
            EXPECT_NE(std::find(g.begin(), g.end(), ellipsis), g.end());
        }
        CGFloat width = 0;
        for (NSGlyph glyph : g) width += font->advancementForGlyph(glyph).width;
        EXPECT_LE(width, 50);
    }
}

TEST(StringDrawing, TextIsUprightInFlippedAndUnflippedContexts)
{
    for (bool flipped : {false, true}) {
        auto port = CGCairoContext::createForImage(CGImage::create(40, 40));
        if (!flipped) port->setCTM({1, 0, 0, -1, 0, 40});
        Current current(port, flipped);
        NSStringExt::drawAtPoint("T"_ns, {10, 5}, fontAttributes(NSFont::fontWithName("DejaVu Sans"_ns, 24)));
        port->flush();
        // The T's bar is the widest row of ink and lies at the top of the glyph.
        int top = -1, bottom = -1, widestRow = -1, widest = 0;
        for (int y = 0; y < 40; ++y) {
            int ink = 0;
            for (int x = 0; x < 40; ++x)
                ink += (port->image()->pixel(static_cast<size_t>(x), static_cast<size_t>(y)) >> 24) > 128;
            if (ink == 0) continue;
            if (top < 0) top = y;
            bottom = y;
            if (ink > widest) widest = ink, widestRow = y;
        }
        ASSERT_GE(top, 0) << "flipped " << flipped;
        EXPECT_LE(widestRow - top, 3) << "flipped " << flipped;
        EXPECT_GT(bottom - widestRow, 10) << "flipped " << flipped;
    }
}

TEST(StringDrawing, UnderlinesFollowTheirStyleAndPattern)
{
    auto font = NSFont::fontWithName("Helvetica"_ns, 12);
    struct Case {
        NSInteger style;
        size_t fills, strokes;
    } cases[] = {{NSUnderlineStyleSingle, 1, 0},
                 {NSUnderlineStyleDouble, 2, 0},
                 {NSUnderlineStyleSingle | NSUnderlinePatternDash, 0, 1}};
    for (const Case& c : cases) {
        auto attrs = NSDictionary::dictionaryWithEntries(
            {{NSFontAttributeName, font}, {NSUnderlineStyleAttributeName, NSNumber::numberWithInteger(c.style)}});
        auto rec = CGRecordingContext::create({100, 100});
        Current current(rec, true);
        NSStringExt::drawAtPoint("ab"_ns, {0, 0}, attrs);
        size_t fills = 0, strokes = 0;
        for (const auto& op : rec->operations()) {
            if (op.kind == CGRecordedOperation::Kind::Fill) {
                ++fills;
                // Below the baseline, across both glyphs.
                EXPECT_GT(op.path.bounds().origin.y, font->ascender());
                EXPECT_NEAR(op.path.bounds().size.width, NSStringExt::sizeWithAttributes("ab"_ns, attrs).width, 1e-9);
            }
            if (op.kind == CGRecordedOperation::Kind::Stroke) {
                ++strokes;
                EXPECT_EQ(op.strokeStyle.dash.size(), 2u);
            }
        }
        EXPECT_EQ(fills, c.fills) << c.style;
        EXPECT_EQ(strokes, c.strokes) << c.style;
    }
}

TEST(Fonts, GlyphOutlinesGoIntoPathsAtTheCurrentPoint)
{
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 20);
    NSGlyph glyphs[] = {font->glyphForCharacter('H'), font->glyphForCharacter('x')};
    auto path = NSBezierPath::bezierPath();
    EXPECT_THROW(path->appendBezierPathWithGlyph(glyphs[0], font), NSException);
    path->moveToPoint({100, 50});
    path->appendBezierPathWithGlyphs(glyphs, 2, font);
    NSRect bounds = path->bounds();
    EXPECT_NEAR(NSMaxY(bounds), 50 + font->capHeight(), 0.01);  // y up from the baseline
    EXPECT_NEAR(NSMinY(bounds), 50, 0.01);
    CGFloat advance = font->advancementForGlyph(glyphs[0]).width + font->advancementForGlyph(glyphs[1]).width;
    EXPECT_NEAR(path->currentPoint().x, 100 + advance, 1e-9);
    EXPECT_GE(NSMinX(bounds), 100);
    EXPECT_LE(NSMaxX(bounds), 100 + advance);  // the pen ends after the last advance
}
