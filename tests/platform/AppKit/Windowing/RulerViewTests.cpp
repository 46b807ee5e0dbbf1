#include <gtest/gtest.h>

#include "AppKit/NSRulerView.h"
#include "AppKit/NSScrollView.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUnarchiver.h"
#include "WindowingFixture.h"

namespace {

class ClickedRuler : public NSRulerView {
    NS_OBJECT(ClickedRuler, NSRulerView)
protected:
    ClickedRuler() = default;

public:
    std::vector<NSPoint> downs;
    int draws = 0;
    void mouseDown(const Ref<NSEvent>& e) override { downs.push_back(convertPoint(e->locationInWindow(), nullptr)); }
    void drawHashMarksAndLabelsInRect(const NSRect& r) override
    {
        ++draws;
        NSRulerView::drawHashMarksAndLabelsInRect(r);
    }
};
NS_CLASS_DEFINE(ClickedRuler)

Ref<NSImage> solidImage(NSSize size)
{
    return NSImage::imageWithSize(size, false, [](NSRect r) {
        NSColor::redColor()->setFill();
        NSRectFill(r);
        return true;
    });
}

class RulerViewTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
        scroll = NSObject::alloc<NSScrollView>();
        scroll->initWithFrame(NSMakeRect(0, 0, 300, 200));
        auto doc = NSObject::alloc<RecordingView>();
        doc->initWithFrame(NSMakeRect(0, 0, 280, 1000));
        doc->flipped = true;
        scroll->setDocumentView(doc);
        window->contentView()->addSubview(scroll);
        ruler = NSObject::alloc<ClickedRuler>();
        ruler->initWithScrollView(scroll, NSVerticalRuler);
        ruler->setClientView(doc);
        scroll->setVerticalRulerView(ruler);
        scroll->setHasVerticalRuler(true);
        scroll->setRulersVisible(true);
        pump();
    }

    Ref<NSWindow> window;
    Ref<NSScrollView> scroll;
    Ref<ClickedRuler> ruler;
};

}

TEST_F(RulerViewTest, ThicknessTilesTheSlotAndClicksReachTheRuler)
{
    EXPECT_EQ(ruler->scrollView(), scroll);
    EXPECT_TRUE(ruler->isFlipped());
    EXPECT_EQ(ruler->frame(), NSMakeRect(0, 0, 16, 200));
    EXPECT_EQ(scroll->contentView()->frame(), NSMakeRect(16, 0, 284, 200));
    struct Case {
        CGFloat rule, reserved, width;
    } cases[] = {{30, 0, 30}, {30, 8, 38}, {-5, 8, 8}};
    for (const auto& c : cases) {
        ruler->setRuleThickness(c.rule);
        ruler->setReservedThicknessForMarkers(c.reserved);
        EXPECT_EQ(ruler->frame().size.width, c.width) << c.rule;
        EXPECT_EQ(scroll->contentView()->frame().origin.x, c.width) << c.rule;
        EXPECT_EQ(ruler->requiredThickness(), c.width) << c.rule;
    }
    // The action form, as a delayed perform sends it.
    ruler->performSelector("setRuleThickness:", NSNumber::numberWithDouble(20));
    EXPECT_EQ(ruler->frame().size.width, 28);

    // Window (110, 150) is ruler x 10, 150 points below the window's top.
    click(NSMakePoint(100 + 10, 100 + 50));
    ASSERT_EQ(ruler->downs.size(), 1u);
    EXPECT_EQ(ruler->downs[0], NSMakePoint(10, 150));
}

TEST_F(RulerViewTest, ScrollingRedrawsAndMarkersFollowTheClient)
{
    ruler->setReservedThicknessForMarkers(10);
    auto marker = NSObject::alloc<NSRulerMarker>()->initWithRulerView(ruler, 120, solidImage(NSMakeSize(8, 6)),
                                                                      NSMakePoint(4, 2));
    ruler->addMarker(marker);
    EXPECT_EQ(ruler->markers()->count(), 1u);
    // Origin (4, 2) of an upright 8 x 6 image on the baseline x = 10 at y 120.
    EXPECT_EQ(marker->imageRectInRuler(), NSMakeRect(6, 116, 8, 6));
    pump();
    const int before = ruler->draws;
    scroll->contentView()->scrollToPoint(NSMakePoint(0, 100));
    pump();
    EXPECT_GT(ruler->draws, before);
    EXPECT_EQ(marker->imageRectInRuler(), NSMakeRect(6, 16, 8, 6));
    // The marker's pixels: window x 6..13, rows from the window's top.
    const int windowTop = 1080 - 300;
    EXPECT_EQ(screenPixel(100 + 10, windowTop + 18), 0xFFFF0000u);
    EXPECT_NE(screenPixel(100 + 10, windowTop + 24), 0xFFFF0000u);
    // A marker wanting more room than is reserved raises the required thickness.
    auto tall = NSObject::alloc<NSRulerMarker>()->initWithRulerView(ruler, 0, solidImage(NSMakeSize(20, 6)),
                                                                    NSMakePoint(14, 0));
    ruler->addMarker(tall);
    EXPECT_EQ(ruler->requiredThickness(), 16 + 14);
    ruler->removeMarker(marker);
    ASSERT_EQ(ruler->markers()->count(), 1u);
    EXPECT_EQ(ruler->markers()->objectAtIndex(0), tall);
    // Another client takes the markers away.
    ruler->setClientView(window->contentView());
    EXPECT_EQ(ruler->markers()->count(), 0u);
}

TEST_F(RulerViewTest, RulersAndMarkersSurviveBothArchives)
{
    ruler->setRuleThickness(22);
    ruler->setReservedThicknessForMarkers(6);
    auto marker = NSObject::alloc<NSRulerMarker>()->initWithRulerView(ruler, 42.5, solidImage(NSMakeSize(8, 6)),
                                                                      NSMakePoint(3, 1));
    marker->setRemovable(true);
    ruler->addMarker(marker);
    auto copy = dynamic_ref_cast<NSRulerMarker>(marker->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->ruler(), Ref<NSRulerView>(ruler));
    EXPECT_EQ(copy->markerLocation(), 42.5);
    EXPECT_EQ(copy->image(), marker->image());

    auto plainRuler = NSObject::alloc<NSRulerView>()->initWithScrollView(nullptr, NSVerticalRuler);
    plainRuler->setRuleThickness(22);
    plainRuler->setReservedThicknessForMarkers(6);
    plainRuler->addMarker(marker);
    const NSClassList allowed = {&NSRulerView::classRecord(), &NSRulerMarker::classRecord(), &NSArray::classRecord(),
                                 &NSData::classRecord()};
    for (bool keyed : {true, false}) {
        Id object =
            keyed ? NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(plainRuler),
                                                               allowed)
                  : NSUnarchiver::unarchiveObjectWithData(NSArchiver::archivedDataWithRootObject(plainRuler), allowed);
        auto back = dynamic_ref_cast<NSRulerView>(object);
        ASSERT_TRUE(back) << keyed;
        EXPECT_EQ(back->orientation(), NSVerticalRuler);
        EXPECT_EQ(back->ruleThickness(), 22);
        EXPECT_EQ(back->reservedThicknessForMarkers(), 6);
        ASSERT_EQ(back->markers()->count(), 1u) << keyed;
        auto m = dynamic_ref_cast<NSRulerMarker>(back->markers()->objectAtIndex(0));
        EXPECT_EQ(m->ruler(), back);
        EXPECT_EQ(m->markerLocation(), 42.5);
        EXPECT_EQ(m->imageOrigin(), NSMakePoint(3, 1));
        EXPECT_TRUE(m->isRemovable());
        ASSERT_TRUE(m->image());
        EXPECT_EQ(m->image()->size(), NSMakeSize(8, 6));
    }
}
