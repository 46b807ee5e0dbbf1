// The program's windows, menus and dialogs come from its interface files:
// what the files connect is what the program uses.
#include "PlumblineFixture.h"

#include "AboutBox.h"
#include "AppKit/ControlText.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSTextFieldCell.h"
#include "DoubleRulerController.h"
#include "Preference.h"

using namespace plumbline_test;

namespace {
std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "(nil)"; }

std::vector<std::string> titles(const Ref<NSMenu>& menu)
{
    std::vector<std::string> result;
    for (NSInteger i = 0; menu && i < menu->numberOfItems(); ++i) result.push_back(text(menu->itemAtIndex(i)->title()));
    return result;
}
}  // namespace

TEST(Plumbline, MainFileGivesTheMenusDockMenuAndDialogsTheirController)
{
    runPlumbline([](AppDriver& d) {
        d.onMain([] {
            auto c = app();
            ASSERT_TRUE(c);
            EXPECT_EQ(NSApp->delegate().get(), c.get());
            auto main = NSMenu::mainMenu();
            ASSERT_TRUE(main);
            EXPECT_EQ(titles(main), (std::vector<std::string>{"Plumbline", "Rulers", "Screen Frame", "Guidelines"}));
            EXPECT_EQ(main->itemAtIndex(1)->submenu(), c->rulerMenu());
            EXPECT_EQ(main->itemAtIndex(3)->submenu(), c->guidelineMenu());
            EXPECT_EQ(c->guidelineMenu()->itemAtIndex(7)->submenu(), c->guidelineSetsMenu());

            // Quit goes along the responder chain; every screen preset reaches the controller.
            auto quit = main->itemAtIndex(0)->submenu()->itemAtIndex(4);
            EXPECT_EQ(quit->action(), "terminate:");
            EXPECT_FALSE(quit->target());
            for (NSInteger tag = 0; tag <= 11; ++tag) {
                auto item = itemWithTag(c->screenMenu(), tag);
                ASSERT_TRUE(item) << tag;
                EXPECT_EQ(item->target().get(), c.get()) << tag;
                EXPECT_EQ(item->action(), "showScreen:") << tag;
            }

            // The dock menu repeats the three submenus.
            auto dock = dynamic_ref_cast<NSMenu>(c->applicationDockMenu(NSApp));
            ASSERT_TRUE(dock);
            EXPECT_EQ(titles(dock), (std::vector<std::string>{"Rulers", "Screen Frame", "Guidelines"}));
            EXPECT_EQ(titles(dock->itemAtIndex(1)->submenu()), titles(c->screenMenu()));

            // The dialogs: fields filled by awakeFromNib, buttons aimed at the controller.
            EXPECT_EQ(text(c->newSetWindow()->title()), "New Guideline Set");
            EXPECT_EQ(c->setTableView()->target().get(), c.get());
            EXPECT_EQ(c->setDeleteButton()->action(), "deleteASet:");
            EXPECT_EQ(text(c->newLineWindow()->title()), "New Series of Guidelines");
            EXPECT_EQ(c->setTableView()->numberOfRows(), 1);
        });
    });
}

TEST(Plumbline, WindowFilesConnectTheirControllers)
{
    runPlumbline([](AppDriver& d) {
        d.onMain([] {
            auto c = app();
            c->showAboutBox(nullptr);
            auto about = c->aboutBoxWindow();
            ASSERT_TRUE(about && about->window());
            EXPECT_EQ(text(about->window()->title()), "About Plumbline");
            EXPECT_EQ(text(about->versionString()->stringValue()).find("0.1 (1)") != std::string::npos, true)
                << text(about->versionString()->stringValue());
            EXPECT_TRUE(about->window()->isVisible());
            // The close button's action comes from the file.
            for (const auto& v : about->window()->contentView()->subviews())
                if (auto b = dynamic_ref_cast<NSButton>(v); b && text(b->title()) == "Close") b->performClick(nullptr);
            EXPECT_FALSE(about->window()->isVisible());

            c->showPreferences(nullptr);
            auto pref = c->preferenceWindow();
            ASSERT_TRUE(pref && pref->window());
            EXPECT_EQ(pref->transSlider()->target().get(), pref.get());
            EXPECT_EQ(pref->transSlider()->integerValue(), 80);
            EXPECT_EQ(pref->horMatrix()->selectedCell()->tag(), 0);
            EXPECT_EQ(pref->acceptHotKey()->action(), "acceptHotKeyHasChanged:");
            EXPECT_TRUE(pref->keyCodeRecorder());
            EXPECT_EQ(pref->screenColorWell()->action(), "screenColorChanged:");

            // The first-launch corner ruler, made through its file.
            auto& rulers = SharedRulerStore::getSharedRulerStore()->rulers();
            ASSERT_FALSE(rulers.empty());
            auto corner = dynamic_ref_cast<DoubleRulerController>(rulers.front());
            ASSERT_TRUE(corner);
            EXPECT_EQ(corner->horView()->window(), corner->window());
            EXPECT_EQ(text(corner->widthText()->stringValue()), "400 px");
        });
    });
}

namespace {

// Every control of the view tree whose text does not fit the room its cell
// gives it, as "<window>: <text> needs <w>, has <room>".
void collectCutTexts(const Ref<NSView>& view, const std::string& window, std::vector<std::string>& cut)
{
    auto check = [&](const Ref<NSCell>& cell, const NSRect& frame) {
        if (!cell || cell->type() != NSTextCellType) return;
        if (dynamic_ref_cast<NSTextFieldCell>(cell) && cell->isEditable()) return;  // typed text scrolls
        const auto text = cell->stringValue()->utf16();
        if (text.empty()) return;
        const CGFloat needed = ControlText::width(text, cell->textStyle());
        const CGFloat room = cell->titleRectForBounds(NSMakeRect(0, 0, frame.size.width, frame.size.height)).size.width;
        if (needed > room + 0.5)
            cut.push_back(window + ": \"" + cell->stringValue()->UTF8String() + "\" needs " +
                          std::to_string(int(needed)) + ", has " + std::to_string(int(room)));
    };
    if (auto matrix = dynamic_ref_cast<NSMatrix>(view)) {
        for (NSInteger r = 0; r < matrix->numberOfRows(); ++r)
            for (NSInteger c = 0; c < matrix->numberOfColumns(); ++c)
                check(matrix->cellAtRow(r, c), matrix->cellFrameAtRow(r, c));
    } else if (auto control = dynamic_ref_cast<NSControl>(view)) {
        check(control->cell(), control->bounds());
    }
    for (const auto& sub : view->subviews()) collectCutTexts(sub, window, cut);
}

}  // namespace

TEST(Plumbline, EveryTextOfTheWindowsFitsItsControl)
{
    runPlumbline([](AppDriver& d) {
        d.onMain([] {
            app()->showPreferences(nullptr);
            app()->showAboutBox(nullptr);
            std::vector<std::string> cut;
            for (const auto& window : {app()->preferenceWindow()->window(), app()->aboutBoxWindow()->window(),
                                       app()->newSetWindow(), app()->newLineWindow(), app()->setAdminWindow()}) {
                ASSERT_TRUE(window);
                collectCutTexts(window->contentView(), text(window->title()), cut);
            }
            EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
        });
    });
}
