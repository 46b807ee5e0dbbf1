// Layout by paragraphs: after random edits of random texts (scripts, bidi,
// tabs, attachments, paragraph styles) the layout kept up to date edit by
// edit answers exactly what a fresh layout of the same text answers. Also
// lazy layout (only what is asked for) and the cached line breaker.
#include <gtest/gtest.h>

#include <random>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTextAttachment.h"
#include "AppKit/NSTextTab.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSClass.h"

namespace {

class BoxCell : public NSTextAttachmentCell {
    NS_OBJECT(BoxCell, NSTextAttachmentCell)
protected:
    BoxCell() = default;

public:
    NSSize cellSize() const override { return NSMakeSize(14, 9); }
};

struct Laid {
    Ref<NSTextStorage> storage;
    Ref<NSLayoutManager> manager;
    Ref<NSTextContainer> container;

    explicit Laid(const Ref<NSAttributedString>& text, CGFloat width, bool nonContiguous = false)
    {
        storage = NSTextStorage::initWithAttributedString(text);
        manager = NSObject::make<NSLayoutManager>();
        manager->setAllowsNonContiguousLayout(nonContiguous);
        container = NSTextContainer::initWithContainerSize({width, 1e7});
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }
};

class RandomText {
public:
    explicit RandomText(unsigned seed)
        : m_random(seed)
    {
        auto font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
        auto big = NSFont::fontWithName("DejaVu Sans"_ns, 17);
        auto centred = NSMutableParagraphStyle::paragraphStyle();
        centred->setAlignment(NSTextAlignmentCenter);
        centred->setLineSpacing(3);
        auto indented = NSMutableParagraphStyle::paragraphStyle();
        indented->setFirstLineHeadIndent(20);
        indented->setHeadIndent(8);
        indented->setParagraphSpacing(5);
        indented->setTabStops(NSArray::arrayWithObjects(
            {NSTextTab::initWithType(NSRightTabStopType, 90), NSTextTab::initWithType(NSCenterTabStopType, 160)}));
        auto attachment = NSObject::make<NSTextAttachment>();
        attachment->setAttachmentCell(NSObject::make<BoxCell>());
        m_styles = {NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font}}),
                    NSDictionary::dictionaryWithEntries({{NSFontAttributeName, big}}),
                    NSDictionary::dictionaryWithEntries(
                        {{NSFontAttributeName, font}, {NSParagraphStyleAttributeName, centred}}),
                    NSDictionary::dictionaryWithEntries(
                        {{NSFontAttributeName, font}, {NSParagraphStyleAttributeName, indented}})};
        m_attachment =
            NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font}, {NSAttachmentAttributeName, attachment}});
    }

    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }

    Ref<NSAttributedString> piece(size_t words)
    {
        static const std::u16string parts[] = {
            u"alpha",        u"beta ",   u"  ",         u"\t",   u"\n",
            u"\r\n",         u"\u2028",  u"\u2029",     u"שלום", u"مرحبا",
            u"漢字テキスト", u"e\u0301", u"\U0001F600", u"x",    u"longwordwithoutanybreakopportunityatall",
            u"12.5"};
        auto out = NSMutableAttributedString::initWithString(""_ns);
        for (size_t w = 0; w < words; ++w) {
            if (below(25) == 0) {
                out->appendAttributedString(
                    NSAttributedString::initWithString(NSString::stringWithUTF16(u"\uFFFC"), m_attachment));
                continue;
            }
            std::u16string text = parts[below(std::size(parts))];
            if (below(3) == 0) text += u" ";
            out->appendAttributedString(
                NSAttributedString::initWithString(NSString::stringWithUTF16(text), m_styles[below(m_styles.size())]));
        }
        return out;
    }

    // One edit applied to both storages: insert, delete, replace, restyle.
    void edit(const Ref<NSTextStorage>& a)
    {
        NSUInteger n = a->length();
        NSUInteger at = n ? below(n + 1) : 0;
        NSUInteger length = at < n ? std::min<NSUInteger>(below(12), n - at) : 0;
        switch (below(4)) {
        case 0: a->replaceCharactersInRange(NSMakeRange(at, 0), piece(1 + below(3))); break;
        case 1: a->replaceCharactersInRange(NSMakeRange(at, length), ""_ns); break;
        case 2: a->replaceCharactersInRange(NSMakeRange(at, length), piece(1 + below(2))); break;
        default:
            if (length > 0) a->setAttributes(m_styles[below(m_styles.size())], NSMakeRange(at, length));
            break;
        }
    }

private:
    std::mt19937 m_random;
    std::vector<Ref<NSDictionary>> m_styles;
    Ref<NSDictionary> m_attachment;
};

std::string describe(NSRect r)
{
    return std::to_string(r.origin.x) + "," + std::to_string(r.origin.y) + " " + std::to_string(r.size.width) + "x" +
           std::to_string(r.size.height);
}

// Everything a caller can learn about the layout, glyph by glyph.
std::vector<std::string> snapshot(NSLayoutManager& m, const Ref<NSTextContainer>& container)
{
    std::vector<std::string> out;
    NSUInteger n = m.numberOfGlyphs();
    for (NSUInteger i = 0; i < n; ++i) {
        NSRange line;
        NSRect rect = m.lineFragmentRectForGlyphAtIndex(i, &line);
        NSPoint at = m.locationForGlyphAtIndex(i);
        out.push_back(std::to_string(i) + ": g" + std::to_string(m.glyphAtIndex(i)) + " a" +
                      std::to_string(m.advanceForGlyphAtIndex(i)) + " b" +
                      std::to_string(m.intAttribute(NSGlyphAttributeBidiLevel, i)) + " @" + std::to_string(at.x) + "," +
                      std::to_string(at.y) + " line " + std::to_string(line.location) + "+" +
                      std::to_string(line.length) + " " + describe(rect) + " used " +
                      describe(m.lineFragmentUsedRectForGlyphAtIndex(i, nullptr)));
    }
    out.push_back("extra " + describe(m.extraLineFragmentRect()) + " " + describe(m.extraLineFragmentUsedRect()));
    out.push_back("used " + describe(m.usedRectForTextContainer(container)));
    NSRange range = m.glyphRangeForTextContainer(container);
    out.push_back("container " + std::to_string(range.location) + "+" + std::to_string(range.length));
    return out;
}

// The first line where two snapshots differ, both ways, or "".
std::string firstDifference(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    for (size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        std::string a = i < actual.size() ? actual[i] : "(none)", e = i < expected.size() ? expected[i] : "(none)";
        if (a != e) return "kept  " + a + "\nfresh " + e;
    }
    return "";
}

}

NS_CLASS_DEFINE(BoxCell)

TEST(IncrementalLayout, EditsGiveWhatAFreshLayoutGives)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        RandomText random(seed);
        Laid kept(random.piece(60), 240);
        kept.manager->ensureLayoutForTextContainer(kept.container);
        for (int step = 0; step < 25; ++step) {
            random.edit(kept.storage);
            // Sometimes a query comes between edits, sometimes not.
            if (random.below(3) == 0)
                kept.manager->ensureLayoutForCharacterRange(NSMakeRange(0, kept.storage->length()));
            if (random.below(4) == 0)
                kept.manager->glyphRangeForBoundingRect(NSMakeRect(0, 0, 240, 40), kept.container);
            Laid fresh(kept.storage, 240);
            auto expected = snapshot(*fresh.manager, fresh.container);
            auto actual = snapshot(*kept.manager, kept.container);
            ASSERT_EQ(firstDifference(actual, expected), "") << "seed " << seed << " step " << step;
        }
    }
}

TEST(IncrementalLayout, LayoutGoesOnlyAsFarAsAsked)
{
    std::u16string text;
    for (int line = 0; line < 3000; ++line) text += u"A line of text that fills some of the width\n";
    Laid laid(
        NSAttributedString::initWithString(
            NSString::stringWithUTF16(text),
            NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::fontWithName("DejaVu Sans"_ns, 12)}})),
        800);
    NSRange top = laid.manager->glyphRangeForBoundingRect(NSMakeRect(0, 0, 800, 600), laid.container);
    EXPECT_GT(top.length, 0u);
    EXPECT_LT(laid.manager->firstUnlaidCharacterIndex(), text.size() / 10);
    // A question about a far glyph lays out up to it, no further.
    NSUInteger far = text.size() / 2;
    NSRect line = laid.manager->lineFragmentRectForGlyphAtIndex(far, nullptr);
    EXPECT_GT(line.origin.y, 0);
    EXPECT_LT(laid.manager->firstUnlaidCharacterIndex(), far + text.size() / 10);
    // A typed character lays out its paragraph again and moves the rest.
    laid.storage->replaceCharactersInRange(NSMakeRange(10, 0), "\n"_ns);
    EXPECT_EQ(laid.manager->lineFragmentRectForGlyphAtIndex(far + 1, nullptr).origin.y,
              line.origin.y + line.size.height);
}

// A long text is split into paragraphs only as far as layout goes: edits
// past that point, across it and right at it (breaks made, joined, CR put
// before LF) leave what a fresh layout gives.
TEST(IncrementalLayout, EditsAroundWhatIsSplitGiveWhatAFreshLayoutGives)
{
    std::u16string text;
    for (int line = 0; text.size() < 20000; ++line)
        text += std::u16string(62, static_cast<char16_t>(u'a' + line % 26)) + (line % 5 == 0 ? u"\r\n" : u" \n");
    auto attributes =
        NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::fontWithName("DejaVu Sans"_ns, 12)}});
    struct Edit {
        NSUInteger at, length;
        const char16_t* with;
    };
    const Edit edits[] = {{8256, 0, u"\n"},       {8255, 1, u""},       {8255, 0, u"\r"}, {8191, 2, u"x\ny"},
                          {8000, 1000, u"new\n"}, {15000, 0, u"far\n"}, {8256, 100, u""}, {19990, 10, u""}};
    for (const Edit& edit : edits) {
        Laid kept(NSAttributedString::initWithString(NSString::stringWithUTF16(text), attributes), 300);
        kept.manager->glyphRangeForBoundingRect(NSMakeRect(0, 0, 300, 200), kept.container);
        ASSERT_LT(kept.manager->firstUnlaidCharacterIndex(), 8192u);
        kept.storage->replaceCharactersInRange(NSMakeRange(edit.at, edit.length), NSString::stringWithUTF16(edit.with));
        kept.manager->glyphRangeForBoundingRect(NSMakeRect(0, 0, 300, 200), kept.container);
        Laid fresh(kept.storage, 300);
        ASSERT_EQ(firstDifference(snapshot(*kept.manager, kept.container), snapshot(*fresh.manager, fresh.container)),
                  "")
            << "edit at " << edit.at;
    }
}

// With non-contiguous layout, questions about far places lay out only the
// paragraphs there, at an estimated height; what they answer within a line
// (its glyphs, width, height, glyph locations) is what a full layout answers,
// edits there keep it so, and once layout reaches them everything is exact.
TEST(IncrementalLayout, FarQuestionsLayOutOnlyWhatTheyAskAndJoinUpExactly)
{
    for (unsigned seed : {11u, 12u}) {
        RandomText random(seed);
        Laid kept(random.piece(3000), 240, true);
        kept.manager->glyphRangeForBoundingRect(NSMakeRect(0, 0, 240, 300), kept.container);
        size_t islands = 0;
        for (int step = 0; step < 20; ++step) {
            const NSUInteger n = kept.storage->length();
            NSUInteger at = random.below(n);
            if (random.below(2) == 0) {
                // A rectangle somewhere in the estimated height.
                const NSRect used = kept.manager->usedRectForTextContainer(kept.container);
                const CGFloat y = static_cast<CGFloat>(random.below(static_cast<size_t>(NSMaxY(used)) + 1));
                NSRange shown = kept.manager->glyphRangeForBoundingRect(NSMakeRect(0, y, 240, 200), kept.container);
                if (shown.length > 0) at = shown.location + random.below(shown.length);
            }
            NSRange line;
            const NSRect rect = kept.manager->lineFragmentRectForGlyphAtIndex(at, &line);
            islands += kept.manager->firstUnlaidCharacterIndex() < at;
            Laid fresh(kept.storage, 240);
            NSRange freshLine;
            const NSRect expected = fresh.manager->lineFragmentRectForGlyphAtIndex(at, &freshLine);
            ASSERT_EQ(line.location, freshLine.location) << "seed " << seed << " step " << step;
            ASSERT_EQ(line.length, freshLine.length) << "seed " << seed << " step " << step;
            EXPECT_EQ(describe(NSOffsetRect(rect, 0, NSMinY(expected) - NSMinY(rect))), describe(expected));
            const NSPoint location = kept.manager->locationForGlyphAtIndex(at),
                          freshLocation = fresh.manager->locationForGlyphAtIndex(at);
            EXPECT_EQ(location.x, freshLocation.x);
            EXPECT_EQ(location.y, freshLocation.y);
            // Most edits land where layout was asked for last.
            if (random.below(3) > 0) {
                const NSUInteger where = std::min<NSUInteger>(kept.storage->length(), at + random.below(30));
                kept.storage->replaceCharactersInRange(NSMakeRange(where, 0), random.piece(1 + random.below(3)));
            } else {
                random.edit(kept.storage);
            }
        }
        EXPECT_GE(islands, 3u) << "seed " << seed;
        Laid fresh(kept.storage, 240);
        ASSERT_EQ(firstDifference(snapshot(*kept.manager, kept.container), snapshot(*fresh.manager, fresh.container)),
                  "")
            << "seed " << seed;
    }
}

TEST(IncrementalLayout, FarPlacesOfALongTextAreLaidOutAloneAtTheirEstimatedHeight)
{
    std::u16string text;
    for (int line = 0; line < 20000; ++line) {
        text += u"Line " + std::u16string(1 + line % 7, u'x');
        // Every tenth paragraph wraps onto a second line.
        if (line % 10 == 0) text += u" and more words that fill the rest of the width well past its end";
        text += u"\n";
    }
    auto attributes =
        NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::fontWithName("DejaVu Sans"_ns, 12)}});
    Laid laid(NSAttributedString::initWithString(NSString::stringWithUTF16(text), attributes), 300, true);
    Laid full(NSAttributedString::initWithString(NSString::stringWithUTF16(text), attributes), 300);
    const NSRect used = laid.manager->usedRectForTextContainer(laid.container);
    const NSRect fullUsed = full.manager->usedRectForTextContainer(full.container);
    EXPECT_NEAR(NSHeight(used), NSHeight(fullUsed), NSHeight(fullUsed) * 0.2);
    EXPECT_LT(laid.manager->firstUnlaidCharacterIndex(), text.size() / 100);

    // A glyph near the end: only its paragraph is laid out, near where it
    // will be.
    const NSUInteger far = text.size() * 9 / 10;
    const NSRect line = laid.manager->lineFragmentRectForGlyphAtIndex(far, nullptr);
    const NSRect fullLine = full.manager->lineFragmentRectForGlyphAtIndex(far, nullptr);
    EXPECT_LT(laid.manager->firstUnlaidCharacterIndex(), text.size() / 100);
    EXPECT_NEAR(NSMinY(line), NSMinY(fullLine), NSHeight(fullUsed) * 0.2);
    EXPECT_EQ(NSHeight(line), NSHeight(fullLine));

    // A rectangle down there shows a page of glyphs next to each other.
    const NSRect page = NSMakeRect(0, NSMinY(line) + 100, 300, 600);
    const NSRange shown = laid.manager->glyphRangeForBoundingRect(page, laid.container);
    EXPECT_GT(shown.length, 200u);
    EXPECT_GT(shown.location, far);
    EXPECT_LT(laid.manager->firstUnlaidCharacterIndex(), text.size() / 100);
    NSRect previous = NSZeroRect;
    for (NSUInteger i = shown.location; i < NSMaxRange(shown);) {
        NSRange range;
        const NSRect r = laid.manager->lineFragmentRectForGlyphAtIndex(i, &range);
        if (i > shown.location) {
            EXPECT_EQ(NSMinY(r), NSMaxY(previous));
        }
        previous = r;
        i = NSMaxRange(range);
    }
    EXPECT_GT(NSMaxY(previous), NSMinY(page));
    EXPECT_LT(NSMinY(previous), NSMaxY(page));

    // Once the layout from the start reaches it, it is where a full layout puts it.
    laid.manager->ensureLayoutForTextContainer(laid.container);
    EXPECT_EQ(describe(laid.manager->lineFragmentRectForGlyphAtIndex(far, nullptr)), describe(fullLine));
    EXPECT_EQ(describe(laid.manager->usedRectForTextContainer(laid.container)), describe(fullUsed));
}

TEST(LineBreaking, IteratorsAreMadeOnceAndReused)
{
    auto font = NSFont::fontWithName("DejaVu Sans"_ns, 12);
    auto attributes = NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font}});
    auto wrapped = "A label long enough to wrap onto several lines"_ns;
    // Warm up: the thread's iterators exist after the first wrap.
    NSStringExt::boundingRectWithSize(wrapped, NSMakeSize(80, 1000), NSStringDrawingUsesLineFragmentOrigin, attributes);
    const uint64_t made = BreakIteratorCache::iteratorsMade();
    for (int redraw = 0; redraw < 20; ++redraw) {
        NSStringExt::boundingRectWithSize(wrapped, NSMakeSize(80, 1000), NSStringDrawingUsesLineFragmentOrigin,
                                          attributes);
        Laid laid(NSAttributedString::initWithString(wrapped, attributes), 80);
        laid.manager->ensureLayoutForTextContainer(laid.container);
    }
    EXPECT_EQ(BreakIteratorCache::iteratorsMade(), made);
}
