#include <gtest/gtest.h>

#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPrefPaneIconView.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPreferenceWindowController.h"

// Takes "show:" and keeps the icons it was sent.
class IconTarget : public NSObject {
    NS_OBJECT(IconTarget, NSObject)
protected:
    IconTarget() = default;

public:
    std::vector<std::string> shown;
    void show(const Id& sender)
    {
        shown.push_back(static_ref_cast<ZAKPrefPaneIcon>(sender)->itemIdentifier()->UTF8String());
    }
    static void describeClass(NSClassMembers<IconTarget>& m) { m.action("show:", &IconTarget::show); }
};
NS_CLASS_DEFINE(IconTarget)

namespace {

Ref<ZAKPrefPaneIcon> icon(const char* title, const char* category = nullptr, const Id& target = nullptr)
{
    auto name = NSString::stringWithUTF8String(title);
    auto made = NSObject::alloc<ZAKPrefPaneIcon>()->initWithIdentifier(name, nullptr, name);
    if (category) made->setCategory(NSString::stringWithUTF8String(category));
    made->setTarget(target);
    made->setSelector("show:");
    return made;
}

Ref<ZAKPrefPaneIconView> iconView(std::initializer_list<Id> icons, bool byCategory = false)
{
    auto view = NSObject::alloc<ZAKPrefPaneIconView>()->initWithControllerIconsColumns(
        nullptr, NSArray::arrayWithObjects(icons), 7);
    view->setSortByCategory(byCategory);
    return view;
}

std::vector<std::vector<std::string>> blocks(const Ref<ZAKPrefPaneIconView>& view)
{
    view->frame();  // rebuilds
    std::vector<std::vector<std::string>> out;
    for (auto& list : view->iconListList()->snapshot()) {
        out.emplace_back();
        for (auto& i : static_ref_cast<NSArray>(list)->snapshot())
            out.back().push_back(static_ref_cast<ZAKPrefPaneIcon>(i)->title()->UTF8String());
    }
    return out;
}

}  // namespace

TEST(PrefPaneIconView, EmptyViewsMeasureTheirMargins)
{
    auto byCategory = iconView({}, true);
    EXPECT_EQ(byCategory->frame().size, NSMakeSize(264, 11));  // 7 x 36 + 12, no block
    auto plain = iconView({});
    EXPECT_EQ(plain->frame().size, NSMakeSize(264, 17));  // one empty block: its 6-point margin
    EXPECT_TRUE(plain->isFlipped());
}

TEST(PrefPaneIconView, BlocksSortByTitleAndCategoryOrder)
{
    EXPECT_EQ(blocks(iconView({icon("beta"), icon("Alpha"), icon("gamma")})),
              (std::vector<std::vector<std::string>>{{"Alpha", "beta", "gamma"}}));

    auto view =
        iconView({icon("Display", "General"), icon("Proxy", "Net"), icon("Misc"), icon("Dock", "General")}, true);
    // Without an order: by display name (the category itself here), the nil category's block named "".
    EXPECT_EQ(blocks(view), (std::vector<std::vector<std::string>>{{"Misc"}, {"Display", "Dock"}, {"Proxy"}}));
    view->setCategorySortOrder(NSArray::arrayWithObjects({"Net"_ns, "General"_ns, "Absent"_ns}));
    EXPECT_EQ(blocks(view), (std::vector<std::vector<std::string>>{{"Proxy"}, {"Display", "Dock"}, {"Misc"}}));
    EXPECT_GT(view->captionHeight(), 0);
}

TEST(PrefPaneIconView, RowsWrapAtTheColumnCount)
{
    auto view = iconView({});
    for (const char* t : {"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8"}) view->addIcon(icon(t));
    EXPECT_EQ(blocks(view).size(), 1u);
    const NSRect first = view->imageFrameForIconInCategoryWithIndexAtIndex(0, 0);
    const NSRect eighth = view->imageFrameForIconInCategoryWithIndexAtIndex(0, 7);
    EXPECT_EQ(eighth.origin.x, first.origin.x);
    EXPECT_EQ(eighth.origin.y, first.origin.y + view->iconHeight());
    EXPECT_EQ(view->frame().size.height, 2 * view->iconHeight() + 11 + 6);

    // The same column count keeps a pending rebuild; below 1 counts as 1.
    view->setIcons(view->icons());
    view->setColumns(7);
    EXPECT_TRUE(view->dataChanged());
    view->setColumns(0);
    EXPECT_EQ(view->columns(), 1);
    EXPECT_EQ(view->frame().size.height, 8 * view->iconHeight() + 11 + 6);
}

TEST(PrefPaneIconView, HitsFindTheImageAndTheLabel)
{
    auto view = iconView({icon("One"), icon("Two")});
    view->frame();
    NSInteger block = -1, index = -1;
    const NSRect image = view->imageFrameForIconInCategoryWithIndexAtIndex(0, 1);
    auto hit = view->iconAt(NSMakePoint(NSMidX(image), NSMidY(image)), &block, &index);
    ASSERT_TRUE(hit);
    EXPECT_TRUE(hit->title()->isEqualToString("Two"_ns));
    EXPECT_EQ(index, 1);
    const NSRect label = view->labelFrameForIconInCategoryWithIndexAtIndex(0, 0);
    EXPECT_TRUE(
        view->iconAt(NSMakePoint(NSMidX(label), NSMidY(label)), nullptr, nullptr)->title()->isEqualToString("One"_ns));
    block = index = -5;
    EXPECT_FALSE(view->iconAt(NSMakePoint(2, 2), &block, &index));
    EXPECT_EQ(block, -5);
}

class PrefPaneIconViewClickTest : public WindowingTest { };

TEST_F(PrefPaneIconViewClickTest, AClickSendsTheIconsActionAndAMissClearsTheHighlight)
{
    auto target = NSObject::make<IconTarget>();
    auto view = iconView({icon("One", nullptr, target), icon("Two", nullptr, target)});
    auto window = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
    window->contentView()->addSubview(view);
    pump();
    auto screenPoint = [&](NSPoint p) { return window->convertBaseToScreen(view->convertPointToView(p, nullptr)); };
    const NSRect two = view->imageFrameForIconInCategoryWithIndexAtIndex(0, 1);
    click(screenPoint(NSMakePoint(NSMidX(two), NSMidY(two))));
    EXPECT_EQ(target->shown, std::vector<std::string>{"Two"});
    EXPECT_FALSE(view->selectedIcon());

    // Pressed on an icon, released elsewhere: nothing sent, nothing highlighted.
    server().injectMouse(NSEventTypeLeftMouseDown, screenPoint(NSMakePoint(NSMidX(two), NSMidY(two))));
    pump();
    EXPECT_TRUE(view->selectedIcon());
    server().injectMouse(NSEventTypeLeftMouseUp, screenPoint(NSMakePoint(2, 2)));
    pump();
    EXPECT_EQ(target->shown.size(), 1u);
    EXPECT_FALSE(view->selectedIcon());
}
