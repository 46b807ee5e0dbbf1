// A menu that is its own submenu's ancestor: key equivalents search each
// menu once and copies keep the cycle instead of recursing without end.
#include "AppKit/NSMenu.h"
#include "WindowingFixture.h"

class CycleMenuTarget : public NSObject {
    NS_OBJECT(CycleMenuTarget, NSObject)
protected:
    CycleMenuTarget() = default;

public:
    int fired = 0;
    void act(const Id&) { ++fired; }
    static void describeClass(NSClassMembers<CycleMenuTarget>& m) { m.action("act:", &CycleMenuTarget::act); }
};
NS_CLASS_DEFINE(CycleMenuTarget)

class MenuCycleTest : public WindowingTest {
protected:
    Ref<CycleMenuTarget> target = NSObject::make<CycleMenuTarget>();
    // outer -> "Inner" -> inner -> "Back" -> outer; inner also holds "Act" (Command-J).
    Ref<NSMenu> outer = NSMenu::menuWithTitle("Outer"_ns);
    Ref<NSMenu> inner = NSMenu::menuWithTitle("Inner"_ns);

    void SetUp() override
    {
        WindowingTest::SetUp();
        outer->addItemWithTitle("Inner"_ns, {}, ""_ns)->setSubmenu(inner);
        inner->addItemWithTitle("Back"_ns, {}, ""_ns)->setSubmenu(outer);
        inner->addItemWithTitle("Act"_ns, "act:", "j"_ns)->setTarget(target);
    }
    void TearDown() override
    {
        // The cycle holds itself: break it so that the menus go away.
        inner->itemAtIndex(0)->setSubmenu(nullptr);
        WindowingTest::TearDown();
    }
    static Ref<NSEvent> commandKey(const char* characters)
    {
        auto chars = NSString::stringWithUTF8String(characters);
        return NSEvent::keyEventWithType(NSEventTypeKeyDown, NSZeroPoint, NSCommandKeyMask, 0, 0, nullptr, chars, chars,
                                         false, 0);
    }
};

TEST_F(MenuCycleTest, KeyEquivalentSearchEndsAndFindsItemsInsideTheCycle)
{
    for (auto* menu : {outer.get(), inner.get()}) {
        EXPECT_FALSE(menu->performKeyEquivalent(commandKey("q"))) << menu->title()->UTF8String();
        EXPECT_TRUE(menu->performKeyEquivalent(commandKey("j"))) << menu->title()->UTF8String();
    }
    EXPECT_EQ(target->fired, 2);
}

TEST_F(MenuCycleTest, CopyKeepsTheCycle)
{
    auto copy = static_ref_cast<NSMenu>(outer->copy());
    auto innerCopy = copy->itemAtIndex(0)->submenu();
    ASSERT_TRUE(innerCopy);
    EXPECT_NE(innerCopy, inner);
    EXPECT_EQ(innerCopy->itemAtIndex(0)->submenu(), copy);
    EXPECT_EQ(innerCopy->itemAtIndex(1)->title()->UTF8String(), std::string("Act"));
    innerCopy->itemAtIndex(0)->setSubmenu(nullptr);
}
