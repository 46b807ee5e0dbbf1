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

    explicit Laid(const Ref<NSAttributedString>& text, CGFloat width)
    {
        storage = NSTextStorage::initWithAttributedString(text);
        manager = NSObject::make<NSLayoutManager>();
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
