// Image views place their image by scaling, alignment and frame style.
#include "AppKit/NSImageView.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"

namespace {

Ref<NSImage> redImage(NSSize size)
{
    auto image = NSImage::initWithSize(size);
    image->lockFocus();
    NSColor::redColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, size.width, size.height));
    image->unlockFocus();
    return image;
}

}

TEST(ImageCellPlacement, ScalingAlignmentAndFrameStyle)
{
    struct Case {
        const char* name;
        NSSize image;
        NSImageScaling scaling;
        NSImageAlignment alignment;
        NSImageFrameStyle frame;
        bool flipped;
        NSRect expected;  // in a 100 x 50 frame
    } cases[] = {
        {"small, centred",
         {20, 10},
         NSImageScaleProportionallyDown,
         NSImageAlignCenter,
         NSImageFrameNone,
         true,
         {40, 20, 20, 10}},
        {"large, scaled down",
         {200, 50},
         NSImageScaleProportionallyDown,
         NSImageAlignCenter,
         NSImageFrameNone,
         true,
         {0, 12.5, 100, 25}},
        {"small, scaled up",
         {20, 20},
         NSImageScaleProportionallyUpOrDown,
         NSImageAlignLeft,
         NSImageFrameNone,
         true,
         {0, 0, 50, 50}},
        {"stretched inside a bezel",
         {20, 20},
         NSImageScaleAxesIndependently,
         NSImageAlignCenter,
         NSImageFrameGrayBezel,
         true,
         {3, 3, 94, 44}},
        {"top left, flipped", {20, 10}, NSImageScaleNone, NSImageAlignTopLeft, NSImageFrameNone, true, {0, 0, 20, 10}},
        {"top left, unflipped",
         {20, 10},
         NSImageScaleNone,
         NSImageAlignTopLeft,
         NSImageFrameNone,
         false,
         {0, 40, 20, 10}},
        {"bottom right, flipped",
         {20, 10},
         NSImageScaleNone,
         NSImageAlignBottomRight,
         NSImageFrameNone,
         true,
         {80, 40, 20, 10}},
    };
    for (const auto& c : cases) {
        auto cell = NSObject::alloc<NSImageCell>();
        cell->initImageCell(NSImage::initWithSize(c.image));
        cell->setImageScaling(c.scaling);
        cell->setImageAlignment(c.alignment);
        cell->setImageFrameStyle(c.frame);
        EXPECT_EQ(cell->imageRectForBounds(NSMakeRect(0, 0, 100, 50), c.flipped), c.expected) << c.name;
    }
}

TEST_F(WindowingTest, ImageViewDrawsItsImageWhereItsCellPlacesIt)
{
    auto w = makeWindow(NSMakeRect(100, 100, 100, 50), NSColor::whiteColor());
    auto view = NSObject::alloc<NSImageView>();
    view->initWithFrame(NSMakeRect(0, 0, 100, 50));
    view->setImage(redImage({20, 10}));
    view->setImageScaling(NSImageScaleNone);
    view->setImageAlignment(NSImageAlignTopLeft);
    w->contentView()->addSubview(view);
    pump();
    // The window's top is screen row 1080 - 150 = 930.
    EXPECT_EQ(screenPixel(100, 930), 0xFFFF0000u);
    EXPECT_EQ(screenPixel(119, 939), 0xFFFF0000u);
    EXPECT_EQ(screenPixel(120, 930), 0xFFFFFFFFu);
    EXPECT_EQ(screenPixel(100, 940), 0xFFFFFFFFu);

    auto copy = dynamic_ref_cast<NSImageView>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(view)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->imageAlignment(), NSImageAlignTopLeft);
    EXPECT_EQ(copy->imageScaling(), NSImageScaleNone);
    ASSERT_TRUE(copy->image());
    EXPECT_EQ(copy->image()->size(), NSMakeSize(20, 10));
}
