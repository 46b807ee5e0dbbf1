#include <gtest/gtest.h>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSGeometryStrings.h"
#include "LogCapture.h"
#include "ThemedCellRecording.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"
#include "ZAKAppKit/ZAKTPopUpButton/ZAKTPopUpButtonCell.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

// Remembers the rectangles its title is drawn into.
class TitleRecordingCell : public ZAKTButtonCell {
    NS_OBJECT(TitleRecordingCell, ZAKTButtonCell)
protected:
    TitleRecordingCell() = default;

public:
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>& controlView) override
    {
        titleRects.push_back(frame);
        return ZAKTButtonCell::drawTitle(title, frame, controlView);
    }
    std::vector<NSRect> titleRects;
};
NS_CLASS_DEFINE(TitleRecordingCell)

namespace {

Ref<TitleRecordingCell> paintedCell(const char* key, NSUInteger controlSize, const Ref<NSView>& view)
{
    auto cell = NSObject::make<TitleRecordingCell>();
    cell->setTitle("Title"_ns);
    if (key) cell->setThemeKey(NSString::stringWithUTF8String(key));
    cell->setControlSize(controlSize);
    cell->setControlView(view);
    return cell;
}

Ref<NSView> viewOfHeight(CGFloat height)
{
    return NSView::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 100, height));
}

}

TEST(BezelPainters, ShapesOfTheButtonPainters)
{
    using Paint = void (ZAKTButtonCell::*)(const NSRect&);
    struct Case {
        const char* name;
        Paint paint;
        NSUInteger size;
        NSRect frame;
        Kind first;  // the operation that draws the shape first
        NSRect shape;
    } cases[] = {
        {"textured regular",
         &ZAKTButtonCell::drawTexturedRoundedButtonInFrame,
         0,
         {0, 0, 80, 24},
         Kind::Stroke,
         {1.5, 1.5, 77, 20}},
        {"textured small",
         &ZAKTButtonCell::drawTexturedRoundedButtonInFrame,
         1,
         {0, 0, 80, 24},
         Kind::Stroke,
         {1.5, 0.5, 77, 20}},
        {"round rect regular",
         &ZAKTButtonCell::drawRoundRectButtonInFrame,
         0,
         {0, 0, 80, 24},
         Kind::Stroke,
         {1.5, 0.5, 77, 21}},
        {"round rect mini",
         &ZAKTButtonCell::drawRoundRectButtonInFrame,
         2,
         {0, 0, 80, 24},
         Kind::Stroke,
         {1.5, 1.5, 77, 19}},
        // The small square takes its height from the 30-point control view.
        {"small square",
         &ZAKTButtonCell::drawSmallSquareButtonInFrame,
         0,
         {0, 0, 80, 24},
         Kind::Stroke,
         {1.5, 0.5, 77, 27}},
        {"rounded regular", &ZAKTButtonCell::drawRoundedButtonInFrame, 0, {0, 0, 80, 32}, Kind::Fill, {4.5, 5, 71, 19}},
        {"recessed small", &ZAKTButtonCell::drawRecessedButtonInFrame, 1, {0, 0, 80, 20}, Kind::Fill, {1.5, 2, 77, 16}},
    };
    auto tall = viewOfHeight(30);
    for (const auto& c : cases) {
        auto cell = paintedCell("ZAKLightGrayTheme", c.size, tall);
        auto ops = record([&] { ((*cell).*c.paint)(c.frame); });
        auto shapes = ofKind(ops, c.first);
        ASSERT_FALSE(shapes.empty()) << c.name;
        EXPECT_TRUE(NSEqualRects(shapes[0].path.bounds(), c.shape))
            << c.name << ": " << NSStringFromRect(shapes[0].path.bounds())->UTF8String();
    }
    // The textured rounded rectangle has radius 4.
    auto cell = paintedCell("ZAKLightGrayTheme", 0, tall);
    auto strokes =
        ofKind(record([&] { cell->drawTexturedRoundedButtonInFrame(NSMakeRect(0, 0, 80, 24)); }), Kind::Stroke);
    ASSERT_FALSE(strokes.empty());
    EXPECT_EQ(strokes[0].path.elements,
              NSBezierPath::bezierPathWithRoundedRect(NSMakeRect(1.5, 1.5, 77, 20), 4, 4)->elements().elements);
}

TEST(BezelPainters, CheckBoxPlacesItsBoxAndTitle)
{
    auto view = viewOfHeight(18);
    auto cell = paintedCell("ZAKLightGrayTheme", 0, view);
    cell->setButtonType(NSSwitchButton);
    cell->setImagePosition(NSImageLeft);
    auto ops = record([&] { cell->drawCheckInFrame(NSMakeRect(0, 0, 100, 18), false); });
    auto strokes = ofKind(ops, Kind::Stroke);
    ASSERT_FALSE(strokes.empty());
    EXPECT_TRUE(NSEqualRects(strokes[0].path.bounds(), NSMakeRect(2.5, 2.5, 13, 12)));
    ASSERT_EQ(cell->titleRects.size(), 1u);
    EXPECT_TRUE(NSEqualRects(cell->titleRects[0], NSMakeRect(20.5, -1.5, 79.5, 18)));

    // Mixed: a two-point bar 7 points long in the regular box; a radio box
    // is square.
    cell->setAllowsMixedState(true);
    cell->setState(NSMixedState);
    strokes = ofKind(record([&] { cell->drawCheckInFrame(NSMakeRect(0, 0, 100, 18), false); }), Kind::Stroke);
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[2].strokeStyle.lineWidth, 2);
    EXPECT_EQ(strokes[2].path.bounds().size.width, 7);
    strokes = ofKind(record([&] { cell->drawCheckInFrame(NSMakeRect(0, 0, 100, 18), true); }), Kind::Stroke);
    EXPECT_TRUE(NSEqualRects(strokes[0].path.bounds(), NSMakeRect(2.5, 2.5, 13, 13)));

    // Placed in the middle of a taller view; in a matrix by its rows (none
    // counting as one).
    auto tall = viewOfHeight(40);
    cell->setControlView(tall);
    strokes = ofKind(record([&] { cell->drawCheckInFrame(NSMakeRect(0, 0, 100, 18), false); }), Kind::Stroke);
    EXPECT_EQ(strokes[0].path.bounds().origin.y, 2.5 + 11);
    auto matrix = NSObject::alloc<NSMatrix>()->initWithFrame(NSMakeRect(0, 0, 100, 40), NSRadioModeMatrix,
                                                             &ZAKTButtonCell::staticClass(), 0, 0);
    cell->setControlView(matrix);
    strokes = ofKind(record([&] { cell->drawCheckInFrame(NSMakeRect(0, 0, 100, 18), false); }), Kind::Stroke);
    EXPECT_EQ(strokes[0].path.bounds().origin.y, 2.5 + 11);
}

TEST(BezelPainters, PopUpArrowsOfABorderedRegularPopUp)
{
    auto cell = NSObject::make<ZAKTPopUpButtonCell>();
    cell->setThemeKey("ZAKLightGrayTheme"_ns);
    cell->setBordered(true);
    auto fills = ofKind(record([&] { cell->drawArrowsInRect(NSMakeRect(0, 0, 120, 22)); }), Kind::Fill);
    ASSERT_EQ(fills.size(), 2u);
    const std::vector<std::vector<NSPoint>> want = {{{107, 9}, {112, 9}, {109.5, 5}},
                                                    {{107, 13}, {112, 13}, {109.5, 17}}};
    for (size_t i = 0; i < 2; ++i) {
        const auto& elements = fills[i].path.elements;
        ASSERT_GE(elements.size(), 3u);
        for (size_t j = 0; j < 3; ++j) EXPECT_TRUE(NSEqualPoints(elements[j].points[0], want[i][j])) << i << "/" << j;
    }
    cell->setPullsDown(true);
    fills = ofKind(record([&] { cell->drawArrowsInRect(NSMakeRect(0, 0, 120, 22)); }), Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(NSEqualRects(fills[0].path.bounds(), NSMakeRect(106, 8.5, 7, 5)));
}

TEST(BezelPainters, WithoutAThemeNoPainterDrawsAnything)
{
    auto view = viewOfHeight(24);
    auto cell = paintedCell("NoSuchTheme", 0, view);
    const NSRect frame = NSMakeRect(0, 0, 80, 24);
    std::vector<std::function<void()>> painters = {
        [&] { cell->drawTexturedRoundedButtonInFrame(frame); }, [&] { cell->drawRoundRectButtonInFrame(frame); },
        [&] { cell->drawSmallSquareButtonInFrame(frame); },     [&] { cell->drawRoundedButtonInFrame(frame); },
        [&] { cell->drawRecessedButtonInFrame(frame); },        [&] { cell->drawCheckInFrame(frame, false); },
        [&] { cell->drawCheckInFrame(frame, true); },
    };
    for (size_t i = 0; i < painters.size(); ++i) EXPECT_TRUE(record(painters[i]).empty()) << i;
    auto popUp = NSObject::make<ZAKTPopUpButtonCell>();
    EXPECT_TRUE(record([&] { popUp->drawArrowsInRect(frame); }).empty());
}

TEST(BezelPainters, RecessedButtonFollowsThePointerAndLogsItsEntry)
{
    auto view = viewOfHeight(24);
    auto cell = paintedCell("ZAKLightGrayTheme", 0, view);
    cell->setBezelStyle(NSRecessedBezelStyle);
    LogCapture log;
    cell->mouseEntered(nullptr);
    EXPECT_TRUE(cell->isMouseIn());
    EXPECT_TRUE(cell->isHighlighted());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("mouseEntered"), std::string::npos);
    // The on state takes the pointer's place.
    cell->setState(NSOnState);
    cell->drawRecessedButtonInFrame(NSMakeRect(0, 0, 80, 24));
    EXPECT_FALSE(cell->isMouseIn());
    cell->mouseExited(nullptr);
    EXPECT_FALSE(cell->isHighlighted());

    // Other bezel styles only log.
    auto plain = paintedCell("ZAKLightGrayTheme", 0, nullptr);
    plain->mouseEntered(nullptr);
    EXPECT_FALSE(plain->isMouseIn());
    EXPECT_FALSE(plain->isHighlighted());
}
