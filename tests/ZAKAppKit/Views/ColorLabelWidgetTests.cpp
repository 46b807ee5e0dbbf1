#include <gtest/gtest.h>

#include <vector>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSControlTint.h"
#include "AppKit/NSLevelIndicatorCell.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKColorLabelWidget/ZAKColorLabelWidget.h"

namespace {

// A model whose "label" key records every value written into it.
class LabelModel : public NSObject {
    NS_OBJECT(LabelModel, NSObject)
protected:
    LabelModel() = default;

public:
    std::vector<NSInteger> writes;
    NSInteger m_label = 0;
    NSInteger label() const { return m_label; }
    void setLabel(NSInteger v)
    {
        m_label = v;
        writes.push_back(v);
    }
    static void describeClass(NSClassMembers<LabelModel>& m)
    {
        m.property("label", &LabelModel::label, &LabelModel::setLabel);
    }
};
NS_CLASS_DEFINE(LabelModel)

class ColorLabelWidgetTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 300, 100), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        widget = NSObject::alloc<ZAKColorLabelWidget>();
        widget->initWithFrame(NSMakeRect(10, 40, 240, 16));
        window->contentView()->addSubview(widget);
        window->makeKeyAndOrderFront(nullptr);
        pump();
    }
    void TearDown() override
    {
        if (model) widget->unbind("value"_ns);
        window = nullptr;
        WindowingTest::TearDown();
    }

    // A point of the widget (flipped, its own coordinates) on the screen.
    NSPoint at(CGFloat x, CGFloat y = 8) const
    {
        return window->convertBaseToScreen(widget->convertPointToView(NSMakePoint(x, y), nullptr));
    }
    void bindModel()
    {
        model = NSObject::make<LabelModel>();
        widget->bind("value"_ns, model, "label"_ns, nullptr);
        model->writes.clear();
    }
    // The widget drawn alone: premultiplied ARGB, row 0 at the top.
    uint32_t drawnPixel(int x, int y)
    {
        auto rep = widget->bitmapImageRepForCachingDisplayInRect(widget->bounds());
        widget->cacheDisplayInRect(widget->bounds(), rep);
        return rep->CGImage()->pixel(size_t(x), size_t(y));
    }

    Ref<NSWindow> window;
    Ref<ZAKColorLabelWidget> widget;
    Ref<LabelModel> model;
};

}

TEST_F(ColorLabelWidgetTest, AClickPicksThePositionUnderTheMouseAndPushesItIntoTheBinding)
{
    bindModel();
    const struct {
        CGFloat x;
        int32_t expected;
    } cases[] = {{5, 0}, {30, 1}, {200, 7}, {120, 7}, {100, 6}};
    for (const auto& c : cases) {
        click(at(c.x));
        EXPECT_EQ(widget->colorLabelType(), c.expected) << c.x;
        ASSERT_FALSE(model->writes.empty()) << c.x;
        EXPECT_EQ(model->writes.back(), c.expected) << c.x;
        EXPECT_EQ(model->label(), c.expected) << c.x;
    }
}

TEST_F(ColorLabelWidgetTest, ADragPushesEveryIntermediateValueAndAReleaseInPlacePushesNothing)
{
    bindModel();
    server().injectMouse(NSEventTypeLeftMouseDown, at(5));
    for (CGFloat x : {20.0, 36.0, 52.0, 70.0}) server().injectMouse(NSEventTypeLeftMouseDragged, at(x));
    server().injectMouse(NSEventTypeLeftMouseUp, at(70));
    pump();
    EXPECT_EQ(model->writes, (std::vector<NSInteger>{0, 1, 2, 3, 4}));
    EXPECT_EQ(widget->colorLabelType(), 4);

    // Released away from the last drag: the release point counts.
    model->writes.clear();
    server().injectMouse(NSEventTypeLeftMouseDown, at(70));
    server().injectMouse(NSEventTypeLeftMouseDragged, at(90));
    server().injectMouse(NSEventTypeLeftMouseUp, at(110));
    pump();
    EXPECT_EQ(model->writes, (std::vector<NSInteger>{4, 5, 6}));
}

TEST(ColorLabelWidgetCell, EverySetterKeepsTheValueWithinTheLabels)
{
    auto cell = NSObject::make<ZAKColorLabelWidgetCell>();
    EXPECT_EQ(cell->intValue(), 0);
    auto number = [](NSInteger n) -> Id { return NSNumber::numberWithInteger(n); };
    const struct {
        const char* what;
        std::function<void()> set;
        int32_t expected;
    } cases[] = {
        {"int 12", [&] { cell->setIntValue(12); }, 7},
        {"int -5", [&] { cell->setIntValue(-5); }, -1},
        {"int 4", [&] { cell->setIntValue(4); }, 4},
        {"double 2.9", [&] { cell->setDoubleValue(2.9); }, 2},
        {"float 99", [&] { cell->setFloatValue(99); }, 7},
        {"string 5", [&] { cell->setStringValue("5"_ns); }, 5},
        {"type 9", [&] { cell->setColorLabelType(9); }, 7},
        {"[3, 3]",
         [&] {
             cell->setObjectValue(NSArray::arrayWithObjects({number(3), number(3)}));
         },
         3},
        {"[3, 4]",
         [&] {
             cell->setObjectValue(NSArray::arrayWithObjects({number(3), number(4)}));
         },
         -1},
        {"[2]", [&] { cell->setObjectValue(NSArray::arrayWithObjects({number(2)})); }, 2},
        {"[]", [&] { cell->setObjectValue(NSArray::array()); }, -1},
        {"\"6\"", [&] { cell->setObjectValue("6"_ns); }, 6},
        {"nil", [&] { cell->setObjectValue(nullptr); }, -1},
        {"another class", [&] { cell->setObjectValue(NSDictionary::dictionary()); }, -1},
    };
    for (const auto& c : cases) {
        c.set();
        EXPECT_EQ(cell->intValue(), c.expected) << c.what;
        EXPECT_EQ(cell->colorLabelType(), c.expected) << c.what;
        EXPECT_EQ(cell->stringValue()->UTF8String(), std::to_string(c.expected)) << c.what;
        EXPECT_EQ(dynamic_ref_cast<NSNumber>(cell->objectValue())->integerValue(), c.expected) << c.what;
    }
    cell->setIntValue(3);
    EXPECT_EQ(cell->compare(number(4)), NSOrderedAscending);
    EXPECT_EQ(cell->compare(number(3)), NSOrderedSame);
    EXPECT_EQ(cell->compare(number(-1)), NSOrderedDescending);
}

TEST(ColorLabelWidgetCell, TheValueSurvivesKeyedArchivingAndTheSetupIsRunAgain)
{
    auto cell = NSObject::make<ZAKColorLabelWidgetCell>();
    cell->setIntValue(5);
    auto copy = dynamic_ref_cast<ZAKColorLabelWidgetCell>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(cell)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->intValue(), 5);
    EXPECT_TRUE(copy->crossImage());
    EXPECT_TRUE(copy->highlightImage());
    EXPECT_TRUE(copy->isContinuous());
    EXPECT_EQ(copy->sendActionMask(), NSEventMask(66));
}

TEST_F(ColorLabelWidgetTest, TheLookShowsTheChoiceAndDimsWhenDisabled)
{
    auto alpha = [](uint32_t argb) { return argb >> 24; };
    const int highlightOf3 = 3 * 16 + 2, redDot = 24, crossCentre = 8;
    // Position 3 highlighted; label 1's dot in its colour with a black ring.
    widget->setColorLabelType(3);
    EXPECT_GT(alpha(drawnPixel(highlightOf3, 8)), 0u);
    EXPECT_EQ(drawnPixel(redDot, 8), 0xfffc6359u);
    const uint32_t crossEnabled = drawnPixel(crossCentre, 8);
    EXPECT_GT(alpha(crossEnabled), 0u);

    // A mixed value shows no highlight.
    widget->setObjectValue(NSArray::arrayWithObjects({NSNumber::numberWithInteger(3), NSNumber::numberWithInteger(4)}));
    EXPECT_EQ(widget->colorLabelType(), -1);
    EXPECT_EQ(alpha(drawnPixel(highlightOf3, 8)), 0u);

    // Disabled: no highlight, dots at 0.4, the cross dimmed to 0.4.
    widget->setColorLabelType(3);
    widget->setEnabled(false);
    EXPECT_EQ(alpha(drawnPixel(highlightOf3, 8)), 0u);
    EXPECT_NEAR(double(alpha(drawnPixel(redDot, 8))), 0.4 * 255, 1.5);
    EXPECT_NEAR(double(alpha(drawnPixel(crossCentre, 8))), 0.4 * double(alpha(crossEnabled)), 1.5);
    // The ring of a dot is grey now (left edge of label 1's circle).
    const uint32_t ring = drawnPixel(20, 8);
    EXPECT_GT((ring >> 16) & 0xff, 0x40u);
}

TEST_F(ColorLabelWidgetTest, TheClassColoursFollowTheControlTint)
{
    TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.path());
    NSUserDefaults::resetStandardUserDefaults();
    auto components = [](const Ref<NSColor>& c) {
        return std::vector<long>{std::lround(c->redComponent() * 255), std::lround(c->greenComponent() * 255),
                                 std::lround(c->blueComponent() * 255), std::lround(c->alphaComponent() * 100)};
    };
    EXPECT_EQ(components(ZAKColorLabelWidgetCell::_borderColor()), (std::vector<long>{96, 143, 192, 100}));
    EXPECT_EQ(components(ZAKColorLabelWidgetCell::_fillColor()), (std::vector<long>{111, 166, 223, 75}));

    int tintNotices = 0;
    Id token = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSControlTintDidChangeNotification), nullptr, nullptr,
        [&](const Ref<NSNotification>&) { ++tintNotices; });
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setPersistentDomain(
        NSDictionary::dictionaryWithEntries({{"AppleAquaColorVariant"_ns, NSNumber::numberWithInteger(6)}}),
        NSGlobalDomain);
    EXPECT_EQ(tintNotices, 1);
    EXPECT_EQ(NSColorCurrentControlTint(), NSGraphiteControlTint);
    EXPECT_EQ(components(ZAKColorLabelWidgetCell::_borderColor()), (std::vector<long>{155, 165, 172, 100}));
    EXPECT_EQ(components(ZAKColorLabelWidgetCell::_fillColor()), (std::vector<long>{188, 195, 201, 75}));

    // A change that leaves the tint alone is no tint notice.
    defaults->setInteger(3, "unrelated"_ns);
    EXPECT_EQ(tintNotices, 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
    NSUserDefaults::resetStandardUserDefaults();
}

TEST(LevelIndicatorCellExtension, EveryRatingCellOfTheProcessAnswersHighlighted)
{
    const struct {
        NSLevelIndicatorStyle style;
        bool ownHighlight;
        bool expected;
    } cases[] = {
        {NSRatingLevelIndicatorStyle, false, true},
        {NSRatingLevelIndicatorStyle, true, true},
        {NSRelevancyLevelIndicatorStyle, false, false},
        {NSDiscreteCapacityLevelIndicatorStyle, true, true},
    };
    for (const auto& c : cases) {
        auto cell = NSObject::alloc<NSLevelIndicatorCell>()->initWithLevelIndicatorStyle(c.style);
        cell->setHighlighted(c.ownHighlight);
        EXPECT_EQ(cell->isHighlighted(), c.expected) << c.style << " " << c.ownHighlight;
    }
}
