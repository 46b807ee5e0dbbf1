// The labeled image text cell: its layout of images, information text,
// colour label and text, its drawing, and editing over the drawn text.
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSText.h"
#include "AppKit/NSTextView.h"
#include "AppKitExtensions/ZAKColorLabelColors.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKLabeledImageTextCell.h"

namespace {

Ref<ZAKLabeledImageTextCell> makeCell()
{
    auto cell = NSObject::make<ZAKLabeledImageTextCell>();
    cell->setStringValue("Name"_ns);
    return cell;
}

Ref<NSImage> solidImage(CGFloat width, CGFloat height, const Ref<NSColor>& colour)
{
    auto image = NSImage::initWithSize(NSMakeSize(width, height));
    image->lockFocus();
    colour->setFill();
    NSRectFill(NSMakeRect(0, 0, width, height));
    image->unlockFocus();
    return image;
}

void expectRect(const NSRect& actual, const NSRect& expected, const char* what)
{
    EXPECT_DOUBLE_EQ(actual.origin.x, expected.origin.x) << what;
    EXPECT_DOUBLE_EQ(actual.origin.y, expected.origin.y) << what;
    EXPECT_DOUBLE_EQ(actual.size.width, expected.size.width) << what;
    EXPECT_DOUBLE_EQ(actual.size.height, expected.size.height) << what;
}

// A plain cell's drawing rectangle of (0, 0, 200, 20) is (2, 1, 196, 18):
// the cap radius is 9.
constexpr NSRect kFrame{{0, 0}, {200, 20}};

}

TEST(LabeledImageTextCell, StartsEmptyAndTakesLabelColoursOnlyForTypesOneToSeven)
{
    auto cell = makeCell();
    EXPECT_EQ(cell->colorLabelType(), 0);
    EXPECT_FALSE(cell->labelColor());
    EXPECT_FALSE(cell->middleAlignedText());
    expectRect(cell->textRect(), NSZeroRect, "text");
    cell->setColorLabelType(3);
    ASSERT_TRUE(cell->labelColor());
    EXPECT_TRUE(cell->labelColor()->isEqual(ZAKColorLabelColors::getLabelColorForLabelType(3).get()));
    cell->setColorLabelType(9);
    EXPECT_FALSE(cell->labelColor());
    cell->setColorLabelType(0);
    EXPECT_FALSE(cell->labelColor());
}

TEST(LabeledImageTextCell, LayoutOfImagesInformationTextAndLabel)
{
    auto image = solidImage(16, 16, NSColor::redColor());
    auto status = solidImage(10, 12, NSColor::greenColor());
    auto right = solidImage(8, 8, NSColor::blueColor());

    // A minimum image width of 20 with a 16-point image reserves 24 points
    // and places the image at x + 3 in its own size.
    auto cell = makeCell();
    cell->setImage(image);
    cell->setMinImageWidth(20);
    cell->calcDrawInfo(kFrame);
    expectRect(cell->imageRect(), NSMakeRect(5, 1, 16, 16), "image");
    expectRect(cell->labelRect(), NSZeroRect, "no label");
    expectRect(cell->textRect(), NSMakeRect(26 + 4.5, 1, 172 - 9, 18), "text after the image");

    // Status at the far right (moved by 3), the right image before it, the
    // information text after the image; the label covers what is left.
    cell->setStatusImage(status);
    cell->setRightImage(right);
    cell->setInfoText("i"_ns);
    cell->setColorLabelType(3);
    cell->setLeftInset(2);
    cell->setRightInset(6);
    cell->calcDrawInfo(kFrame);
    // r after the insets: (4, 1, 188, 18); image slice 24; status slice 14; right slice 12.
    expectRect(cell->imageRect(), NSMakeRect(7, 1, 16, 16), "inset image");
    expectRect(cell->statusImageRect(), NSMakeRect(4 + 188 - 14 + 3, 1, 10, 12), "status");
    expectRect(cell->rightImageRect(), NSMakeRect(4 + 188 - 14 - 12, 1, 8, 8), "right image");
    const NSRect info = cell->infoTextRect();
    EXPECT_DOUBLE_EQ(info.origin.x, 28);
    EXPECT_GT(info.size.width, 4);
    const CGFloat left = 28 + info.size.width;
    const CGFloat width = 4 + 188 - 14 - 12 - left;
    expectRect(cell->labelRect(), NSMakeRect(left, 1, width, 18), "label behind the text");
    expectRect(cell->textRect(), NSMakeRect(left + 4.5, 1, width - 9, 18), "text inside the label");
}

TEST(LabeledImageTextCell, HighlightedRowsShrinkTheLabelToACapsuleOrDropIt)
{
    auto cell = makeCell();
    cell->setColorLabelType(2);
    cell->setHighlighted(true);
    cell->calcDrawInfo(kFrame);
    // A 2 x cap radius capsule at the right end, one point shorter than the
    // row; the text gives way by 2 x cap radius + 4.
    expectRect(cell->labelRect(), NSMakeRect(2 + 196 - 18, 1, 18, 17), "capsule");
    expectRect(cell->textRect(), NSMakeRect(2 + 4.5, 1, 196 - 22 - 4.5, 18), "text");

    cell->setStatusImage(solidImage(10, 10, NSColor::greenColor()));
    cell->calcDrawInfo(kFrame);
    expectRect(cell->labelRect(), NSZeroRect, "no label beside a status image");
    expectRect(cell->textRect(), NSMakeRect(2 + 4.5, 1, 196 - 14 - 4.5, 18), "text");
}

TEST(LabeledImageTextCell, MiddleAlignedTextIsCentredInItsRectangle)
{
    auto cell = makeCell();
    cell->setMiddleAlignedText(true);
    cell->calcDrawInfo(NSMakeRect(0, 0, 200, 40));
    const CGFloat textHeight =
        NSStringExt::sizeWithAttributes("Name"_ns,
                                        NSDictionary::dictionaryWithObjectForKey(cell->font(), NSFontAttributeName))
            .height;
    EXPECT_DOUBLE_EQ(cell->textRect().origin.y, 1 - 0.5 + (38 - textHeight) / 2);
}

TEST(LabeledImageTextCell, ACopySharesTheImagesAndTexts)
{
    auto cell = makeCell();
    cell->setImage(solidImage(4, 4, NSColor::redColor()));
    cell->setInfoText("info"_ns);
    cell->setColorLabelType(5);
    auto copy = dynamic_ref_cast<ZAKLabeledImageTextCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->image().get(), cell->image().get());
    EXPECT_EQ(copy->infoText().get(), cell->infoText().get());
    EXPECT_EQ(copy->labelColor().get(), cell->labelColor().get());
    EXPECT_EQ(copy->colorLabelType(), 5);
}

// A view that draws one cell in a frame.
class CellView : public NSView {
    NS_OBJECT(CellView, NSView)
protected:
    CellView() = default;

public:
    Ref<ZAKLabeledImageTextCell> cell;
    NSRect cellFrame = NSZeroRect;
    void drawRect(const NSRect&) override
    {
        NSColor::whiteColor()->setFill();
        NSRectFill(bounds());
        cell->drawInteriorWithFrame(cellFrame, Ref<NSView>(this));
    }
};

NS_CLASS_DEFINE(CellView)

class LabeledCellDrawingTest : public WindowingTest {
protected:
    Ref<CellView> show(const Ref<ZAKLabeledImageTextCell>& cell, const NSRect& frame)
    {
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 220, 40), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        auto view = NSObject::alloc<CellView>();
        view->initWithFrame(NSMakeRect(0, 0, 220, 40));
        view->cell = cell;
        view->cellFrame = frame;
        window->setContentView(view);
        window->makeKeyAndOrderFront(nullptr);
        pump();
        return view;
    }
    Ref<NSWindow> window;
};

TEST_F(LabeledCellDrawingTest, DrawsThePillBehindTheTextAndTheImageAtItsPlace)
{
    auto cell = makeCell();
    cell->setImage(solidImage(16, 16, NSColor::blueColor()));
    cell->setColorLabelType(1);  // red
    show(cell, NSMakeRect(0, 0, 200, 20));
    // Drawing lays out the drawing rectangle (2, 1, 196, 18), whose own
    // drawing rectangle is (4, 2, 192, 16): the image lies at (7, 2) in its
    // size in a 20-point slice, the pill from x 24 to 196. The view is unflipped: view y 10 is
    // screen row 1080 - 110.
    expectRect(cell->imageRect(), NSMakeRect(7, 2, 16, 16), "image");
    expectRect(cell->labelRect(), NSMakeRect(24, 2, 172, 16), "label");
    const int row = 1080 - 110;
    EXPECT_EQ(screenPixel(100 + 12, row) & 0xFFFFFFu, 0x0000FFu) << std::hex << screenPixel(112, row);
    const uint32_t label = screenPixel(100 + 185, row);
    EXPECT_GT((label >> 16) & 0xFF, (label & 0xFF) + 40) << std::hex << label;
    EXPECT_EQ(screenPixel(100 + 210, row) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(LabeledCellDrawingTest, EditingPutsTheFieldEditorOverTheDrawnText)
{
    auto cell = makeCell();
    cell->setImage(solidImage(16, 16, NSColor::blueColor()));
    cell->setColorLabelType(4);
    const NSRect frame = NSMakeRect(0, 10, 200, 20);
    auto view = show(cell, frame);
    const NSRect drawnText = cell->textRect();
    ASSERT_GT(drawnText.size.width, 0);

    auto editor = dynamic_ref_cast<NSText>(window->fieldEditor(true, cell));
    ASSERT_TRUE(editor);
    cell->editWithFrame(frame, view, editor, nullptr, nullptr);
    expectRect(cell->textRect(), drawnText, "laid out as when drawn");
    expectRect(editor->frame(), cell->titleRectForBounds(drawnText), "editor over the text");
    EXPECT_EQ(editor->superview().get(), view.get());
    cell->endEditing(editor);

    cell->selectWithFrame(frame, view, editor, nullptr, 1, 2);
    expectRect(editor->frame(), cell->titleRectForBounds(drawnText), "selecting too");
    EXPECT_EQ(editor->selectedRange().location, 1u);
    cell->endEditing(editor);
}
