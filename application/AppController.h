#pragma once
// The application delegate: start-up and quit, the menus, the dialogs for new
// sets and series of guidelines, set administration, rulers, the resolution
// frame and the hot-key toggle. The main interface file makes it and connects
// its menus and dialogs.
#include "AppKit/NSApplication.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSCell.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSMenuItemValidation.h"
#include "AppKit/NSNibAwaking.h"
#include "AppKit/NSTableView.h"
#include "AppKit/NSTableViewDataSource.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSAttributedString.h"
#include "GuidelineController.h"
#include "HotKeyCenter/HKHotKeyCenter.h"
#include "ScreenController.h"

#include "AboutBox.h"
#include "Preference.h"

class AppController : public NSObject,
                      public NSApplicationDelegate,
                      public NSMenuItemValidation,
                      public NSNibAwaking,
                      public NSTableViewDataSource {
    NS_OBJECT(AppController, NSObject)
protected:
    AppController() = default;

public:
    static void initialize();
    static Ref<AppController> getSharedAppController();
    // A second init answers the existing controller.
    Id init() override;
    // Forgets the process-wide objects so the program can start again in the
    // same process (tests); the next init registers the defaults anew.
    static void resetShared();
    // Registers the defaults of the table below with the user defaults.
    static void registerApplicationDefaults();

    void awakeFromNib() override;

    // NSApplicationDelegate
    void applicationDidFinishLaunching(const Ref<NSNotification>& notification) override;
    std::optional<NSApplicationTerminateReply> applicationShouldTerminate(const Ref<NSApplication>& app) override;
    std::optional<bool> applicationShouldOpenUntitledFile(const Ref<NSApplication>&) override { return false; }
    Id applicationDockMenu(const Ref<NSApplication>& app) override;
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override;

    // Actions
    void openHorRuler(const Id& sender);
    void openVerRuler(const Id& sender);
    void openDoubleRuler(const Id& sender);
    void hideAllRuler(const Id& sender);
    void showAllRuler(const Id& sender);
    void closeAllRuler(const Id& sender);
    void showScreen(const Id& sender);
    void newGuidline(const Id& sender);
    void deleteAllGuidelines(const Id& sender);
    void hideOrShowGuidelines(const Id& sender);
    void createANewGuidelineSet(const Id& sender);
    void closeNewGuidelineSetWindow(const Id& sender);
    void activedSet(const Id& sender);
    void createNewGuidelines(const Id& sender);
    void closeNewGuidelinesWindow(const Id& sender);
    void showSetAdminWindow(const Id& sender);
    void deleteASet(const Id& sender);
    void addASet(const Id& sender);
    // The set table's action: a changed selection enables or disables delete.
    void updateSetButtons(const Id& sender);
    void vellamoKeyDown(const Id& sender);
    void showAboutBox(const Id& sender);
    void showPreferences(const Id& sender);
    void showSendFeedbackDialog(const Id& sender);

    // Table data source of the set administration table.
    std::optional<NSInteger> numberOfRowsInTableView(NSTableView* tableView) override;
    std::optional<Id> tableViewObjectValueForTableColumnRow(NSTableView* tableView, NSTableColumn* column,
                                                            NSInteger row) override;
    void tableViewSetObjectValueForTableColumnRow(NSTableView* tableView, const Id& value, NSTableColumn* column,
                                                  NSInteger row) override;

    void showGuidelineWindow();
    void buildMenu();
    void updateUI();
    Ref<NSMenuItem> constructMenuItem(const Ref<NSString>& title, const SEL& action, const Id& object);
    bool screenResolutionAvailable(const Ref<NSMenuItem>& item);

    // The preset table of the screen menu, by tag (1 to 11).
    static bool presetForTag(NSInteger tag, int32_t* width, int32_t* height);
    // The most guidelines one series adds.
    static constexpr int kMaximumSeries = 1000;

    // Read access for the preferences window and tests.
    Ref<GuidelineController> guidelineController() const { return m_guidelineController; }
    Ref<ScreenController> screenController() const { return m_screenController; }
    Ref<Preference> preferenceWindow() const { return m_preferenceWindow; }
    Ref<AboutBox> aboutBoxWindow() const { return m_aboutBoxWindow; }
    Ref<NSMenu> guidelineSetsMenu() const { return m_guidelineSetsMenu; }
    Ref<NSMenu> screenMenu() const { return m_screenMenu; }
    Ref<NSMenu> rulerMenu() const { return m_rulerMenu; }
    Ref<NSMenu> guidelineMenu() const { return m_guidelineMenu; }
    Ref<NSMenu> dockMenu() const { return m_appDockMenu; }
    Ref<NSMenuItem> showOrHideGuidelineMenuItem() const { return m_showOrHideGuidelineMenuItem; }
    bool guidelinesVisible() const;
    Ref<NSWindow> newSetWindow() const { return m_newSetWindow; }
    Ref<NSWindow> newLineWindow() const { return m_newLineWindow; }
    Ref<NSWindow> setAdminWindow() const { return m_setAdminWindow; }
    Ref<NSTableView> setTableView() const { return m_setTableView; }
    Ref<NSButton> setDeleteButton() const { return m_setDelete; }
    static bool hidden();

    static void describeClass(NSClassMembers<AppController>& m);

private:
    // Registers the hot key stored in the defaults in place of the last one.
    void registerHotKey();
    void handleHotKeyHasChanged(const Ref<NSNotification>& notification);
    NSInteger selectedSetRow() const;
    void reloadSetTable();

    Ref<NSMenu> m_rulerMenu, m_screenMenu, m_guidelineMenu, m_guidelineSetsMenu;
    Ref<NSMenuItem> m_showOrHideGuidelineMenuItem;
    Ref<NSWindow> m_newSetWindow;
    Ref<NSTextField> m_newSetName;
    Ref<NSButton> m_newSetButton;
    Ref<NSWindow> m_newLineWindow;
    Ref<NSMatrix> m_newLineMatrix;
    Ref<NSTextField> m_newLineStartPos, m_newLineNumber, m_newLineDistance;
    Ref<NSButton> m_newLineButton;
    Ref<NSWindow> m_setAdminWindow;
    Ref<NSTableView> m_setTableView;
    Ref<NSButton> m_setDelete;
    Ref<NSMenu> m_appDockMenu;
    Ref<AboutBox> m_aboutBoxWindow;
    Ref<Preference> m_preferenceWindow;
    Ref<GuidelineController> m_guidelineController;
    Ref<ScreenController> m_screenController;
    Ref<HKHotKeyCenter> m_hotKeyCenter;
};
