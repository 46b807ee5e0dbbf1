#include <gtest/gtest.h>

#include "AppKit/NSBitmapImageRep.h"
#include "AppKit/NSLevelIndicator.h"
#include "ControlsFixture.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"

namespace {

class LevelIndicatorTest : public ControlsTest {
protected:
    Ref<NSLevelIndicator> rating(bool editable)
    {
        auto indicator = add<NSLevelIndicator>(NSMakeRect(20, 20, 100, 13));
        indicator->setLevelIndicatorStyle(NSRatingLevelIndicatorStyle);
        indicator->setMinValue(0);
        indicator->setMaxValue(5);
        indicator->cell()->setEditable(editable);
        pump();
        return indicator;
    }
    NSPoint star(const Ref<NSView>& view, int index) { return onScreen(view, NSMakePoint(13 * index + 6.5, 6.5)); }
};

}

TEST_F(LevelIndicatorTest, TheValueStaysBetweenMinimumAndMaximum)
{
    auto indicator = rating(false);
    const struct {
        double given, expected;
    } cases[] = {{3, 3}, {7, 5}, {-2, 0}, {2.4, 2.4}};
    for (const auto& c : cases) {
        indicator->setDoubleValue(c.given);
        EXPECT_EQ(indicator->doubleValue(), c.expected) << c.given;
    }
    indicator->setDoubleValue(4);
    indicator->setMaxValue(3);
    EXPECT_EQ(indicator->integerValue(), 3);
}

TEST_F(LevelIndicatorTest, AnEditableRatingTakesTheStarUnderTheMouseAndSendsItsAction)
{
    auto indicator = rating(true);
    click(star(indicator, 2));
    EXPECT_EQ(indicator->integerValue(), 3);
    EXPECT_EQ(recorder->count, 1);

    server().injectMouse(NSEventTypeLeftMouseDown, star(indicator, 0));
    server().injectMouse(NSEventTypeLeftMouseDragged, star(indicator, 4));
    server().injectMouse(NSEventTypeLeftMouseUp, star(indicator, 4));
    pump();
    EXPECT_EQ(indicator->integerValue(), 5);

    auto fixed = rating(false);
    fixed->setIntegerValue(1);
    click(star(fixed, 3));
    EXPECT_EQ(fixed->integerValue(), 1);
}

TEST_F(LevelIndicatorTest, ARatingDrawsFilledStarsUpToItsValueAndTheHookChangesTheLook)
{
    auto indicator = rating(true);
    indicator->setIntegerValue(2);
    auto drawn = [&](int x) {
        auto rep = indicator->bitmapImageRepForCachingDisplayInRect(indicator->bounds());
        indicator->cacheDisplayInRect(indicator->bounds(), rep);
        return rep->CGImage()->pixel(size_t(x), 6);
    };
    const uint32_t filled = drawn(13 + 6), free = drawn(2 * 13 + 6);
    EXPECT_EQ(filled >> 24, 0xffu);
    EXPECT_LT(filled & 0xff, 0x80u);  // dark star
    EXPECT_EQ(free >> 24, 0xffu);     // the dot of a free place
    EXPECT_EQ(drawn(2 * 13 + 1) >> 24, 0u);

    NSLevelIndicatorCell::setIsHighlightedHook([](const NSLevelIndicatorCell&, bool) { return true; });
    EXPECT_TRUE(indicator->levelIndicatorCell()->isHighlighted());
    EXPECT_GT(drawn(13 + 6) & 0xff, 0xe0u);  // white star
    NSLevelIndicatorCell::setIsHighlightedHook(nullptr);
    EXPECT_FALSE(indicator->levelIndicatorCell()->isHighlighted());
}

TEST(LevelIndicatorCell, StyleAndRangeSurviveKeyedArchiving)
{
    auto cell = NSObject::alloc<NSLevelIndicatorCell>()->initWithLevelIndicatorStyle(NSRatingLevelIndicatorStyle);
    cell->setMaxValue(5);
    cell->setIntegerValue(4);
    auto copy = dynamic_ref_cast<NSLevelIndicatorCell>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(cell)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->levelIndicatorStyle(), NSRatingLevelIndicatorStyle);
    EXPECT_EQ(copy->maxValue(), 5);
    EXPECT_EQ(copy->integerValue(), 4);
}
