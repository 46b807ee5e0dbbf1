#include "MainInterface.h"

#include "AppKit/NSImage.h"
#include "AppKit/NSTableColumn.h"
#include "AppText.h"
#include "HeadlessRun.h"
#include "Foundation/NSBundle.h"
#include "InterfaceBuilding.h"

namespace {
Ref<NSMenuItem> addItem(const Ref<NSMenu>& menu, const Ref<NSString>& title, const SEL& action, const Id& target,
                        NSInteger tag = 0, const char* key = "")
{
    auto item = NSMenuItem::itemWithTitle(title, action, NSString::stringWithUTF8String(key));
    item->setTarget(target);
    item->setTag(tag);
    menu->addItem(item);
    return item;
}

Ref<NSMenu> submenu(const Ref<NSMenu>& parent, const Ref<NSString>& title)
{
    auto menu = NSMenu::menuWithTitle(title);
    auto item = NSMenuItem::itemWithTitle(title, "", ""_ns);
    parent->addItem(item);
    parent->setSubmenu(menu, item);
    return menu;
}
}  // namespace

Ref<NSMenu> MainInterface::buildMainMenu(AppController& c)
{
    using AppText::text;
    const Id target(&c);
    auto main = NSMenu::menuWithTitle("MainMenu"_ns);

    auto app = submenu(main, "Plumbline"_ns);
    addItem(app, text("LSMenuAbout"), "showAboutBox:", target);
    addItem(app, text("LSMenuPreferences"), "showPreferences:", target, 0, ",");
    addItem(app, text("LSMenuFeedback"), "showSendFeedbackDialog:", target);
    app->addItem(NSMenuItem::separatorItem());
    addItem(app, text("LSMenuQuit"), "terminate:", nullptr, 0, "q");

    c.m_rulerMenu = submenu(main, text("LSDRuler"));
    addItem(c.m_rulerMenu, text("LSMenuHorRuler"), "openHorRuler:", target);
    addItem(c.m_rulerMenu, text("LSMenuVerRuler"), "openVerRuler:", target);
    addItem(c.m_rulerMenu, text("LSMenuDoubleRuler"), "openDoubleRuler:", target);
    c.m_rulerMenu->addItem(NSMenuItem::separatorItem());
    addItem(c.m_rulerMenu, text("LSMenuHideRulers"), "hideAllRuler:", target);
    addItem(c.m_rulerMenu, text("LSMenuShowRulers"), "showAllRuler:", target);
    addItem(c.m_rulerMenu, text("LSMenuCloseRulers"), "closeAllRuler:", target);

    c.m_screenMenu = submenu(main, text("LSDScreen"));
    addItem(c.m_screenMenu, text("LSMenuScreenOff"), "showScreen:", target, 0)->setState(NSOnState);
    for (NSInteger tag = 1; tag <= 11; ++tag) {
        int32_t w = 0, h = 0;
        AppController::presetForTag(tag, &w, &h);
        addItem(c.m_screenMenu, NSString::stringWithFormat("%d x %d"_ns, w, h), "showScreen:", target, tag);
    }

    c.m_guidelineMenu = submenu(main, text("LSDGuidelines"));
    addItem(c.m_guidelineMenu, text("LSMenuNewHorGuideline"), "newGuidline:", target, 0);
    addItem(c.m_guidelineMenu, text("LSMenuNewVerGuideline"), "newGuidline:", target, 1);
    addItem(c.m_guidelineMenu, text("LSMenuNewSeries"), "createNewGuidelines:", target);
    addItem(c.m_guidelineMenu, text("LSMenuDeleteAll"), "deleteAllGuidelines:", target);
    c.m_guidelineMenu->addItem(NSMenuItem::separatorItem());
    c.m_showOrHideGuidelineMenuItem = addItem(c.m_guidelineMenu, text("LSShow"), "hideOrShowGuidelines:", target);
    c.m_guidelineMenu->addItem(NSMenuItem::separatorItem());
    c.m_guidelineSetsMenu = submenu(c.m_guidelineMenu, text("LSMenuSets"));
    addItem(c.m_guidelineMenu, text("LSMenuNewSet"), "createANewGuidelineSet:", target);
    addItem(c.m_guidelineMenu, text("LSMenuManageSets"), "showSetAdminWindow:", target);
    return main;
}

void MainInterface::buildDialogs(AppController& c)
{
    using namespace InterfaceBuilding;
    using AppText::text;
    const Id target(&c);

    c.m_newSetWindow = panel(NSMakeRect(0, 0, 340, 110), text("LSNewSetTitle"));
    auto content = c.m_newSetWindow->contentView();
    label(content, NSMakeRect(20, 72, 300, 18), text("LSNewSetPrompt"));
    c.m_newSetName = field(content, NSMakeRect(20, 46, 300, 22));
    button(content, NSMakeRect(130, 10, 90, 28), text("LSCancel"), target, "closeNewGuidelineSetWindow:");
    c.m_newSetButton = button(content, NSMakeRect(230, 10, 90, 28), text("LSOK"), target, "closeNewGuidelineSetWindow:");
    c.m_newSetButton->setKeyEquivalent("\r"_ns);

    c.m_newLineWindow = panel(NSMakeRect(0, 0, 340, 200), text("LSSeriesTitle"));
    content = c.m_newLineWindow->contentView();
    c.m_newLineMatrix = radios(content, NSMakeRect(20, 140, 300, 44),
                               {{text("LSSeriesHorizontal"), 0}, {text("LSSeriesVertical"), 1}}, nullptr, "");
    label(content, NSMakeRect(20, 110, 180, 18), text("LSSeriesStart"));
    c.m_newLineStartPos = field(content, NSMakeRect(210, 108, 110, 22));
    label(content, NSMakeRect(20, 82, 180, 18), text("LSSeriesNumber"));
    c.m_newLineNumber = field(content, NSMakeRect(210, 80, 110, 22));
    label(content, NSMakeRect(20, 54, 180, 18), text("LSSeriesDistance"));
    c.m_newLineDistance = field(content, NSMakeRect(210, 52, 110, 22));
    button(content, NSMakeRect(130, 10, 90, 28), text("LSCancel"), target, "closeNewGuidelinesWindow:");
    c.m_newLineButton = button(content, NSMakeRect(230, 10, 90, 28), text("LSOK"), target, "closeNewGuidelinesWindow:");
    c.m_newLineButton->setKeyEquivalent("\r"_ns);

    c.m_setAdminWindow = panel(NSMakeRect(0, 0, 300, 260), text("LSSetAdminTitle"));
    content = c.m_setAdminWindow->contentView();
    c.m_setTableView = dynamic_ref_cast<NSTableView>(NSObject::alloc<NSTableView>()->initWithFrame(NSMakeRect(20, 50, 260, 190)));
    auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier("name"_ns);
    column->setWidth(260);
    column->setEditable(true);
    c.m_setTableView->addTableColumn(column);
    c.m_setTableView->setDataSource(target);
    c.m_setTableView->setTarget(target);
    c.m_setTableView->setAction("updateSetButtons:");
    content->addSubview(c.m_setTableView);
    button(content, NSMakeRect(20, 10, 40, 28), "+"_ns, target, "addASet:");
    c.m_setDelete = button(content, NSMakeRect(64, 10, 40, 28), "-"_ns, target, "deleteASet:");
}

Ref<AppController> MainInterface::load()
{
    auto controller = dynamic_ref_cast<AppController>(NSObject::make<AppController>());
    if (!controller->m_rulerMenu) {
        auto menu = buildMainMenu(*controller);
        NSMenu::setMainMenu(menu);
        buildDialogs(*controller);
    }
    NSApplication::sharedApplication()->setDelegate(controller);
    controller->awakeFromNib();
    return controller;
}

int PlumblineMain(int argc, const char** argv)
{
    NSImage::addImageSearchDirectory(NSBundle::mainBundle()->resourcePath()->UTF8String());
    HeadlessRun::scheduleScreenshotIfAsked();
    MainInterface::load();
    return NSApplicationMain(argc, argv);
}
