// The themed bordered view: its active and inactive looks (flag, binding and
// window), the outline shapes and border lines, the fade mask, dark
// controls, and what it keeps in archives.
#include <gtest/gtest.h>

#include "../Themes/ThemedCellRecording.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSTextField.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValueTransformer.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKTBorderedView/ZAKTBorderedView.h"

using namespace themed_cells;
using Kind = CGRecordedOperation::Kind;

namespace {

// A model object with one key-value compliant property.
class ActiveModel : public NSObject {
    NS_OBJECT(ActiveModel, NSObject)
protected:
    ActiveModel() = default;

public:
    Id flag;
    Id value() const { return flag; }
    void setValue(const Id& v)
    {
        willChangeValueForKey("value"_ns);
        flag = v;
        didChangeValueForKey("value"_ns);
    }
    static void describeClass(NSClassMembers<ActiveModel>& m)
    {
        m.property("value", &ActiveModel::value, &ActiveModel::setValue);
    }
};

Ref<ZAKTBorderedView> borderedView(const char* key, NSRect frame = NSMakeRect(0, 0, 100, 40))
{
    auto view = static_ref_cast<ZAKTBorderedView>(NSObject::alloc<ZAKTBorderedView>()->initWithFrame(frame));
    if (key) view->setThemeKey(NSString::stringWithUTF8String(key));
    return view;
}

// The first and last stop greys of the first gradient a drawing made.
std::pair<double, double> gradientEnds(const Ref<ZAKTBorderedView>& view)
{
    auto gradients = ofKind(record([&] { view->drawRect(view->bounds()); }), Kind::LinearGradient);
    if (gradients.empty()) return {-1, -1};
    return {gradients[0].stops.front().color.r, gradients[0].stops.back().color.r};
}

std::vector<std::pair<NSPoint, NSPoint>> strokedLines(const std::vector<CGRecordedOperation>& ops)
{
    std::vector<std::pair<NSPoint, NSPoint>> lines;
    for (const auto& op : ofKind(ops, Kind::Stroke))
        if (op.path.elements.size() == 2)
            lines.push_back({op.path.elements[0].points[0], op.path.elements[1].points[0]});
    return lines;
}

}

NS_CLASS_DEFINE(ActiveModel)

using BorderedView = WindowingTest;

TEST_F(BorderedView, FollowsTheWindowsMainStateOnlyWhenAskedAndNotOnceOutOfIt)
{
    auto titled = [](NSRect frame) {
        auto w =
            NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered, false);
        w->orderFront(nullptr);
        return w;
    };
    auto window = titled(NSMakeRect(100, 100, 200, 100));
    auto other = titled(NSMakeRect(400, 100, 200, 100));
    auto view = borderedView("ZAKGrayTheme");
    window->contentView()->addSubview(view);
    const double dark = 0.678, light = 0.821, lighter = 0.956;
    struct Case {
        bool respect, main;
        std::pair<double, double> ends;
    } cases[] = {{true, true, {dark, light}}, {true, false, {light, lighter}}, {false, false, {dark, light}}};
    for (const auto& c : cases) {
        view->setRespectWindowState(c.respect);
        (c.main ? window : other)->makeMainWindow();
        ASSERT_EQ(window->isMainWindow(), c.main);
        auto ends = gradientEnds(view);
        EXPECT_NEAR(ends.first, c.ends.first, 1e-6) << c.respect << c.main;
        EXPECT_NEAR(ends.second, c.ends.second, 1e-6) << c.respect << c.main;
    }
    // Its own window's main state redraws it; once out of the window, no
    // window's does.
    view->setNeedsDisplay(false);
    window->makeMainWindow();
    EXPECT_TRUE(view->needsDisplay());
    view->removeFromSuperview();
    view->setNeedsDisplay(false);
    other->makeMainWindow();
    window->makeMainWindow();
    EXPECT_FALSE(view->needsDisplay());
}

TEST_F(BorderedView, TheIsActiveBindingTakesNumbersOnly)
{
    auto view = borderedView("ZAKGrayTheme");
    EXPECT_TRUE(view->exposedBindings()->containsObject("isActive"_ns));
    auto model = NSObject::make<ActiveModel>();
    model->flag = NSNumber::numberWithBool(false);
    view->bind("isActive"_ns, model, "value"_ns, nullptr);
    EXPECT_FALSE(view->isActive());  // the initial value
    auto info = view->infoForBinding("isActive"_ns);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->objectForKey(NSObservedObjectKey).get(), model.get());
    EXPECT_TRUE(dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey))->isEqualToString("value"_ns));

    struct Case {
        Id value;
        bool before, after;
    } cases[] = {
        {NSNumber::numberWithBool(true), false, true},
        {"NO"_ns, true, true},  // not a number: unchanged
        {NSNoSelectionMarker, true, false},
        {NSNumber::numberWithInt(2), false, true},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(view->isActive(), c.before);
        model->setValue(c.value);
        EXPECT_EQ(view->isActive(), c.after) << c.value->description()->UTF8String();
    }

    // Through a named transformer.
    view->bind("isActive"_ns, model, "value"_ns,
               NSDictionary::dictionaryWithObjectsAndKeys(
                   {NSNegateBooleanTransformerName, NSValueTransformerNameBindingOption}));
    EXPECT_FALSE(view->isActive());
    model->setValue(NSNumber::numberWithBool(false));
    EXPECT_TRUE(view->isActive());
    view->unbind("isActive"_ns);
    EXPECT_FALSE(view->infoForBinding("isActive"_ns));
    model->setValue(NSNumber::numberWithBool(true));
    EXPECT_TRUE(view->isActive());  // no longer follows
}

TEST_F(BorderedView, DrawsTheSideLinesOnceEachOrTheBorderPathOncePerSide)
{
    using L = std::pair<NSPoint, NSPoint>;
    struct Case {
        NSUInteger path, sides;
        std::vector<L> lines;
        size_t strokes;
    } cases[] = {
        {0,
         15,
         {L{{0, 39.5}, {100, 39.5}}, L{{0, 0.5}, {100, 0.5}}, L{{0, 0.5}, {0, 40.5}}, L{{100, -0.5}, {100, 39.5}}},
         4},
        // Rounded top without the top side: no border path, straight lines.
        {2, 3, {L{{0, 0.5}, {0, 40.5}}, L{{100, -0.5}, {100, 39.5}}}, 2},
        {1, 15, {}, 4},  // the rounded border, stroked once per side bit
        {3, 8, {}, 1},
        {3, 4, {L{{0, 39.5}, {100, 39.5}}}, 1},
    };
    for (const auto& c : cases) {
        auto view = borderedView("ZAKFlatDarkTheme");
        view->setPathStyle(c.path);
        view->setBorderSides(c.sides);
        auto ops = record([&] { view->drawRect(view->bounds()); });
        EXPECT_EQ(ofKind(ops, Kind::Stroke).size(), c.strokes) << c.path << "/" << c.sides;
        EXPECT_EQ(strokedLines(ops), c.lines) << c.path << "/" << c.sides;
    }
}

TEST_F(BorderedView, OutlinesTheBackgroundByPathStyle)
{
    // The first clip is the outline: the bounds (style 0), a closed rounded
    // rectangle (1), or an open path with two rounded corners starting at the
    // bottom-left (2, rounded top) or top-left corner (3, rounded bottom).
    struct Case {
        NSUInteger path;
        bool curved, closed;
        std::optional<CGPoint> start;  // the platform's rounded rectangle starts where it will
    } cases[] = {{0, false, true, CGPointMake(0, 0)},
                 {1, true, true, std::nullopt},
                 {2, true, false, CGPointMake(0, 0)},
                 {3, true, false, CGPointMake(0, 40)}};
    for (const auto& c : cases) {
        auto view = borderedView("ZAKFlatDarkTheme");
        view->setPathStyle(c.path);
        auto clips = ofKind(record([&] { view->drawRect(view->bounds()); }), Kind::Clip);
        ASSERT_FALSE(clips.empty()) << c.path;
        const auto& e = clips[0].path.elements;
        bool curved = false;
        for (const auto& element : e) curved |= element.kind == CGPathElementKind::CurveTo;
        EXPECT_EQ(curved, c.curved) << c.path;
        EXPECT_EQ(e.back().kind == CGPathElementKind::Close, c.closed) << c.path;
        EXPECT_TRUE(NSEqualRects(clips[0].path.bounds(), NSMakeRect(0, 0, 100, 40))) << c.path;
        if (c.start) {
            EXPECT_EQ(e[0].points[0], *c.start) << c.path;
        }
    }
}

TEST_F(BorderedView, ItsOwnGradientFadesThroughAMaskThatIsNeverPainted)
{
    auto view = borderedView("ZAKFlatDarkTheme");
    view->setActiveBackgroundGradient(NSGradient::initWithStartingColor(NSColor::redColor(), NSColor::blueColor()));
    view->setActiveBackgroundGradientAngle(45);
    auto ops = record([&] { view->drawRect(view->bounds()); });
    EXPECT_EQ(ofKind(ops, Kind::ClipToMask).size(), 1u);
    EXPECT_TRUE(ofKind(ops, Kind::Image).empty());
    auto gradients = ofKind(ops, Kind::LinearGradient);
    ASSERT_EQ(gradients.size(), 1u);
    EXPECT_EQ(gradients[0].stops[0].color.r, 1);
    // The inactive look has no gradient of its own: the theme's, unmasked.
    view->setActive(false);
    auto inactive = record([&] { view->drawRect(view->bounds()); });
    EXPECT_TRUE(ofKind(inactive, Kind::ClipToMask).empty());
    EXPECT_NEAR(ofKind(inactive, Kind::LinearGradient)[0].stops[0].color.r, double(0.251f), 1e-6);
}

TEST_F(BorderedView, GivesEveryControlInsideADarkThemeTheDarkBackgroundStyle)
{
    struct Case {
        const char* key;
        NSBackgroundStyle style;
    } cases[] = {{"ZAKHUDTheme", NSBackgroundStyleDark}, {"ZAKGlassTheme", NSBackgroundStyleLight}};
    for (const auto& c : cases) {
        auto view = borderedView(c.key);
        auto box = static_ref_cast<NSView>(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 50, 30)));
        auto inner = static_ref_cast<NSButton>(NSObject::alloc<NSButton>()->initWithFrame(NSMakeRect(0, 0, 40, 20)));
        box->addSubview(inner);
        view->addSubview(box);  // didAddSubview
        EXPECT_EQ(inner->cell()->backgroundStyle(), c.style) << c.key;
        auto later =
            static_ref_cast<NSTextField>(NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(0, 0, 40, 20)));
        box->addSubview(later);  // not the view's own subview: waits for awakeFromNib
        EXPECT_EQ(later->cell()->backgroundStyle(), NSBackgroundStyleLight);
        view->awakeFromNib();
        EXPECT_EQ(later->cell()->backgroundStyle(), c.style) << c.key;
    }
}

TEST_F(BorderedView, ADecodedViewKeepsOnlyItsThemeKeyAndStartsInactive)
{
    auto view = borderedView("ZAKGrayTheme");
    view->setBorderSides(15);
    view->setPathStyle(1);
    EXPECT_TRUE(view->isActive());
    EXPECT_EQ(view->stateMask(), 0u);
    view->setRespectWindowState(true);  // and no window: inactive
    EXPECT_EQ(view->stateMask(), 2u);
    auto back = dynamic_ref_cast<ZAKTBorderedView>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(view)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->themeKey()->UTF8String(), std::string("ZAKGrayTheme"));
    EXPECT_FALSE(back->isActive());
    EXPECT_EQ(back->borderSides(), 0u);
    EXPECT_EQ(back->pathStyle(), 0u);
    EXPECT_FALSE(back->respectWindowState());
    EXPECT_EQ(back->stateMask(), 2u);
    auto ends = gradientEnds(back);  // the Gray theme's inactive preset
    EXPECT_NEAR(ends.first, 0.821, 1e-6);
    EXPECT_NEAR(ends.second, 0.956, 1e-6);
    // Without a theme it draws nothing of its own.
    EXPECT_TRUE(record([&] { borderedView("BorderedViewTests.None")->drawRect(NSMakeRect(0, 0, 100, 40)); }).empty());
}
