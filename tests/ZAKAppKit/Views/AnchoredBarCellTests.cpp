#include <gtest/gtest.h>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSShadow.h"
#include "ViewPixels.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKUnanchoredButtonContainer.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKUnanchoredButton.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

namespace {

Ref<NSImage> square(CGFloat side)
{
    return NSImage::imageWithSize(NSMakeSize(side, side), false, [](NSRect r) {
        NSColor::blackColor()->setFill();
        NSRectFill(r);
        return true;
    });
}

// The size an image was drawn at.
NSSize drawnSize(const CGRecordedOperation& op)
{
    return NSMakeSize(std::abs(op.imageToUser.a * op.rect.size.width),
                      std::abs(op.imageToUser.d * op.rect.size.height));
}

class BarCellTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 300, 100), NSColor::whiteColor());
    }

    Ref<ZAKAnchoredButton> buttonIn(const Ref<NSView>& holder, const NSRect& frame)
    {
        auto button = dynamic_ref_cast<ZAKAnchoredButton>(NSObject::alloc<ZAKAnchoredButton>()->initWithFrame(frame));
        button->setTitle(""_ns);
        holder->addSubview(button);
        return button;
    }

    Ref<NSWindow> window;
};

}

TEST_F(BarCellTest, TheTileFollowsTheBarsEdge)
{
    auto bar = dynamic_ref_cast<ZAKAnchoredButtonBar>(
        NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(NSMakeRect(0, 0, 300, 23)));
    bar->setResizable(false);
    window->contentView()->addSubview(bar);
    auto plain = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 50, 300, 24));
    window->contentView()->addSubview(plain);
    // 24 high as the button reports itself: the bar clips its top row.
    auto inBar = buttonIn(bar, NSMakeRect(40, 0, 30, 24));
    auto alone = buttonIn(plain, NSMakeRect(40, 0, 30, 24));
    struct Case {
        Ref<ZAKAnchoredButton> button;
        CGFloat bottomLine;
    } cases[] = {{inBar, 202.0 / 255}, {alone, 190.0 / 255}};
    pump();
    for (const auto& c : cases) EXPECT_NEAR(screenGrey(c.button, 15, 23), c.bottomLine, 0.01);
    // The edge line along the top.
    EXPECT_NEAR(screenGrey(alone, 15, 0), 170.0 / 255, 0.01);

    // A top bar's first button gets the darker edge line over its left shade;
    // one on neither edge only the shades.
    auto top = dynamic_ref_cast<ZAKAnchoredButtonBar>(
        NSObject::alloc<ZAKAnchoredButtonBar>()->initWithFrame(NSMakeRect(0, 70, 300, 24)));
    top->setSelectedIndex(2);
    window->contentView()->addSubview(top);
    auto first = buttonIn(top, NSMakeRect(0, 0, 30, 24));
    auto second = buttonIn(top, NSMakeRect(30, 0, 30, 24));
    first->setAtLeftEdgeOfBar(true);
    second->setAtLeftEdgeOfBar(false);
    top->setNeedsDisplay(true);
    pump();
    EXPECT_NEAR(screenGrey(first, 0, 12), 170.0 / 255, 0.01);
    EXPECT_GT(screenGrey(second, 0, 12), 170.0 / 255 + 0.02);
}

TEST(BarCells, SmallDarkTitlesWithAnEngravedShadow)
{
    auto button = NSObject::make<ZAKAnchoredButtonCell>();
    auto popUp = NSObject::make<ZAKAnchoredPopUpButtonCell>();
    EXPECT_EQ(button->buttonType(), NSMomentaryPushInButton);
    EXPECT_EQ(button->bezelStyle(), NSTexturedSquareBezelStyle);
    EXPECT_TRUE(button->isBordered());
    for (NSUInteger size : {0u, 2u}) {
        button->setControlSize(size);
        popUp->setControlSize(size);
        EXPECT_EQ(button->controlSize(), 1u);
        EXPECT_EQ(popUp->controlSize(), 1u);
    }
    struct Case {
        bool enabled;
        CGFloat alpha;
    } cases[] = {{true, 1}, {false, 0.6}};
    for (const auto& c : cases)
        for (const auto& attributes : {Ref<NSCell>(button), Ref<NSCell>(popUp)}) {
            attributes->setEnabled(c.enabled);
            auto dict = attributes == Ref<NSCell>(button) ? button->textAttributes() : popUp->textAttributes();
            auto color = dynamic_ref_cast<NSColor>(dict->objectForKey(NSForegroundColorAttributeName));
            ASSERT_TRUE(color);
            EXPECT_NEAR(color->whiteComponent(), 10.0 / 255, 1e-6);
            EXPECT_NEAR(color->alphaComponent(), c.alpha, 1e-6);
            EXPECT_EQ(dynamic_ref_cast<NSFont>(dict->objectForKey(NSFontAttributeName))->pointSize(), 11);
            auto shadow = dynamic_ref_cast<NSShadow>(dict->objectForKey(NSShadowAttributeName));
            ASSERT_TRUE(shadow);
            EXPECT_EQ(shadow->shadowOffset(), NSMakeSize(0, -1));
        }
    EXPECT_NEAR(button->imageColor()->alphaComponent(), 0.6, 1e-6);
}

TEST(BarCells, OnlyTheActionTemplateIsDrawnTenByTen)
{
    auto action = square(16);
    ASSERT_TRUE(action->setName("NSActionTemplate"_ns));
    auto other = square(16);
    auto view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 40, 30));
    auto cell = NSObject::make<ZAKAnchoredButtonCell>();
    auto popUp = NSObject::make<ZAKAnchoredPopUpButtonCell>();
    struct Case {
        Ref<NSImage> image;
        NSSize drawn;
    } cases[] = {{action, {10, 10}}, {other, {16, 16}}};
    for (const auto& c : cases) {
        auto ops = themed_cells::ofKind(themed_cells::record([&] {
                                            cell->drawImage(c.image, NSMakeRect(0, 0, 40, 30), view);
                                            popUp->setImage(c.image);
                                            popUp->drawImageWithFrame(NSMakeRect(0, 0, 40, 30), view);
                                        }),
                                        CGRecordedOperation::Kind::Image);
        ASSERT_EQ(ops.size(), 2u);
        EXPECT_EQ(drawnSize(ops[0]), c.drawn);
        // The shared image keeps its size for everyone else.
        EXPECT_EQ(c.image->size(), NSMakeSize(16, 16));
    }
    EXPECT_EQ(NSImage::imageNamed("NSActionTemplate"_ns), action);
    action->setName(nullptr);
}

TEST(BarCells, PopUpTitleAndImagePlaces)
{
    auto plain = NSObject::alloc<NSPopUpButtonCell>();
    plain->initTextCell("T"_ns, false);
    auto cell = NSObject::alloc<ZAKAnchoredPopUpButtonCell>();
    cell->initTextCell("T"_ns, false);
    const NSRect bounds = NSMakeRect(0, 0, 60, 24);
    const NSRect base = plain->titleRectForBounds(bounds);
    EXPECT_EQ(cell->titleRectForBounds(bounds),
              NSMakeRect(base.origin.x + 3, base.origin.y - 1, base.size.width - 6, base.size.height));
    struct Case {
        CGFloat imageWidth;
        CGFloat widthGrowth;
    } cases[] = {{4, 0}, {200, 1}};
    for (const auto& c : cases) {
        cell->setImage(NSImage::initWithSize(NSMakeSize(c.imageWidth, 4)));
        plain->setImage(cell->image());
        const NSRect platform = plain->imageRectForBounds(bounds);
        const NSRect mine = cell->imageRectForBounds(bounds);
        EXPECT_EQ(mine.origin.x, platform.origin.x + 1);
        EXPECT_EQ(mine.size.width, platform.size.width + c.widthGrowth);
    }

    auto unanchored = NSObject::make<ZAKUnanchoredButtonCell>();
    EXPECT_EQ(unanchored->highlightRectForBounds(bounds), NSMakeRect(0, 1, 60, 22));
    EXPECT_EQ(NSObject::make<ZAKAnchoredButtonCell>()->highlightRectForBounds(bounds), bounds);
}

TEST_F(BarCellTest, APressedTileIsDarkenedAndTheArrowTinted)
{
    auto cell = NSObject::make<ZAKAnchoredPopUpButtonCell>();
    auto view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 60, 24));
    window->contentView()->addSubview(view);
    for (bool pullsDown : {true, false}) {
        cell->setPullsDown(pullsDown);
        cell->setHighlighted(true);
        auto ops = themed_cells::record([&] { cell->drawWithFrame(NSMakeRect(0, 0, 60, 24), view); });
        const auto images = themed_cells::ofKind(ops, CGRecordedOperation::Kind::Image);
        EXPECT_EQ(images.size(), pullsDown ? 1u : 2u);
        const auto fills = themed_cells::ofKind(ops, CGRecordedOperation::Kind::Fill);
        ASSERT_FALSE(fills.empty());
        EXPECT_NEAR(fills.back().paint.color.a, 0.35, 1e-6);
    }
}

TEST(BarCells, TheUnanchoredContainerMakesItsButtonsTwentyTwoHigh)
{
    auto container = dynamic_ref_cast<ZAKUnanchoredButtonContainer>(
        NSObject::alloc<ZAKUnanchoredButtonContainer>()->initWithFrame(NSMakeRect(0, 0, 200, 40)));
    auto view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(10, 5, 50, 35));
    container->addSubview(view);
    container->awakeFromNib();
    EXPECT_EQ(view->frame(), NSMakeRect(10, 5, 50, 22));
}
