#include <gtest/gtest.h>

#include <vector>

#include "AWAttachedWindow/AWAttachedWindow.h"
#include "Foundation/NSClass.h"
#include "WindowingFixture.h"

NS_CLASS_DEFINE(RecordingView)

namespace {

class AttachedWindowTest : public WindowingTest {
protected:
    static Ref<NSView> view(double w = 100, double h = 50)
    {
        return NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, w, h));
    }
    static Ref<AWAttachedWindow> attach(const Ref<NSView>& v, NSPoint p, const Ref<NSWindow>& parent, int side,
                                        float distance)
    {
        return NSObject::alloc<AWAttachedWindow>()->initWithView(v, p, parent, side, distance);
    }
    // The outline's points, in order (the ends of its lines and curves).
    static std::vector<NSPoint> points(const Ref<NSBezierPath>& path)
    {
        std::vector<NSPoint> out;
        for (NSInteger i = 0; i < path->elementCount(); ++i) {
            NSPoint p[3];
            const auto kind = path->elementAtIndex(i, p);
            if (kind == NSMoveToBezierPathElement || kind == NSLineToBezierPathElement) out.push_back(p[0]);
            else if (kind == NSCurveToBezierPathElement) out.push_back(p[2]);
        }
        return out;
    }
    static bool contains(const std::vector<NSPoint>& pts, NSPoint q)
    {
        for (auto p : pts)
            if (std::abs(p.x - q.x) < 1e-9 && std::abs(p.y - q.y) < 1e-9) return true;
        return false;
    }
};

TEST_F(AttachedWindowTest, BelowAPointTheArrowTipTouchesIt)
{
    const NSPoint p = NSMakePoint(500, 400);
    auto w = attach(view(), p, nullptr, AWPositionBottom, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->frame(), NSMakeRect(p.x - 52, p.y - 70, 104, 70));
    EXPECT_EQ(w->arrowTipOnScreen(), p);
    // The tip in the window: the middle of the top edge, 16 above the panel.
    EXPECT_TRUE(contains(points(w->backgroundPath()), NSMakePoint(52, 70)));
    EXPECT_FALSE(w->isOpaque());
    EXPECT_TRUE(w->hasShadow());
    EXPECT_TRUE(w->canBecomeKeyWindow());
    EXPECT_FALSE(w->canBecomeMainWindow());
    EXPECT_TRUE(w->isExcludedFromWindowsMenu());
    EXPECT_TRUE(w->backgroundColor()->patternImage());
    // The view sits inside the margin.
    EXPECT_EQ(w->contentView()->subviews().front()->frame(), NSMakeRect(2, 2, 100, 50));

    // Every side places the tip at the distance from the point.
    for (int side = AWPositionLeft; side < AWPositionAutomatic; ++side) {
        SCOPED_TRACE(side);
        auto s = attach(view(), p, nullptr, side, 5);
        const NSRect f = s->frame();
        EXPECT_EQ(s->side(), side);
        const NSPoint tip = s->arrowTipOnScreen();
        EXPECT_EQ(std::abs(tip.x - p.x) + std::abs(tip.y - p.y), 5.0);
        const NSPoint inWindow = NSMakePoint(tip.x - f.origin.x, tip.y - f.origin.y);
        EXPECT_TRUE(contains(points(s->backgroundPath()), inWindow));
    }
}

TEST_F(AttachedWindowTest, AutomaticSideFindsRoom)
{
    // No room below on the screen, room on the right.
    auto onScreen = attach(view(), NSMakePoint(500, 30), nullptr, AWPositionAutomatic, 0);
    EXPECT_EQ(onScreen->side(), AWPositionRight);
    // Near the bottom of its window, the panel extends upwards.
    auto parent = makeWindow(NSMakeRect(400, 20, 300, 200), NSColor::whiteColor());
    auto inWindow = attach(view(), NSMakePoint(10, 5), parent, AWPositionAutomatic, 0);
    EXPECT_EQ(inWindow->side(), AWPositionRightTop);
    // Room below in the middle of the screen; an unknown code chooses too.
    EXPECT_EQ(attach(view(), NSMakePoint(900, 500), nullptr, AWPositionAutomatic, 0)->side(), AWPositionBottom);
    EXPECT_EQ(attach(view(), NSMakePoint(900, 500), nullptr, 40, 0)->side(), AWPositionBottom);
    EXPECT_EQ(attach(view(), NSMakePoint(900, 500), nullptr, -3, 0)->side(), AWPositionBottom);
}

TEST_F(AttachedWindowTest, SquareCornerBesideTheArrow)
{
    auto w = attach(view(), NSMakePoint(500, 400), nullptr, AWPositionBottomRight, 0);
    w->setDrawsRoundCornerBesideArrow(0);
    // The tip half the arrow's base from the left edge, on the point.
    EXPECT_EQ(w->frame().origin.x, 500 - 10);
    auto pts = points(w->backgroundPath());
    EXPECT_EQ(pts.front(), NSMakePoint(0, 54));  // the square top-left corner
    EXPECT_TRUE(contains(pts, NSMakePoint(10, 70)));
    EXPECT_EQ(w->arrowTipOnScreen(), NSMakePoint(500, 400));
}

TEST_F(AttachedWindowTest, AppearanceValuesAreClamped)
{
    struct Case {
        const char* what;
        std::function<void(AWAttachedWindow&)> set;
        std::function<float(AWAttachedWindow&)> get;
        float expected;
    };
    const std::vector<Case> cases = {
        {"radius too large", [](auto& w) { w.setCornerRadius(100); }, [](auto& w) { return w.cornerRadius(); }, 17},
        {"radius negative", [](auto& w) { w.setCornerRadius(-5); }, [](auto& w) { return w.cornerRadius(); }, 0},
        {"border past margin", [](auto& w) { w.setBorderWidth(5); }, [](auto& w) { return w.borderWidth(); }, 2},
        {"margin negative", [](auto& w) { w.setViewMargin(-1); }, [](auto& w) { return w.viewMargin(); }, 0},
        {"base negative", [](auto& w) { w.setArrowBaseWidth(-3); }, [](auto& w) { return w.arrowBaseWidth(); }, 0},
        {"base too wide", [](auto& w) { w.setArrowBaseWidth(1000); }, [](auto& w) { return w.arrowBaseWidth(); },
         4 + 50 - 8 - 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = attach(view(), NSMakePoint(500, 400), nullptr, AWPositionBottom, 0);
        c.set(*w);
        EXPECT_EQ(c.get(*w), c.expected);
    }
    // A view smaller than the arrow's base leaves no room for a radius.
    auto tiny = attach(view(10, 10), NSMakePoint(500, 400), nullptr, AWPositionBottom, 0);
    tiny->setCornerRadius(8);
    EXPECT_EQ(tiny->cornerRadius(), 0);
    EXPECT_GE(tiny->arrowBaseWidth(), 0);
}

TEST_F(AttachedWindowTest, WithoutArrowTheRoomStays)
{
    auto w = attach(view(), NSMakePoint(500, 400), nullptr, AWPositionBottom, 0);
    w->setHasArrow(0);
    EXPECT_EQ(w->hasArrow(), 0);
    EXPECT_EQ(w->frame().size, NSMakeSize(104, 70));
    for (auto p : points(w->backgroundPath())) EXPECT_LE(p.y, 54);
}

TEST_F(AttachedWindowTest, NilViewMakesNoWindow)
{
    EXPECT_FALSE(NSObject::alloc<AWAttachedWindow>()->initWithView(nullptr, NSMakePoint(1, 1)));
}

TEST_F(AttachedWindowTest, CloseGoesToTheParentWindow)
{
    auto parent = NSObject::alloc<NSWindow>()->initWithContentRect(
        NSMakeRect(300, 300, 200, 100), NSTitledWindowMask | NSClosableWindowMask, NSBackingStoreBuffered, false);
    parent->orderFront(nullptr);
    auto w = attach(view(), NSMakePoint(20, 20), parent, AWPositionBottom, 0);
    w->orderFront(nullptr);
    pump();
    ASSERT_TRUE(parent->isVisible());
    w->performClose(nullptr);
    pump();
    EXPECT_FALSE(parent->isVisible());
    // The point is in the parent's coordinates.
    EXPECT_EQ(w->arrowTipOnScreen(), NSMakePoint(320, 320));
}

TEST_F(AttachedWindowTest, PanelIsPaintedAsTheWindowBackground)
{
    server().setDesktopColor(0xFF808080);
    auto w = attach(view(), NSMakePoint(500, 400), nullptr, AWPositionBottom, 0);
    w->setBackgroundColor(NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    w->setBorderColor(NSColor::colorWithCalibratedRed(0, 0, 1, 1));
    w->orderFront(nullptr);
    pump();
    const NSRect f = w->frame();
    auto at = [&](double x, double y) {  // window coordinates, y up
        return screenPixel(int(f.origin.x + x), int(1080 - (f.origin.y + y) - 1));
    };
    EXPECT_EQ(at(52, 27), 0xFFFF0000u);  // the middle of the panel
    EXPECT_EQ(at(52, 58), 0xFFFF0000u);  // inside the arrow
    EXPECT_EQ(at(0, 0), 0xFF808080u);    // outside the rounded corner
    EXPECT_EQ(at(1, 27), 0xFF0000FFu);   // the border, 2 wide
    EXPECT_EQ(at(20, 66), 0xFF808080u);  // beside the arrow
}

}  // namespace
