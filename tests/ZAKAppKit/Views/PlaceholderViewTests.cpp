#include <gtest/gtest.h>

#include <algorithm>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "ZAKAppKit/ZAKBaseView/ZAKBaseView.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

namespace {

Ref<ZAKBaseView> placeholder(const NSRect& frame = NSMakeRect(0, 0, 400, 300))
{
    return dynamic_ref_cast<ZAKBaseView>(NSObject::alloc<ZAKBaseView>()->initWithFrame(frame));
}

Ref<NSImage> redSquare(CGFloat side)
{
    auto image = NSImage::initWithSize(NSMakeSize(side, side));
    image->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, side, side));
    image->unlockFocus();
    return image;
}

// The box (y up) of the dark text pixels of the view drawn at 400 x 300.
NSRect inkBox(const Ref<ZAKBaseView>& view)
{
    auto image = NSGraphicsContext::imageByDrawing(400, 300, NSMakeSize(400, 300), false,
                                                   [&] { view->drawRect(view->bounds()); });
    int minX = 400, maxX = -1, minY = 300, maxY = -1;
    // Inside the box's one-point frame.
    for (int row = 2; row < 298; ++row)
        for (int x = 2; x < 398; ++x) {
            const uint32_t p = image->pixel(size_t(x), size_t(row));
            const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if ((p >> 24) != 0xff || r != g || g != b || r > 150) continue;  // grey text only
            const int y = 299 - row;
            minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    if (maxX < 0) return NSZeroRect;
    return NSMakeRect(minX, minY, maxX - minX + 1, maxY - minY + 1);
}

size_t glyphRuns(const Ref<ZAKBaseView>& view)
{
    return ofKind(record([&] { view->drawRect(view->bounds()); }), Kind::Glyphs).size();
}

}

TEST(PlaceholderView, AFreshViewShowsNoContentCentred)
{
    auto view = placeholder();
    EXPECT_TRUE(view->text()->isEqualToString("No Content"_ns));
    EXPECT_TRUE(view->hasGradient());
    auto glyphs = ofKind(record([&] { view->drawRect(view->bounds()); }), Kind::Glyphs);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_TRUE(glyphs[0].shadow.enabled);  // the white shadow below
    const NSRect ink = inkBox(view);
    EXPECT_NEAR(NSMidX(ink), 200, 2);
    EXPECT_NEAR(NSMidY(ink), 150, 5);
}

TEST(PlaceholderView, IconAboveTheTextBox)
{
    auto view = placeholder();
    view->setIcon(redSquare(64));
    auto image = NSGraphicsContext::imageByDrawing(400, 300, NSMakeSize(400, 300), false,
                                                   [&] { view->drawRect(view->bounds()); });
    // The measured box: the text's size, placed by the drawing.
    const NSSize box = view->calculatedTextBoxRect().size;
    // The icon at (168, 128), y up; the text box's top 10 points below it.
    auto red = [&](CGFloat x, CGFloat y) { return image->pixel(size_t(x), size_t(300 - 1 - y)) == 0xffff0000u; };
    EXPECT_TRUE(red(168, 128) && red(231, 191));
    EXPECT_FALSE(red(167, 150) || red(200, 127) || red(232, 150) || red(200, 192));
    const NSRect ink = inkBox(view);
    EXPECT_NEAR(NSMidX(ink), 200, 2);
    EXPECT_LE(NSMaxY(ink), 118);
    EXPECT_GE(ink.origin.y, 118 - box.height);

    // With no text only the icon, centred.
    view->setText(nullptr);
    ASSERT_TRUE(view->text());
    EXPECT_EQ(view->text()->length(), 0u);
    EXPECT_EQ(glyphRuns(view), 0u);
    image = NSGraphicsContext::imageByDrawing(400, 300, NSMakeSize(400, 300), false,
                                              [&] { view->drawRect(view->bounds()); });
    EXPECT_TRUE(red(168, 118) && red(231, 181));
    EXPECT_FALSE(red(200, 182));
}

TEST(PlaceholderView, SubviewsHideIconAndTextUnlessAllowed)
{
    auto view = placeholder();
    EXPECT_GT(glyphRuns(view), 0u);
    view->addSubview(NSView::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 10, 10)));
    EXPECT_EQ(glyphRuns(view), 0u);
    view->setPreventDrawingWithSubviews(false);
    EXPECT_GT(glyphRuns(view), 0u);
}

TEST(PlaceholderView, SlideInFramesAndImmediateCompletion)
{
    auto box = placeholder(NSMakeRect(10, 10, 200, 100));
    auto child = NSView::alloc<NSView>()->initWithFrame(NSMakeRect(5, 5, 50, 40));
    struct Case {
        NSInteger effect;
        NSRect frame;
    } cases[] = {{2, {0, 110, 50, 40}},
                 {3, {210, 0, 50, 40}},
                 {4, {0, -90, 50, 40}},
                 {5, {-190, 0, 50, 40}},
                 {0, {0, 0, 50, 40}}};
    for (const auto& c : cases) EXPECT_EQ(box->frameForView(child, c.effect), c.frame) << c.effect;

    int completions = 0;
    box->pushChildView(child, 3, [&] { ++completions; });
    box->popChildViewWithAnimationEffect(3, [&] { ++completions; });
    EXPECT_EQ(completions, 2);
}

TEST(PlaceholderView, AttributedTextLendsItsFirstAttributes)
{
    auto view = placeholder();
    auto before = view->textBoxAttributes();
    view->setAttributedText(NSAttributedString::initWithString(""_ns));  // empty: attributes kept
    EXPECT_EQ(view->textBoxAttributes().get(), before.get());
    auto red = NSDictionary::dictionaryWithObjectForKey(NSColor::redColor(), NSForegroundColorAttributeName);
    view->setAttributedText(NSAttributedString::initWithString("Empty"_ns, red));
    EXPECT_TRUE(view->textBoxAttributes()->isEqual(red.get()));
    EXPECT_TRUE(view->text()->isEqualToString("No Content"_ns));
}

TEST(ContainerBox, LinesFramesAndArchivedHairlines)
{
    auto box =
        dynamic_ref_cast<ZAKContainerBox>(NSObject::alloc<ZAKContainerBox>()->initWithFrame(NSMakeRect(0, 0, 100, 50)));
    box->setHasBottomLine(false);
    auto strokes = ofKind(record([&] { box->drawRect(box->bounds()); }), Kind::Stroke);
    ASSERT_EQ(strokes.size(), 3u);
    for (const auto& s : strokes)  // none along the bottom edge
        EXPECT_FALSE(s.path.bounds().origin.y == 0 && s.path.bounds().size.height == 0);

    box->setHasBottomLine(true);
    box->setTopLineWidth(3);
    EXPECT_TRUE(ofKind(record([&] { box->drawRect(box->bounds()); }), Kind::Stroke).empty());

    box->setHasLeftLine(false);
    auto back = dynamic_ref_cast<ZAKContainerBox>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(box)));
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->hasLeftLine());
    strokes = ofKind(record([&] { back->drawRect(back->bounds()); }), Kind::Stroke);
    ASSERT_EQ(strokes.size(), 3u);
    for (const auto& s : strokes) EXPECT_EQ(s.strokeStyle.lineWidth, 0);
}
