#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSTableColumn.h"
#include "AppKit/NSTableView.h"
#include "AppKit/NSTextStorage.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRuler.h"
#include "ZAKAppKit/ZAKLineNumberRuler/ZAKLineNumberRulerWithMarker.h"
#include "ZAKAppKit/ZAKLineNumberRuler/ZAKRulerMarker.h"

namespace {

class Rows : public NSObject, public NSTableViewDataSource {
    NS_OBJECT(Rows, NSObject)
protected:
    Rows() = default;

public:
    NSInteger count = 0;
    std::optional<NSInteger> numberOfRowsInTableView(NSTableView*) override { return count; }
};
NS_CLASS_DEFINE(Rows)

Ref<NSImage> markerImage()
{
    return NSImage::imageWithSize(NSMakeSize(10, 8), false, [](NSRect r) {
        NSColor::blueColor()->setFill();
        NSRectFill(r);
        return true;
    });
}

// String drawing records glyphs only: read the digits back through the font.
std::u16string digitsOf(const CGRecordedOperation& op)
{
    std::u16string text;
    for (uint32_t glyph : op.glyphs)
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            if (op.font->glyphForCharacter(digit) == glyph) text += digit;
    return text;
}

struct Label {
    std::u16string text;
    CGFloat y;  // glyph baseline in the ruler
    CGRGBA color;
};

class LineNumberRulerTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 400, 300), NSColor::whiteColor());
        scroll = NSObject::alloc<NSScrollView>();
        scroll->initWithFrame(NSMakeRect(0, 0, 400, 300));
        scroll->setHasVerticalScroller(true);
        window->contentView()->addSubview(scroll);
    }

    Ref<NSTextView> useText(const std::u16string& text)
    {
        auto textView = NSObject::alloc<NSTextView>();
        textView->initWithFrame(NSMakeRect(0, 0, 350, 300));
        textView->setFont(NSFont::fontWithName("DejaVu Sans"_ns, 12));
        textView->setString(NSString::stringWithUTF16(text));
        scroll->setDocumentView(textView);
        attachRuler();
        return textView;
    }

    Ref<NSTableView> useTable(NSInteger rows)
    {
        source = NSObject::make<Rows>();
        source->count = rows;
        auto table = NSObject::alloc<NSTableView>();
        table->initWithFrame(NSMakeRect(0, 0, 350, 300));
        table->addTableColumn(NSObject::alloc<NSTableColumn>()->initWithIdentifier("c"_ns));
        table->setDataSource(source);
        scroll->setDocumentView(table);
        attachRuler();
        return table;
    }

    void attachRuler()
    {
        ruler = withMarkers ? NSObject::alloc<ZAKLineNumberRulerWithMarker>()->initWithScrollView(scroll)
                            : NSObject::alloc<ZAKLineNumberRuler>()->initWithScrollView(scroll);
        scroll->setVerticalRulerView(ruler);
        scroll->setHasVerticalRuler(true);
        scroll->setRulersVisible(true);
        pump();
    }

    // What the ruler draws: its labels, in order, and its marker images.
    std::vector<Label> drawnLabels(std::vector<CGRecordedOperation>* images = nullptr)
    {
        auto rec = CGRecordingContext::create({100, 400});
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, true));
        ruler->drawHashMarksAndLabelsInRect(ruler->bounds());
        NSGraphicsContext::restoreGraphicsState();
        std::vector<Label> labels;
        for (const auto& op : rec->operations()) {
            if (op.kind == CGRecordedOperation::Kind::Glyphs)
                labels.push_back(
                    {digitsOf(op), CGPointApplyAffineTransform(op.positions.at(0), op.ctm).y, op.paint.color});
            if (op.kind == CGRecordedOperation::Kind::Image && images) images->push_back(op);
        }
        return labels;
    }

    Ref<NSWindow> window;
    Ref<NSScrollView> scroll;
    Ref<ZAKLineNumberRuler> ruler;
    Ref<Rows> source;
    bool withMarkers = false;
};

std::vector<NSUInteger> freshStarts(const Ref<ZAKLineNumberRuler>& ruler)
{
    ruler->invalidateLineIndices();
    return ruler->lineStarts();
}

}

TEST_F(LineNumberRulerTest, LinesStartAfterEachTerminator)
{
    struct Case {
        std::u16string text;
        std::vector<NSUInteger> starts;
    } cases[] = {
        {u"a\nb\n", {0, 2, 4}},
        {u"a\nb", {0, 2}},
        {u"", {0}},
        {u"a\r\nb\rc\u2029", {0, 3, 5, 7}},
    };
    for (const auto& c : cases) {
        auto textView = useText(c.text);
        EXPECT_EQ(ruler->lineStarts(), c.starts) << ruler->lineStarts().size();
        EXPECT_EQ(ruler->lineIndices()->count(), c.starts.size());
        // Every index answers the line holding it.
        for (size_t line = 0; line < c.starts.size(); ++line)
            EXPECT_EQ(ruler->lineNumberForCharacterIndex(c.starts[line], textView->string()), line);
    }
    // Indexes beyond 32 bits compare as they are.
    auto textView = useText(u"x\ny\n");
    EXPECT_EQ(ruler->lineNumberForCharacterIndex(NSUInteger(1) << 33, textView->string()), 2u);
}

TEST_F(LineNumberRulerTest, EditsPatchTheLineStartsExactlyAsACountFromScratch)
{
    auto textView = useText(u"one\ntwo\r\nthree\n\nfour");
    auto storage = textView->textStorage();
    std::mt19937 random(23);
    const std::u16string pieces[] = {u"\n", u"\r", u"\r\n", u"ab", u"x\ny", u"\u2028", u"", u"\n\n"};
    for (int step = 0; step < 400; ++step) {
        const NSUInteger length = storage->length();
        const NSUInteger at = random() % (length + 1);
        const NSUInteger span = std::min<NSUInteger>(length - at, random() % 4);
        const auto& piece = pieces[random() % std::size(pieces)];
        ruler->lineStarts();
        storage->replaceCharactersInRange(NSMakeRange(at, span), NSString::stringWithUTF16(piece));
        const auto patched = ruler->lineStarts();
        ASSERT_EQ(patched, freshStarts(ruler)) << "step " << step << " at " << at << " span " << span;
    }
}

TEST_F(LineNumberRulerTest, ThicknessFitsTheWidestNumberOneTurnLater)
{
    auto textView = useText(u"");
    const auto width = [&](int digits) {
        return NSStringExt::sizeWithAttributes(NSString::stringWithUTF8String(std::string(size_t(digits), '8').c_str()),
                                               ruler->textAttributes())
            .width;
    };
    struct Case {
        int lines, digits;
    } cases[] = {{1, 1}, {9, 1}, {10, 2}, {100, 3}, {1000, 4}};
    for (const auto& c : cases) {
        std::u16string text;
        for (int i = 1; i < c.lines; ++i) text += u"\n";
        textView->setString(NSString::stringWithUTF16(text));
        const CGFloat expected = std::ceil(float(std::max(width(c.digits) + 12, 24.0)));
        EXPECT_EQ(ruler->requiredThickness(), expected) << c.lines;
        EXPECT_GE(ruler->requiredThickness(), 24);
        pump();
        // Within one point of it: a difference of one is not worth a resize.
        EXPECT_NEAR(ruler->ruleThickness(), expected, 1) << c.lines;
        EXPECT_EQ(ruler->frame().size.width, ruler->ruleThickness());
        EXPECT_EQ(scroll->contentView()->frame().origin.x, ruler->ruleThickness());
    }
    // A difference of exactly one point is left alone.
    const CGFloat required = ruler->requiredThickness();
    for (CGFloat off : {1.0, 2.0}) {
        ruler->setRuleThickness(required - off);
        ruler->invalidateLineIndices();
        ruler->calculateLines();
        EXPECT_EQ(ruler->ruleThickness(), required - off) << "not during the count";
        pump();
        EXPECT_EQ(ruler->ruleThickness(), off == 1 ? required - 1 : required) << off;
    }
}

TEST_F(LineNumberRulerTest, LabelsMarkersAndTheEdgeAreDrawnBesideTheirLines)
{
    std::u16string text;
    for (int i = 1; i <= 60; ++i) text += u"line\n";
    auto textView = useText(text);
    pump();
    const CGFloat width = ruler->bounds().size.width;
    auto labels = drawnLabels();
    ASSERT_GE(labels.size(), 10u);
    EXPECT_EQ(labels[0].text, u"1");
    EXPECT_EQ(labels[4].text, u"5");
    EXPECT_EQ(labels[0].color, (CGRGBA{0, 0, 0, 1}));
    // Each label is centred on its line: the baselines step by the line height.
    auto layout = textView->layoutManager();
    const auto rectOf = [&](NSUInteger line) {
        return layout->rectArrayForCharacterRange(NSMakeRange(ruler->lineStarts()[line], 0), NSMakeRange(NSNotFound, 0),
                                                  textView->textContainer())[0];
    };
    EXPECT_NEAR(labels[4].y - labels[0].y, NSMinY(rectOf(4)) - NSMinY(rectOf(0)), 0.01);

    auto marker =
        NSObject::alloc<ZAKLineNumberRulerMarker>()->initWithRulerView(ruler, 5, markerImage(), NSMakePoint(0, 4));
    ruler->addMarker(marker);
    auto second =
        NSObject::alloc<ZAKLineNumberRulerMarker>()->initWithRulerView(ruler, 5, markerImage(), NSMakePoint(0, 4));
    ruler->addMarker(second);
    EXPECT_EQ(ruler->markerAtLine(5), second);
    EXPECT_FALSE(ruler->markerAtLine(4));
    auto platformMarker = ZAKRulerMarker::leftEdgeRulerMarkerForRulerView(ruler);
    ruler->addMarker(platformMarker);
    auto all = ruler->markers();
    ASSERT_EQ(all->count(), 2u);
    EXPECT_EQ(all->objectAtIndex(0), Id(platformMarker));
    EXPECT_EQ(all->objectAtIndex(1), Id(second));

    std::vector<CGRecordedOperation> images;
    labels = drawnLabels(&images);
    EXPECT_EQ(labels[4].color, (CGRGBA{1, 1, 1, 1}));
    EXPECT_EQ(labels[3].color, (CGRGBA{0, 0, 0, 1}));
    ASSERT_EQ(images.size(), 1u);
    // x = width - image width - 1, centred on the line less the origin's y.
    const NSRect line5 = rectOf(4);
    const CGPoint corner =
        CGPointApplyAffineTransform(CGPointApplyAffineTransform({0, 0}, images[0].imageToUser), images[0].ctm);
    const CGPoint far =
        CGPointApplyAffineTransform(CGPointApplyAffineTransform({10, 8}, images[0].imageToUser), images[0].ctm);
    EXPECT_NEAR(std::min(corner.x, far.x), width - 10 - 1, 0.01);
    EXPECT_NEAR(std::min(corner.y, far.y),
                NSMinY(line5) + textView->textContainerInset().height + line5.size.height / 2 - 4, 0.01);

    // The edge line shows in the window, one pixel inside the ruler's right edge.
    pump();
    EXPECT_EQ(screenPixel(100 + int(width) - 1, 1080 - 400 + 150), 0xFF555555u);
    EXPECT_NE(screenPixel(100 + int(width) - 2, 1080 - 400 + 150), 0xFF555555u);

    ruler->removeAllMarker();
    EXPECT_EQ(ruler->markers()->count(), 0u);
    EXPECT_FALSE(ruler->markerAtLine(5));
}

TEST_F(LineNumberRulerTest, PositionsFindTheirLinesAndNothingBelowTheLast)
{
    auto textView = useText(u"first\nsecond\nthird");
    auto layout = textView->layoutManager();
    const CGFloat inset = textView->textContainerInset().height;
    const auto top = [&](NSUInteger index) {
        return NSMinY(layout->rectArrayForCharacterRange(NSMakeRange(index, 0), NSMakeRange(NSNotFound, 0),
                                                         textView->textContainer())[0]) +
               inset;
    };
    struct Case {
        CGFloat location;
        NSUInteger line;
    } cases[] = {
        {top(0), 1}, {top(6) - 0.5, 1}, {top(6), 2}, {top(13) + 1, 3}, {top(13) + 200, NSUInteger(NSNotFound)},
    };
    for (const auto& c : cases) EXPECT_EQ(ruler->lineNumberForLocation(c.location), c.line) << c.location;

    auto table = useTable(30);
    const CGFloat pitch = table->rectOfRow(1).origin.y;
    scroll->contentView()->scrollToPoint(NSMakePoint(0, 3 * pitch));
    pump();
    struct TableCase {
        CGFloat location;
        NSUInteger line;
    } rows[] = {{1, 4}, {pitch + 1, 5}, {1000, NSUInteger(NSNotFound)}};
    for (const auto& c : rows) EXPECT_EQ(ruler->lineNumberForLocation(c.location), c.line) << c.location;
}

TEST_F(LineNumberRulerTest, TableRowsAreNumberedBelowTheHeader)
{
    auto table = useTable(5);
    const CGFloat header = table->headerView()->frame().size.height;
    ASSERT_GT(header, 0);
    EXPECT_EQ(ruler->lineStarts(), (std::vector<NSUInteger>{0, 1, 2, 3, 4}));
    const auto labels = drawnLabels();
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0].text, u"1");
    EXPECT_EQ(labels[4].text, u"5");
    // Centred in rows of rowHeight, the first one just below the header.
    const auto size = NSStringExt::sizeWithAttributes("1"_ns, ruler->textAttributes());
    const CGFloat top = header + (table->rowHeight() - size.height) / 2;
    EXPECT_GT(labels[0].y, top);
    EXPECT_LT(labels[0].y, top + size.height);
    EXPECT_NEAR(labels[1].y - labels[0].y, table->rectOfRow(1).origin.y, 0.01);
}

TEST_F(LineNumberRulerTest, RulerAndMarkersKeepTheirValuesInBothArchives)
{
    useText(u"a\nb\n");
    ruler->setFont(NSFont::fontWithName("DejaVu Sans"_ns, 9));
    ruler->setTextColor(NSColor::redColor());
    ruler->setBackgroundColor(NSColor::yellowColor());
    auto marker =
        NSObject::alloc<ZAKLineNumberRulerMarker>()->initWithRulerView(ruler, 2, markerImage(), NSMakePoint(0, 6.5));
    ruler->addMarker(marker);
    const NSClassList allowed = {&ZAKLineNumberRuler::classRecord(),
                                 &ZAKLineNumberRulerMarker::classRecord(),
                                 &NSFont::classRecord(),
                                 &NSColor::classRecord(),
                                 &NSArray::classRecord(),
                                 &NSData::classRecord(),
                                 &NSNumber::classRecord(),
                                 &NSString::classRecord()};
    for (bool keyed : {true, false}) {
        const auto roundTrip = [&](const Id& object) {
            return keyed
                       ? NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(object),
                                                                    allowed)
                       : NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(object), allowed);
        };
        auto back = dynamic_ref_cast<ZAKLineNumberRuler>(roundTrip(ruler));
        ASSERT_TRUE(back) << keyed;
        EXPECT_EQ(back->orientation(), NSVerticalRuler);
        ASSERT_TRUE(back->font());
        EXPECT_EQ(back->font()->pointSize(), 9);
        EXPECT_TRUE(back->textColor()->isEqual(NSColor::redColor().get()));
        EXPECT_FALSE(back->alternateTextColor());
        EXPECT_TRUE(back->backgroundColor()->isEqual(NSColor::yellowColor().get()));
        EXPECT_EQ(back->markers()->count(), 0u) << "line markers are not archived";
        auto markerBack = dynamic_ref_cast<ZAKLineNumberRulerMarker>(roundTrip(marker));
        ASSERT_TRUE(markerBack);
        EXPECT_EQ(markerBack->lineNumber(), 2u);
        EXPECT_EQ(markerBack->imageOrigin(), NSMakePoint(0, 6.5));
    }
    auto copy = dynamic_ref_cast<ZAKLineNumberRulerMarker>(marker->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->lineNumber(), 2u);
    EXPECT_EQ(copy->ruler(), Ref<NSRulerView>(ruler));
    // Line numbers that do not fit become 0.
    struct Case {
        double given;
        NSUInteger line;
    } cases[] = {{7.9, 7}, {-1, 0}, {NAN, 0}, {1e30, 0}, {INFINITY, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(NSObject::alloc<ZAKLineNumberRulerMarker>()
                      ->initWithRulerView(ruler, c.given, nullptr, NSZeroPoint)
                      ->lineNumber(),
                  c.line)
            << c.given;
}

TEST_F(LineNumberRulerTest, EdgeMarkersAreDarkTrianglesAtTheirOrigins)
{
    useText(u"");
    using Factory = Ref<ZAKRulerMarker> (*)(const Ref<NSRulerView>&);
    struct Case {
        Factory make;
        NSPoint origin;
        NSPoint inside, outside;  // image points, y up
    } cases[] = {
        {&ZAKRulerMarker::leftEdgeRulerMarkerForRulerView, {0, 0}, {2, 6}, {6, 2}},
        {&ZAKRulerMarker::rightEdgeRulerMarkerForRulerView, {7, 0}, {6, 6}, {2, 2}},
        {&ZAKRulerMarker::topEdgeRulerMarkerForRulerView, {8, 8}, {2, 6}, {6, 2}},
        {&ZAKRulerMarker::bottomEdgeRulerMarkerForRulerView, {8, 0}, {2, 2}, {6, 6}},
    };
    for (const auto& c : cases) {
        auto marker = c.make(ruler);
        EXPECT_EQ(marker->ruler(), Ref<NSRulerView>(ruler));
        EXPECT_EQ(marker->markerLocation(), 0);
        EXPECT_EQ(marker->imageOrigin(), c.origin);
        auto image = marker->image();
        ASSERT_EQ(image->size(), NSMakeSize(8, 8));
        auto pixels = image->CGImageForDrawing();
        const auto at = [&](NSPoint p) { return pixels->pixel(size_t(p.x), size_t(7 - p.y)); };
        EXPECT_EQ(at(c.inside), 0xFF242424u) << c.origin.x << "," << c.origin.y;
        EXPECT_EQ(at(c.outside) >> 24, 0u) << c.origin.x << "," << c.origin.y;
    }
}

namespace {

class MarkerRulerTest : public LineNumberRulerTest {
protected:
    void SetUp() override
    {
        LineNumberRulerTest::SetUp();
        withMarkers = true;
    }
    Ref<ZAKLineNumberRulerWithMarker> markerRuler() const
    {
        return dynamic_ref_cast<ZAKLineNumberRulerWithMarker>(ruler);
    }
    // A click at a height in the ruler's own coordinates.
    void clickAt(CGFloat y)
    {
        const NSPoint inWindow = ruler->convertPointToView(NSMakePoint(5, y), nullptr);
        ruler->mouseDown(NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, inWindow, 0, 0, window->windowNumber(),
                                                     nullptr, 0, 1, 1));
    }
    std::vector<NSUInteger> markedLines() const
    {
        std::vector<NSUInteger> lines;
        for (const auto& object : ruler->markers()->snapshot())
            if (auto marker = dynamic_ref_cast<ZAKLineNumberRulerMarker>(object)) lines.push_back(marker->lineNumber());
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

}

TEST_F(MarkerRulerTest, ClicksToggleTheLineMarkerOfAnEditableRulerOnly)
{
    auto textView = useText(u"first\nsecond\nthird");
    auto layout = textView->layoutManager();
    const CGFloat secondLine = NSMidY(layout->rectArrayForCharacterRange(NSMakeRange(6, 0), NSMakeRange(NSNotFound, 0),
                                                                         textView->textContainer())[0]) +
                               textView->textContainerInset().height;
    ASSERT_TRUE(markerRuler()->editable());

    clickAt(secondLine);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{2});
    auto marker = ruler->markerAtLine(2);
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->imageOrigin(), NSMakePoint(0, 6.5));
    EXPECT_EQ(marker->image()->size(), NSMakeSize(ruler->ruleThickness(), 13));
    clickAt(secondLine);
    EXPECT_TRUE(markedLines().empty());
    clickAt(secondLine);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{2});

    // Below the last line nothing is toggled and nothing redraws.
    pump();
    ASSERT_FALSE(ruler->needsDisplay());
    clickAt(secondLine + 250);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{2});
    EXPECT_FALSE(ruler->needsDisplay());

    markerRuler()->setEditable(false);
    clickAt(secondLine);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{2});
}

TEST_F(MarkerRulerTest, ATableClickIsMeasuredBelowTheHeader)
{
    auto table = useTable(5);
    const CGFloat header = table->headerView()->frame().size.height;
    const CGFloat pitch = table->rectOfRow(1).origin.y;
    ASSERT_GT(header, 0);
    // Half a row into the third row, counted from the ruler's top edge.
    clickAt(header + 2.5 * pitch);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{3});
}

TEST_F(MarkerRulerTest, AddingMarksALineOnceAndASingleMarkerClearsTheOthers)
{
    useText(u"a\nb\nc\nd");
    auto r = markerRuler();
    r->addMarkerWithLineNumber(1);
    r->addMarkerWithLineNumber(3);
    EXPECT_EQ(markedLines(), (std::vector<NSUInteger>{1, 3}));
    auto first = ruler->markerAtLine(1);
    pump();
    ASSERT_FALSE(ruler->needsDisplay());
    r->addMarkerWithLineNumber(1);
    EXPECT_EQ(ruler->markerAtLine(1), first);
    EXPECT_FALSE(ruler->needsDisplay());
    // Every marker shares the one image, which follows the thickness.
    EXPECT_EQ(ruler->markerAtLine(3)->image(), first->image());
    r->setRuleThickness(40);
    EXPECT_EQ(first->image()->size(), NSMakeSize(40, 13));
    EXPECT_EQ(r->markerImageWithSize(NSMakeSize(5, 5)), first->image());

    r->addSingleMarkerWithLineNumber(4);
    EXPECT_EQ(markedLines(), std::vector<NSUInteger>{4});
}

TEST_F(MarkerRulerTest, TheMarkerIsABlueArrowPointingAtTheText)
{
    useText(u"a");
    auto rep = NSCustomImageRep::initWithDrawSelector("drawMarkerImageIntoRep:", Id(ruler));
    rep->setSize(NSMakeSize(20, 13));
    auto rec = CGRecordingContext::create({20, 13});
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, false));
    rep->drawContent();
    NSGraphicsContext::restoreGraphicsState();

    ASSERT_EQ(rec->operations().size(), 2u);
    const auto& fill = rec->operations()[0];
    const auto& stroke = rec->operations()[1];
    EXPECT_EQ(fill.kind, CGRecordedOperation::Kind::Fill);
    EXPECT_EQ(stroke.kind, CGRecordedOperation::Kind::Stroke);
    EXPECT_NEAR(fill.paint.color.b, 0.85, 1e-6);
    EXPECT_NEAR(stroke.paint.color.g, 0.44, 1e-6);
    EXPECT_EQ(stroke.strokeStyle.lineWidth, 2);
    // The tip, the upper corner, both rounded corners on the left, the lower
    // corner, in that order.
    const std::vector<NSPoint> corners = {{19, 7}, {14, 12}, {4, 12}, {1, 9}, {1, 5}, {4, 2}, {14, 2}};
    size_t next = 0;
    for (const auto& element : fill.path.elements) {
        const int n = element.pointCount();
        if (n == 0 || next == corners.size()) continue;
        const CGPoint last = element.points[n - 1];
        if (std::abs(last.x - corners[next].x) < 1e-9 && std::abs(last.y - corners[next].y) < 1e-9) ++next;
    }
    EXPECT_EQ(next, corners.size());
    EXPECT_EQ(fill.path.elements.back().kind, CGPathElementKind::Close);
}
