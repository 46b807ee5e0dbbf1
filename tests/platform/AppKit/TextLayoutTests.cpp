// The layout engine: glyphs, line breaking, locations, bidi, hit testing,
// drawing hooks, outlines, attachments and edits of the storage.
#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSTextAttachment.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

namespace {

struct Current {
    explicit Current(const Ref<CGContext>& port)
    {
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(port, true));
    }
    ~Current() { NSGraphicsContext::restoreGraphicsState(); }
};

Ref<NSFont> dejaVu() { return NSFont::fontWithName("DejaVu Sans"_ns, 12); }

Ref<NSDictionary> attributes(std::initializer_list<NSDictionary::Entry> extra = {})
{
    auto d = NSMutableDictionary::dictionaryWithDictionary(
        NSDictionary::dictionaryWithObjectForKey(dejaVu(), NSFontAttributeName));
    for (const auto& e : extra) d->setObject(e.second, e.first);
    return static_ref_cast<NSDictionary>(d->copy());
}

// A storage with one layout manager and one container.
struct Text {
    Ref<NSTextStorage> storage;
    Ref<NSLayoutManager> manager;
    Ref<NSTextContainer> container;

    explicit Text(const std::u16string& text, CGFloat width = 1e6, CGFloat padding = 5,
                  const Ref<NSDictionary>& attrs = attributes(), Ref<NSLayoutManager> lm = nullptr)
    {
        storage = NSTextStorage::initWithString(NSString::stringWithUTF16(text), attrs);
        manager = lm ? lm : NSObject::make<NSLayoutManager>();
        container = NSTextContainer::initWithContainerSize({width, 1e6});
        container->setLineFragmentPadding(padding);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }

    std::vector<NSUInteger> lineStarts() const
    {
        std::vector<NSUInteger> starts;
        for (NSUInteger i = 0; i < manager->numberOfGlyphs();) {
            NSRange line;
            manager->lineFragmentRectForGlyphAtIndex(i, &line);
            starts.push_back(line.location);
            i = NSMaxRange(line);
        }
        return starts;
    }
    CGFloat advances(NSUInteger from, NSUInteger to) const
    {
        CGFloat w = 0;
        for (NSUInteger i = from; i < to; ++i) w += manager->advanceForGlyphAtIndex(i);
        return w;
    }
};

}

TEST(TextLayout, GlyphIndexEqualsCharacterIndex)
{
    // "fi", a surrogate pair (U+1D538) and e + combining acute, then "x".
    Text t(u"fi\U0001D538e\u0301x");
    auto font = dejaVu();
    ASSERT_EQ(t.manager->numberOfGlyphs(), 7u);
    EXPECT_EQ(t.manager->glyphAtIndex(0), font->glyphForCharacter('f'));  // no ligature
    EXPECT_EQ(t.manager->glyphAtIndex(1), font->glyphForCharacter('i'));
    EXPECT_EQ(t.manager->glyphAtIndex(2), font->glyphForCharacter(0x1D538));
    EXPECT_NE(t.manager->glyphAtIndex(2), NSNullGlyph);
    EXPECT_EQ(t.manager->glyphAtIndex(3), NSNullGlyph);  // trailing surrogate
    EXPECT_NE(t.manager->glyphAtIndex(4), NSNullGlyph);
    EXPECT_EQ(t.manager->glyphAtIndex(5), NSNullGlyph);  // mark merged into its base
    EXPECT_EQ(t.manager->glyphAtIndex(6), font->glyphForCharacter('x'));
    NSRange actual;
    EXPECT_EQ(t.manager->glyphRangeForCharacterRange(NSMakeRange(2, 4), &actual), NSMakeRange(2, 4));
    EXPECT_EQ(actual, NSMakeRange(2, 4));
    EXPECT_EQ(t.manager->characterRangeForGlyphRange(NSMakeRange(5, 2), nullptr), NSMakeRange(5, 2));
    // Null glyphs take no room: "x" follows "é" by its advance.
    EXPECT_DOUBLE_EQ(t.manager->locationForGlyphAtIndex(6).x,
                     t.manager->locationForGlyphAtIndex(4).x + t.manager->advanceForGlyphAtIndex(4));
    EXPECT_THROW(t.manager->glyphAtIndex(7), NSException);
}

TEST(TextLayout, LinesWrapWhereICUAllowsAndNowhereElse)
{
    struct Case {
        const char16_t* text;
        NSUInteger fits;  // the container is as wide as this many leading characters, plus a little
        std::vector<NSUInteger> starts;
    } cases[] = {
        {u"hello world", 9, {0, 6}},        // at the space
        {u"state-of-the-art", 11, {0, 9}},  // after a hyphen
        {u"x 12.50 y", 6, {0, 2, 8}},       // never inside a number
        {u"a\u00A0b c", 3, {0, 4}},         // never at a no-break space
        {u"abcdefghij", 4, {0, 4, 8}},      // a word longer than the line: between characters
        {u"one\ntwo three", 100, {0, 4}},   // a paragraph break always
        {u"one\u2028two", 100, {0, 4}},     // a line separator always
    };
    for (const Case& c : cases) {
        std::u16string text = c.text;
        Text probe(text);
        CGFloat width = probe.advances(0, c.fits) + 0.01;
        Text t(text, width, 0);
        EXPECT_EQ(t.lineStarts(), c.starts) << NSString::stringWithUTF16(text)->UTF8String();
    }
}

TEST(TextLayout, GlyphLocationsAdvanceByShapedAdvances)
{
    auto font = dejaVu();
    std::u16string text = u"AVAWay To";
    auto shaped = font->cgFont()->shape(text, 12);
    for (CGFloat kern : {0.0, 2.5}) {
        Text t(text, 1e6, 5, attributes({{NSKernAttributeName, NSNumber::numberWithDouble(kern)}}));
        EXPECT_DOUBLE_EQ(t.manager->locationForGlyphAtIndex(0).x, 5);  // the padding
        for (NSUInteger i = 0; i + 1 < text.size(); ++i) {
            NSPoint a = t.manager->locationForGlyphAtIndex(i), b = t.manager->locationForGlyphAtIndex(i + 1);
            EXPECT_NEAR(b.x - a.x, shaped[i].advance + kern, 1e-9) << i;
            EXPECT_DOUBLE_EQ(a.y, font->ascender());  // the baseline, from the fragment's top
        }
        // Kerning is off: "AV" keeps the nominal advance of "A".
        EXPECT_DOUBLE_EQ(shaped[0].advance, font->advancementForGlyph(font->glyphForCharacter('A')).width);
        NSRect line = t.manager->lineFragmentRectForGlyphAtIndex(0, nullptr);
        EXPECT_DOUBLE_EQ(line.size.height, font->ascender() - font->descender() + font->leading());
        EXPECT_DOUBLE_EQ(t.manager->baselineOffsetForGlyphAtIndex(0), -font->descender() + font->leading());
        NSRect used = t.manager->usedRectForTextContainer(t.container);
        EXPECT_NEAR(used.size.width, t.advances(0, text.size()) + 10, 1e-9);
    }
}

TEST(TextLayout, RightToLeftRunReportsItsLevelAndIsDrawnRightToLeft)
{
    Text t(u"ab \u05E9\u05DC\u05D5\u05DD cd");  // "ab shalom cd"
    for (NSUInteger i = 0; i < 3; ++i) EXPECT_EQ(t.manager->intAttribute(NSGlyphAttributeBidiLevel, i), 0) << i;
    for (NSUInteger i = 3; i < 7; ++i) EXPECT_EQ(t.manager->intAttribute(NSGlyphAttributeBidiLevel, i), 1) << i;
    EXPECT_EQ(t.manager->intAttribute(NSGlyphAttributeBidiLevel, 8), 0);
    // The Hebrew word sits between the Latin ones, its first letter rightmost.
    for (NSUInteger i = 3; i < 6; ++i)
        EXPECT_NEAR(t.manager->locationForGlyphAtIndex(i).x,
                    t.manager->locationForGlyphAtIndex(i + 1).x + t.manager->advanceForGlyphAtIndex(i + 1), 1e-9);
    EXPECT_NEAR(t.manager->locationForGlyphAtIndex(6).x,
                t.manager->locationForGlyphAtIndex(3 - 1).x + t.manager->advanceForGlyphAtIndex(2), 1e-9);
    EXPECT_GT(t.manager->locationForGlyphAtIndex(8).x, t.manager->locationForGlyphAtIndex(3).x);

    auto rec = CGRecordingContext::create({400, 100});
    {
        Current current(rec);
        t.manager->drawGlyphsForGlyphRange(NSMakeRange(0, t.manager->numberOfGlyphs()), {0, 0});
    }
    auto hebrew = dejaVu()->glyphForCharacter(0x05E9);
    bool found = false;
    for (const auto& op : rec->operations()) {
        if (op.kind != CGRecordedOperation::Kind::Glyphs || op.glyphs.empty() || op.glyphs.front() != hebrew) continue;
        found = true;
        ASSERT_EQ(op.glyphs.size(), 4u);
        for (size_t k = 0; k + 1 < op.positions.size(); ++k) EXPECT_GT(op.positions[k].x, op.positions[k + 1].x);
    }
    EXPECT_TRUE(found);
}

TEST(TextLayout, GlyphIndexForPointInvertsTheGlyphLocations)
{
    Text t(u"Lines that wrap, \u05E9\u05DC\u05D5\u05DD, and more lines after them", 120);
    ASSERT_GT(t.lineStarts().size(), 2u);
    for (NSUInteger i = 0; i < t.manager->numberOfGlyphs(); ++i) {
        CGFloat advance = t.manager->advanceForGlyphAtIndex(i);
        if (advance <= 0) continue;
        NSRect line = t.manager->lineFragmentRectForGlyphAtIndex(i, nullptr);
        NSPoint at = t.manager->locationForGlyphAtIndex(i);
        CGFloat fraction = -1;
        NSPoint p = NSMakePoint(line.origin.x + at.x + advance / 4, line.origin.y + at.y - 2);
        EXPECT_EQ(t.manager->glyphIndexForPoint(p, t.container, &fraction), i);
        EXPECT_NEAR(fraction, 0.25, 1e-9) << i;
    }
}

class TextLayoutUnderlineRecorder : public NSLayoutManager {
    NS_OBJECT(TextLayoutUnderlineRecorder, NSLayoutManager)
public:
    TextLayoutUnderlineRecorder() = default;
    struct Call {
        NSRange range;
        NSInteger type;
        CGFloat baselineOffset;
        NSRect lineRect;
        NSRange lineRange;
        NSPoint origin;
    };
    std::vector<Call> calls;
    void drawUnderlineForGlyphRange(NSRange range, NSInteger type, CGFloat baselineOffset, const NSRect& lineRect,
                                    NSRange lineRange, NSPoint origin) override
    {
        calls.push_back({range, type, baselineOffset, lineRect, lineRange, origin});
        NSLayoutManager::drawUnderlineForGlyphRange(range, type, baselineOffset, lineRect, lineRange, origin);
    }
};
NS_CLASS_DEFINE(TextLayoutUnderlineRecorder)

TEST(TextLayout, AnOverriddenUnderlineHookIsCalledWithTheUnderlinesRectangle)
{
    auto manager = NSObject::make<TextLayoutUnderlineRecorder>();
    Text t(u"plain under plain", 1e6, 5, attributes(), manager);
    t.storage->addAttribute(NSUnderlineStyleAttributeName, NSNumber::numberWithInteger(NSUnderlineStyleSingle),
                            NSMakeRange(6, 5));
    auto rec = CGRecordingContext::create({400, 100});
    {
        Current current(rec);
        manager->drawGlyphsForGlyphRange(NSMakeRange(0, manager->numberOfGlyphs()), {10, 20});
    }
    ASSERT_EQ(manager->calls.size(), 1u);
    const auto& call = manager->calls[0];
    auto font = dejaVu();
    EXPECT_EQ(call.range, NSMakeRange(6, 5));
    EXPECT_EQ(call.type, NSUnderlineStyleSingle);
    EXPECT_DOUBLE_EQ(call.baselineOffset, -font->descender());
    EXPECT_EQ(call.lineRect, manager->lineFragmentRectForGlyphAtIndex(6, nullptr));
    EXPECT_EQ(call.lineRange, NSMakeRange(0, 17));
    EXPECT_EQ(call.origin, NSMakePoint(10, 20));
    // The default hook fills the underline under exactly those glyphs.
    CGFloat left = 10 + manager->locationForGlyphAtIndex(6).x;
    CGFloat right = 10 + manager->locationForGlyphAtIndex(10).x + manager->advanceForGlyphAtIndex(10);
    CGFloat centre = 20 + font->ascender() - font->underlinePosition();
    std::vector<NSRect> fills;
    for (const auto& op : rec->operations())
        if (op.kind == CGRecordedOperation::Kind::Fill) fills.push_back(op.path.bounds());
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_NEAR(NSMinX(fills[0]), left, 1e-9);
    EXPECT_NEAR(NSMaxX(fills[0]), right, 1e-9);
    EXPECT_NEAR(NSMidY(fills[0]), centre, 1e-9);
    EXPECT_NEAR(fills[0].size.height, font->underlineThickness(), 1e-9);
}

TEST(TextLayout, DecorationsFollowTheirStyleAndPattern)
{
    auto font = dejaVu();
    struct Case {
        Ref<NSString> attribute;
        NSInteger style;
        size_t fills, strokes;
        CGFloat centreBelowBaseline;
    } cases[] = {
        {NSUnderlineStyleAttributeName, NSUnderlineStyleSingle, 1, 0, -font->underlinePosition()},
        {NSUnderlineStyleAttributeName, NSUnderlineStyleDouble, 2, 0, -font->underlinePosition()},
        {NSUnderlineStyleAttributeName, NSUnderlineStyleSingle | NSUnderlinePatternDash, 0, 1,
         -font->underlinePosition()},
        {NSStrikethroughStyleAttributeName, NSUnderlineStyleSingle, 1, 0, -font->xHeight() / 2},
    };
    for (const Case& c : cases) {
        Text t(u"ab", 1e6, 0, attributes({{c.attribute, NSNumber::numberWithInteger(c.style)}}));
        auto rec = CGRecordingContext::create({100, 100});
        {
            Current current(rec);
            t.manager->drawGlyphsForGlyphRange(NSMakeRange(0, 2), {0, 0});
        }
        size_t fills = 0, strokes = 0;
        CGFloat centre = NAN;
        for (const auto& op : rec->operations()) {
            if (op.kind == CGRecordedOperation::Kind::Fill && fills++ == 0) centre = NSMidY(op.path.bounds());
            if (op.kind == CGRecordedOperation::Kind::Stroke) {
                ++strokes;
                EXPECT_EQ(op.strokeStyle.dash.size(), 2u);
                centre = NSMidY(op.path.bounds());
            }
        }
        EXPECT_EQ(fills, c.fills) << c.style;
        EXPECT_EQ(strokes, c.strokes) << c.style;
        EXPECT_NEAR(centre, font->ascender() + c.centreBelowBaseline, 1e-9) << c.style;
    }
}

TEST(TextLayout, GlyphOutlineOfOIsTwoClosedSubpathsInTheGlyphBox)
{
    Text t(u"o", 1e6, 5,
           NSDictionary::dictionaryWithObjectForKey(NSFont::fontWithName("DejaVu Sans"_ns, 40), NSFontAttributeName));
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 40);
    NSGlyph o = t.manager->glyphAtIndex(0);
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint({0, 0});
    path->appendBezierPathWithGlyph(o, font);
    // Subpaths with ink (the pen's own moves have none), each closed.
    auto ink = NSBezierPath::bezierPath();
    int closedInk = 0, openInk = 0;
    bool hasInk = false;
    NSPoint start, pts[3];
    for (NSInteger i = 0; i < path->elementCount(); ++i) {
        NSBezierPathElement e = path->elementAtIndex(i, pts);
        if (e == NSMoveToBezierPathElement) {
            openInk += hasInk;
            hasInk = false;
            start = pts[0];
        } else if (e == NSClosePathBezierPathElement) {
            closedInk += hasInk;
            if (hasInk) ink->closePath();
            hasInk = false;
        } else {
            if (!hasInk) ink->moveToPoint(start);
            hasInk = true;
            if (e == NSLineToBezierPathElement) ink->lineToPoint(pts[0]);
            else ink->curveToPoint(pts[2], pts[0], pts[1]);
        }
    }
    openInk += hasInk;
    EXPECT_EQ(closedInk, 2);
    EXPECT_EQ(openInk, 0);
    NSRect box = font->boundingRectForGlyph(o);
    NSRect bounds = ink->bounds();
    EXPECT_NEAR(NSMinX(bounds), NSMinX(box), 0.05);
    EXPECT_NEAR(NSMaxX(bounds), NSMaxX(box), 0.05);
    EXPECT_NEAR(NSMinY(bounds), NSMinY(box), 0.05);
    EXPECT_NEAR(NSMaxY(bounds), NSMaxY(box), 0.05);
}

TEST(TextLayout, ParagraphStyleAlignsIndentsAndSetsTabs)
{
    auto font = dejaVu();
    auto style = NSMutableParagraphStyle::paragraphStyle();
    style->setTabStops(NSArray::arrayWithObjects(
        {NSTextTab::initWithType(NSLeftTabStopType, 100), NSTextTab::initWithType(NSRightTabStopType, 250)}));
    style->setFirstLineHeadIndent(7);
    style->setLineSpacing(3);
    Text tabs(u"a\tb\tcd", 400, 5, attributes({{NSParagraphStyleAttributeName, style}}));
    EXPECT_DOUBLE_EQ(tabs.manager->locationForGlyphAtIndex(0).x, 5 + 7);
    EXPECT_NEAR(tabs.manager->locationForGlyphAtIndex(2).x, 5 + 100, 1e-9);  // starts at the left stop
    EXPECT_NEAR(tabs.manager->locationForGlyphAtIndex(5).x + tabs.manager->advanceForGlyphAtIndex(5), 5 + 250,
                1e-9);  // ends at the right stop
    EXPECT_DOUBLE_EQ(tabs.manager->lineFragmentRectForGlyphAtIndex(0, nullptr).size.height,
                     font->defaultLineHeight() + 3);

    for (NSTextAlignment alignment : {NSTextAlignmentRight, NSTextAlignmentCenter}) {
        auto aligned = NSMutableParagraphStyle::paragraphStyle();
        aligned->setAlignment(alignment);
        Text t(u"word", 200, 5, attributes({{NSParagraphStyleAttributeName, aligned}}));
        CGFloat width = t.advances(0, 4);
        CGFloat expected = alignment == NSTextAlignmentRight ? 195 - width : 5 + (190 - width) / 2;
        EXPECT_NEAR(t.manager->locationForGlyphAtIndex(0).x, expected, 1e-9) << alignment;
    }
}

// Justified lines but the last of a paragraph (and one a line separator
// ends) run from the head to the tail of the line, the extra room shared
// equally by the spaces after the line's last tab.
TEST(TextLayout, JustifiedLinesFillTheLineThroughTheirSpaces)
{
    auto style = NSMutableParagraphStyle::paragraphStyle();
    style->setAlignment(NSTextAlignmentJustified);
    const auto justified = attributes({{NSParagraphStyleAttributeName, style}});
    const std::u16string words =
        u"aaa bb cccc dd eee ffff gg hhh iii jj kkk l\u2028mm nn\tooo p qq rr ss tt uu vv ww xx";
    Text t(words, 160, 5, justified);
    Text plain(words, 160, 5);
    const auto& text = t.storage->utf16();
    auto starts = t.lineStarts();
    ASSERT_GE(starts.size(), 4u);
    EXPECT_EQ(plain.lineStarts(), starts);
    starts.push_back(text.size());
    for (size_t line = 0; line + 1 < starts.size(); ++line) {
        NSUInteger first = starts[line], end = starts[line + 1];
        NSUInteger visible = end;
        while (visible > first && (text[visible - 1] == u' ' || text[visible - 1] == 0x2028)) --visible;
        const CGFloat left = t.manager->locationForGlyphAtIndex(first).x;
        const CGFloat right =
            t.manager->locationForGlyphAtIndex(visible - 1).x + t.manager->advanceForGlyphAtIndex(visible - 1);
        const bool last = end == text.size(), separated = text[end - 1] == 0x2028;
        EXPECT_DOUBLE_EQ(left, 5) << line;
        if (last || separated) {
            // Set as if aligned left: every glyph as wide as shaped.
            EXPECT_LT(right, 150) << line;
            EXPECT_NEAR(right - left, t.advances(first, visible), 1e-9) << line;
            continue;
        }
        EXPECT_NEAR(right, 155, 1e-9) << line;
        // The spaces after the last tab share the room; those before it and
        // the tab keep their widths.
        NSUInteger from = first;
        for (NSUInteger i = first; i < visible; ++i)
            if (text[i] == u'\t') from = i + 1;
        std::vector<CGFloat> extras;
        for (NSUInteger i = from; i < visible; ++i)
            if (text[i] == u' ')
                extras.push_back(t.manager->advanceForGlyphAtIndex(i) - plain.manager->advanceForGlyphAtIndex(i));
        ASSERT_FALSE(extras.empty()) << line;
        for (CGFloat e : extras) EXPECT_NEAR(e, extras.front(), 1e-9) << line;
        EXPECT_GT(extras.front(), 0) << line;
        for (NSUInteger i = first; i < from; ++i)
            EXPECT_DOUBLE_EQ(t.manager->advanceForGlyphAtIndex(i), plain.manager->advanceForGlyphAtIndex(i)) << line;
    }
    // Laid out again, spaces start from their shaped width: the lines break
    // where they did.
    starts.pop_back();
    t.manager->invalidateLayoutForCharacterRange(NSMakeRange(0, text.size()), nullptr);
    EXPECT_EQ(t.lineStarts(), starts);
}

// A decimal stop puts the locale's decimal separator on the stop; a number
// without one ends there.
TEST(TextLayout, DecimalTabStopsAlignTheDecimalSeparator)
{
    struct Case {
        const char* locale;
        std::u16string text;
        NSUInteger anchor;  // the separator, or the last digit
        bool separator;
    };
    const Case cases[] = {
        {"en_US", u"x\t12.5", 4, true},  {"en_US", u"x\t1234.75", 6, true}, {"en_US", u"x\t7", 2, false},
        {"en_US", u"x\t3,25", 5, false}, {"de_DE", u"x\t3,25", 3, true},    {"de_DE", u"x\t1.000,5", 7, true},
    };
    for (const Case& c : cases) {
        NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(c.locale)));
        auto style = NSMutableParagraphStyle::paragraphStyle();
        style->setTabStops(NSArray::arrayWithObjects({NSTextTab::initWithType(NSDecimalTabStopType, 150)}));
        Text t(c.text, 400, 5, attributes({{NSParagraphStyleAttributeName, style}}));
        const CGFloat x = t.manager->locationForGlyphAtIndex(c.anchor).x;
        const CGFloat at = c.separator ? x : x + t.manager->advanceForGlyphAtIndex(c.anchor);
        EXPECT_NEAR(at, 5 + 150, 1e-9) << c.locale << " case " << (&c - cases);
    }
    NSLocale::setCurrentLocale(nullptr);
}

// Pushes every line to at least 40 points and insets it by 3, as an inspector's typesetter does.
class TextLayoutTallLines : public NSTypesetter {
    NS_OBJECT(TextLayoutTallLines, NSTypesetter)
public:
    TextLayoutTallLines() = default;
    std::vector<NSRange> seen;
    void willSetLineFragmentRect(NSRect& lineRect, NSRange glyphs, NSRect& usedRect, CGFloat& baselineOffset) override
    {
        seen.push_back(glyphs);
        CGFloat extra = 40 - lineRect.size.height;
        lineRect.size.height = 40;
        usedRect.size.height = 40;
        baselineOffset += extra / 2;
        lineRect.origin.x = 3;
    }
};
NS_CLASS_DEFINE(TextLayoutTallLines)

TEST(TextLayout, TypesetterHookAdjustsFragmentsAndTextFlowsIntoTheNextContainer)
{
    Text t(u"one\ntwo\nthree\nfour");
    auto typesetter = NSObject::make<TextLayoutTallLines>();
    t.manager->setTypesetter(typesetter);
    auto second = NSTextContainer::initWithContainerSize({300, 1000});
    t.container->setContainerSize({300, 85});  // two 40-point lines
    t.manager->addTextContainer(second);
    EXPECT_EQ(t.lineStarts(), (std::vector<NSUInteger>{0, 4, 8, 14}));
    EXPECT_EQ(typesetter->seen.size(), 4u);
    EXPECT_EQ(t.manager->lineFragmentRectForGlyphAtIndex(4, nullptr), NSMakeRect(3, 40, 300, 40));
    NSRange inContainer;
    EXPECT_EQ(t.manager->textContainerForGlyphAtIndex(9, &inContainer), second);
    EXPECT_EQ(inContainer, NSMakeRange(8, 10));
    EXPECT_EQ(t.manager->glyphRangeForTextContainer(t.container), NSMakeRange(0, 8));
    EXPECT_EQ(t.manager->lineFragmentRectForGlyphAtIndex(14, nullptr).origin.y, 40);
    // The baseline moved with the hook's offset.
    auto font = dejaVu();
    EXPECT_NEAR(t.manager->locationForGlyphAtIndex(0).y,
                40 - (-font->descender() + (40 - font->defaultLineHeight()) / 2), 1e-9);
}

class TextLayoutBoxCell : public NSTextAttachmentCell {
    NS_OBJECT(TextLayoutBoxCell, NSTextAttachmentCell)
public:
    TextLayoutBoxCell() = default;
    NSSize cellSize() const override { return {20, 30}; }
    NSPoint cellBaselineOffset() const override { return {0, -5}; }
    // The frame the layout asks for wins over the size: 2 points wider.
    NSRect cellFrameForTextContainer(const Ref<NSTextContainer>& c, const NSRect& r, NSPoint p, NSUInteger i) override
    {
        NSRect frame = NSTextAttachmentCell::cellFrameForTextContainer(c, r, p, i);
        frame.size.width += 2;
        return frame;
    }
    std::vector<NSRect> frames;
    std::vector<NSUInteger> indexes;
    void drawWithFrame(const NSRect& frame, const Ref<NSView>&, NSUInteger index) override
    {
        frames.push_back(frame);
        indexes.push_back(index);
    }
};
NS_CLASS_DEFINE(TextLayoutBoxCell)

TEST(TextLayout, AnAttachmentCellIsLaidOutAsOneGlyph)
{
    auto attachment = NSObject::make<NSTextAttachment>();
    auto cell = NSObject::make<TextLayoutBoxCell>();
    attachment->setAttachmentCell(cell);
    EXPECT_EQ(cell->attachment(), attachment);
    Text t(u"a\uFFFCb");
    t.storage->addAttribute(NSAttachmentAttributeName, attachment, NSMakeRange(1, 1));
    auto font = dejaVu();
    EXPECT_EQ(t.manager->glyphAtIndex(1), NSNullGlyph);
    EXPECT_NEAR(t.manager->locationForGlyphAtIndex(2).x - t.manager->locationForGlyphAtIndex(1).x, 22, 1e-9);
    CGFloat ascent = std::max(font->ascender(), 25.0), descent = std::max(-font->descender(), 5.0);
    EXPECT_NEAR(t.manager->lineFragmentRectForGlyphAtIndex(0, nullptr).size.height, ascent + descent + font->leading(),
                1e-9);
    auto rec = CGRecordingContext::create({200, 100});
    {
        Current current(rec);
        t.manager->drawGlyphsForGlyphRange(NSMakeRange(0, 3), {10, 20});
    }
    ASSERT_EQ(cell->frames.size(), 1u);
    EXPECT_EQ(cell->indexes[0], 1u);
    // Flipped: the rectangle's origin is the cell's bottom-left corner, 5 below the baseline.
    NSPoint at = t.manager->locationForGlyphAtIndex(1);
    EXPECT_EQ(cell->frames[0], NSMakeRect(10 + at.x, 20 + at.y + 5, 22, 30));
}

TEST(TextLayout, EditsBetweenBeginAndEndEditingAreProcessedOnce)
{
    Text t(u"hello");
    std::vector<std::pair<NSRange, NSInteger>> processed;
    auto observer = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSTextStorageDidProcessEditingNotification, t.storage, nullptr, [&](const Ref<NSNotification>& n) {
            auto s = dynamic_ref_cast<NSTextStorage>(n->object());
            processed.push_back({s->editedRange(), s->changeInLength()});
        });
    EXPECT_EQ(t.manager->numberOfGlyphs(), 5u);
    t.storage->beginEditing();
    t.storage->replaceCharactersInRange(NSMakeRange(5, 0), " world"_ns);  // hello world
    t.storage->replaceCharactersInRange(NSMakeRange(0, 1), "J"_ns);       // Jello world
    t.storage->addAttribute(NSForegroundColorAttributeName, NSColor::redColor(), NSMakeRange(2, 2));
    EXPECT_TRUE(processed.empty());
    t.storage->endEditing();
    ASSERT_EQ(processed.size(), 1u);
    EXPECT_EQ(processed[0].first, NSMakeRange(0, 11));
    EXPECT_EQ(processed[0].second, 6);
    EXPECT_EQ(t.manager->numberOfGlyphs(), 11u);
    EXPECT_EQ(t.manager->glyphAtIndex(0), dejaVu()->glyphForCharacter('J'));
    t.storage->replaceCharactersInRange(NSMakeRange(0, 6), ""_ns);  // outside editing: at once
    ASSERT_EQ(processed.size(), 2u);
    EXPECT_EQ(processed[1], std::make_pair(NSMakeRange(0, 0), NSInteger(-6)));
    NSNotificationCenter::defaultCenter()->removeObserver(observer);
}
