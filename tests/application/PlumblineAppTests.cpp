// The program driven as a user would: through its menus' actions, mouse and
// hot keys on the headless window server, reading the screen and the stored
// defaults (through the defaults tool) after quitting and relaunching.
#include "PlumblineFixture.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTableHeaderView.h"
#include "AppKit/NSTableView.h"
#include "AppKit/NSTextFieldCell.h"
#include "DoubleRulerController.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSUserDefaults.h"
#include "LogCapture.h"
#include "Preference.h"

using namespace plumbline_test;

namespace {

constexpr CGFloat kScreenHeight = 1080;
constexpr CGFloat kVisibleTop = 1080 - 24;  // below the menu bar

// The composited channel of `value` at `alpha` over `under`.
int over(int value, double alpha, int under) { return static_cast<int>(value * alpha + under * (1 - alpha) + 0.5); }

WSWindowInfo cornerRulerWindow(AppDriver& d)
{
    NSInteger number = 0;
    d.onMain([&] {
        auto& rulers = SharedRulerStore::getSharedRulerStore()->rulers();
        if (!rulers.empty()) number = rulers.front()->window()->windowNumber();
    });
    for (const auto& info : d.windows())
        if (info.windowID == number) return info;
    return {};
}

TEST(Plumbline, FirstLaunchShowsTheCornerRulerAndStoresTheDefaults)
{
    KeptDefaults kept;
    runPlumbline(
        [](AppDriver& d) {
            const int desktop = red(d.pixel(5, 1070));
            auto ruler = cornerRulerWindow(d);
            ASSERT_GT(ruler.frame.size.width, 0);
            EXPECT_NEAR(ruler.alpha, 0.8, 1e-6);
            // Inside the horizontal arm, away from ticks and numbers.
            const int x = static_cast<int>(ruler.frame.origin.x) + 60;
            const int row = static_cast<int>(kScreenHeight - (ruler.frame.origin.y + ruler.frame.size.height)) + 10;
            const uint32_t p = d.pixel(x, row);
            EXPECT_NEAR(red(p), over(255, 0.8, desktop), 1);
            EXPECT_NEAR(blue(p), over(255, 0.8, desktop), 1);
            // The program gives its status icon the ruler picture: a white
            // bar across a blue square.
            Ref<CGImage> icon;
            d.onMain([&] {
                NSRect size = NSMakeRect(0, 0, 22, 22);
                if (auto image = NSApp->applicationIconImage())
                    icon = image->CGImageForProposedRect(&size, nullptr, nullptr);
            });
            ASSERT_TRUE(icon);
            const uint32_t square = icon->pixel(1, 1), bar = icon->pixel(11, 12);
            EXPECT_NEAR(red(square), 0x2d, 1);
            EXPECT_NEAR(blue(square), 0xd2, 1);
            EXPECT_EQ(red(bar), 255);
            EXPECT_EQ(blue(bar), 255);
        },
        {.keepDefaultsIn = kept.file()});
    const std::string text = kept.text();
    EXPECT_NE(text.find("RUVFirstStart = NO\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GuidelineSets = [\"Default\":]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CurrentGuidelineSet = 0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("GuidelinesVisible"), std::string::npos) << text;
}

TEST(Plumbline, GuidelinesAreAddedDraggedDeletedAndKeptAcrossARelaunch)
{
    KeptDefaults kept;
    runPlumbline(
        [](AppDriver& d) {
            const int desktop = red(d.pixel(900, 1070));
            d.onMain([] {
                auto item = itemWithTag(app()->guidelineMenu(), 0);
                for (int i = 0; i < 3; ++i) app()->newGuidline(item);
            });
            for (int v : {80, 94, 108}) {
                const uint32_t p = d.pixel(900, 24 + v);
                EXPECT_EQ(red(p), over(0, 0.8, desktop)) << v;
                EXPECT_EQ(red(d.pixel(900, 24 + v + 1)), desktop) << v;
            }
            // The delete box of the line at 94, the shared strip of the one at 108.
            d.click(NSMakePoint(20, kVisibleTop - 94));
            d.click(NSMakePoint(13, kVisibleTop - 108));
            // The drag box of the line at 80, then 30 points down.
            d.mouseDown(NSMakePoint(5, kVisibleTop - 80));
            d.moveMouse(NSMakePoint(5, kVisibleTop - 110));
            d.mouseUp(NSMakePoint(5, kVisibleTop - 110));
            std::vector<float> values;
            d.onMain([&] {
                for (const Id& o : *GuidelineStore::getSharedGuidelineStore()->getCurrentSet()->getLinesArray())
                    values.push_back(dynamic_ref_cast<Guidelines>(o)->value());
            });
            EXPECT_EQ(values, std::vector<float>{110});
            EXPECT_EQ(red(d.pixel(900, 24 + 110)), over(0, 0.8, desktop));
            EXPECT_EQ(red(d.pixel(900, 24 + 94)), desktop);
        },
        {.keepDefaultsIn = kept.file()});
    EXPECT_NE(kept.text().find("GuidelineSets = [\"Default\": (0, 110)]\n"), std::string::npos) << kept.text();
    EXPECT_NE(kept.text().find("GuidelinesVisible = YES\n"), std::string::npos) << kept.text();

    KeptDefaults again;
    runPlumbline(
        [](AppDriver& d) {
            bool visible = false;
            d.onMain(
                [&] { visible = app()->guidelineController() && app()->guidelineController()->window()->isVisible(); });
            EXPECT_TRUE(visible);
            EXPECT_LT(red(d.pixel(900, 24 + 110)), 60);
        },
        {.defaultsFrom = kept.file(), .keepDefaultsIn = again.file()});
    EXPECT_NE(again.text().find("GuidelineSets = [\"Default\": (0, 110)]\n"), std::string::npos) << again.text();
}

TEST(Plumbline, TheShowOrHideItemFollowsTheGuidelinesOnEveryPath)
{
    runPlumbline([](AppDriver& d) {
        d.onMain([] {
            // The item's title in the main menu and in the dock menu's copy,
            // as a user sees them when the menu opens.
            auto titles = [] {
                std::vector<std::string> seen;
                app()->guidelineMenu()->update();
                seen.push_back(app()->showOrHideGuidelineMenuItem()->title()->UTF8String());
                auto dock = dynamic_ref_cast<NSMenu>(app()->applicationDockMenu(NSApplication::sharedApplication()));
                for (const auto& entry : dock->items()) {
                    if (!entry->submenu()) continue;
                    entry->submenu()->update();
                    for (const auto& item : entry->submenu()->items())
                        if (item->action() == "hideOrShowGuidelines:") seen.push_back(item->title()->UTF8String());
                }
                return seen;
            };
            const std::vector<std::string> show{"Show Guidelines", "Show Guidelines"};
            const std::vector<std::string> hide{"Hide Guidelines", "Hide Guidelines"};
            EXPECT_EQ(titles(), show);
            // The first guideline opens the window with it.
            app()->newGuidline(itemWithTag(app()->guidelineMenu(), 0));
            EXPECT_EQ(titles(), hide);
            app()->hideOrShowGuidelines(app()->showOrHideGuidelineMenuItem());
            EXPECT_EQ(titles(), show);
            app()->activedSet(itemWithTag(app()->guidelineSetsMenu(), 0));
            EXPECT_EQ(titles(), hide);
            app()->guidelineController()->close();  // closed by other means than the item
            EXPECT_EQ(titles(), show);
        });
    });
}

TEST(Plumbline, SeriesOfGuidelinesAreBoundedAndReadFieldsAsNumbers)
{
    runPlumbline([](AppDriver& d) {
        struct Case {
            const char* start;
            const char* number;
            const char* distance;
            size_t expectedCount;
            float first, last;
        };
        const Case cases[] = {
            {"80", "3", "20", 3, 80, 120},
            {"10", "0", "20", 1, 10, 10},
            {"abc", "-5", "x", 1, 0, 0},
            {"0", "100000", "1", AppController::kMaximumSeries, 0, AppController::kMaximumSeries - 1},
        };
        for (const auto& c : cases) {
            std::vector<float> values;
            d.onMain([&] {
                auto set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
                set->removeAllGuidelines();
                app()->createNewGuidelines(nullptr);
                auto window = app()->newLineWindow();
                EXPECT_TRUE(window->isVisible());
                auto fields = window->contentView()->subviews();
                std::vector<Ref<NSTextField>> edits;
                for (const auto& v : fields)
                    if (auto f = dynamic_ref_cast<NSTextField>(v); f && f->isEditable()) edits.push_back(f);
                ASSERT_EQ(edits.size(), 3u);
                edits[0]->setStringValue(NSString::stringWithUTF8String(c.start));
                edits[1]->setStringValue(NSString::stringWithUTF8String(c.number));
                edits[2]->setStringValue(NSString::stringWithUTF8String(c.distance));
                Ref<NSButton> ok;
                for (const auto& v : fields)
                    if (auto b = dynamic_ref_cast<NSButton>(v); b && b->title()->UTF8String() == "OK") ok = b;
                ASSERT_TRUE(ok);
                ok->performClick(nullptr);
                EXPECT_FALSE(window->isVisible());
                for (const Id& o : *set->getLinesArray()) values.push_back(dynamic_ref_cast<Guidelines>(o)->value());
            });
            ASSERT_EQ(values.size(), c.expectedCount) << c.number;
            EXPECT_EQ(values.front(), c.first);
            EXPECT_EQ(values.back(), c.last);
        }
    });
}

TEST(Plumbline, TheSetsWindowListsNamesFromTheTopUnderItsHeader)
{
    runPlumbline([](AppDriver& d) {
        NSRect row0{}, row1{}, header{};
        d.onMain([&] {
            app()->addASet(nullptr);  // "New Set", now the current one
            app()->showSetAdminWindow(nullptr);
            auto table = app()->setTableView();
            auto window = table->window();
            // Where the file puts it, not the screen's corner.
            EXPECT_GT(window->frame().origin.x, 100);
            EXPECT_GT(window->frame().origin.y, 100);
            ASSERT_TRUE(table->enclosingScrollView());
            ASSERT_TRUE(table->headerView() && table->headerView()->window() == window);
            auto toScreen = [&](const Ref<NSView>& view, NSRect r) {
                r = view->convertRectToView(r, nullptr);
                r.origin = window->convertBaseToScreen(r.origin);
                return r;
            };
            row0 = toScreen(table, table->rectOfRow(0));
            row1 = toScreen(table, table->rectOfRow(1));
            header = toScreen(table->headerView(), table->headerView()->bounds());
            // The cell shows the name, not the attributed string's description.
            auto value = *app()->tableViewObjectValueForTableColumnRow(table.get(), nullptr, 1);
            auto cell = NSObject::make<NSTextFieldCell>();
            cell->setObjectValue(value);
            EXPECT_EQ(cell->stringValue()->UTF8String(), "New Set");
        });
        // Row 0 sits right under the header, row 1 under it.
        EXPECT_NEAR(NSMaxY(row0), header.origin.y, 1);
        EXPECT_LT(row1.origin.y, row0.origin.y);
        // Text is drawn in both rows: dark pixels on the row's white.
        const auto screen = d.screenImage();
        auto darkPixels = [&](const NSRect& r) {
            int dark = 0;
            for (int x = int(r.origin.x); x < int(r.origin.x + 80); ++x)
                for (int y = int(1080 - NSMaxY(r)); y < int(1080 - r.origin.y); ++y)
                    dark += red(screen->pixel(size_t(x), size_t(y))) < 100;
            return dark;
        };
        EXPECT_GT(darkPixels(row0), 20);
        EXPECT_GT(darkPixels(row1), 20);
    });
}

TEST(Plumbline, SetsAreAddedRenamedChosenAndDeleted)
{
    KeptDefaults kept;
    runPlumbline(
        [](AppDriver& d) {
            d.onMain([] {
                app()->showSetAdminWindow(nullptr);
                EXPECT_FALSE(app()->setDeleteButton()->isEnabled());
                app()->addASet(nullptr);
                app()->addASet(nullptr);
            });
            std::vector<std::string> titles;
            std::vector<NSInteger> states;
            NSInteger selected = -1;
            d.onMain([&] {
                for (const auto& item : app()->guidelineSetsMenu()->items()) {
                    titles.push_back(item->title()->UTF8String());
                    states.push_back(item->state());
                }
                selected = app()->setTableView()->selectedRow();
                EXPECT_TRUE(app()->setDeleteButton()->isEnabled());
            });
            EXPECT_EQ(titles, (std::vector<std::string>{"Default", "New Set", "New Set 1"}));
            EXPECT_EQ(states, (std::vector<NSInteger>{0, 0, 1}));
            EXPECT_EQ(selected, 2);

            // Rename the first row: double click, type, Return.
            NSPoint cell{};
            d.onMain([&] {
                auto table = app()->setTableView();
                const NSRect r = table->rectOfRow(0);
                const NSPoint inWindow =
                    table->convertPointToView(NSMakePoint(r.origin.x + 20, r.origin.y + r.size.height / 2), nullptr);
                cell = table->window()->convertBaseToScreen(inWindow);
            });
            d.doubleClick(cell);
            d.key(0 /* a */, 0x100000);  // select all
            d.typeText(u"Layout");
            d.key(36 /* Return */);
            d.onMain([] {
                EXPECT_EQ(GuidelineStore::getSharedGuidelineStore()->getSetAtIndex(0)->name()->UTF8String(), "Layout");
                EXPECT_EQ(app()->guidelineSetsMenu()->itemAtIndex(0)->title()->UTF8String(), "Layout");
            });

            // Choose the first set from the menu: check mark and bold row.
            d.onMain([] {
                app()->activedSet(app()->guidelineSetsMenu()->itemAtIndex(0));
                EXPECT_EQ(app()->guidelineSetsMenu()->itemAtIndex(0)->state(), 1);
                EXPECT_EQ(app()->guidelineSetsMenu()->itemAtIndex(2)->state(), 0);
                auto bold = dynamic_ref_cast<NSAttributedString>(
                    *app()->tableViewObjectValueForTableColumnRow(app()->setTableView().get(), nullptr, 0));
                auto font = dynamic_ref_cast<NSFont>(bold->attributeAtIndex(NSFontAttributeName, 0, nullptr));
                EXPECT_EQ(font->fontName()->UTF8String(), NSFont::boldSystemFontOfSize(12)->fontName()->UTF8String());
                EXPECT_EQ(font->pointSize(), 12);
            });

            // Delete the selected (last) set after the alert.
            d.onMain([] { app()->setTableView()->selectRowIndexes(NSIndexSet::indexSetWithIndex(2), false); });
            d.post([] { app()->deleteASet(nullptr); });
            auto alerts = d.alerts();
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].messageText, "Delete Set");
            d.key(36 /* Return: the default button */);
            d.onMain([] { EXPECT_EQ(GuidelineStore::getSharedGuidelineStore()->nsets(), 2); });
        },
        {.keepDefaultsIn = kept.file()});
    EXPECT_NE(kept.text().find("GuidelineSets = [\"Layout\":; \"New Set\":]\n"), std::string::npos) << kept.text();
    EXPECT_NE(kept.text().find("CurrentGuidelineSet = 0\n"), std::string::npos) << kept.text();
}

}  // namespace
