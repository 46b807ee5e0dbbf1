#include "AppController.h"
#include "Foundation/NSClass.h"

#include "AboutBox.h"
#include "AppDefaults.h"
#include "AppKit/NSAlert.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSScreen.h"
#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "AppNotifications.h"
#include "AppText.h"
#include "DoubleRulerController.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"
#include "GuidelineStore.h"
#include "HeadlessRun.h"
#include "Preference.h"
#include "RulerDrawing.h"
#include "SharedRulerStore.h"
#include "SingleRulerController.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"
#include "ZAKAppKit/ZAKFeedbackProvider/ZAKFeedbackProvider.h"

NS_CLASS_DEFINE(AppController)

namespace {
Ref<AppController>& sharedController()
{
    static auto* controller = new Ref<AppController>;
    return *controller;
}
bool g_classReady = false;
// The hot key's toggle; not stored, NO after every launch.
bool g_hidden = false;

struct Preset {
    int32_t width, height;
};
constexpr Preset kPresets[] = {{640, 480},  {800, 600},   {1024, 768},  {1152, 864},  {1280, 720}, {1280, 1024},
                               {1600, 900}, {1600, 1200}, {1920, 1200}, {2048, 1152}, {2560, 1440}};

Ref<NSUserDefaults> defaults() { return NSUserDefaults::standardUserDefaults(); }

// The class set-up: the two stores and the registered defaults.
void setUpClass()
{
    SharedRulerStore::getSharedRulerStore();
    GuidelineStore::getSharedGuidelineStore()->setDefaultData();
    AppController::registerApplicationDefaults();
    g_classReady = true;
}

// A modal alert with a default and an alternate button; answers true for
// the default button.
bool confirm(const Ref<NSString>& title, const Ref<NSString>& message, const Ref<NSString>& yes,
             const Ref<NSString>& no)
{
    auto alert = NSAlert::alertWithMessageText(title, yes, no, nullptr, message);
    return alert->runModal() == NSAlertDefaultReturn;
}
}  // namespace

void AppController::describeClass(NSClassMembers<AppController>& m)
{
    m.action("openHorRuler:", &AppController::openHorRuler);
    m.action("handleHotKeyHasChanged:", &AppController::handleHotKeyHasChanged);
    m.action("openVerRuler:", &AppController::openVerRuler);
    m.action("openDoubleRuler:", &AppController::openDoubleRuler);
    m.action("hideAllRuler:", &AppController::hideAllRuler);
    m.action("showAllRuler:", &AppController::showAllRuler);
    m.action("closeAllRuler:", &AppController::closeAllRuler);
    m.action("showScreen:", &AppController::showScreen);
    m.action("newGuidline:", &AppController::newGuidline);
    m.action("deleteAllGuidelines:", &AppController::deleteAllGuidelines);
    m.action("hideOrShowGuidelines:", &AppController::hideOrShowGuidelines);
    m.action("createANewGuidelineSet:", &AppController::createANewGuidelineSet);
    m.action("closeNewGuidelineSetWindow:", &AppController::closeNewGuidelineSetWindow);
    m.action("activedSet:", &AppController::activedSet);
    m.action("createNewGuidelines:", &AppController::createNewGuidelines);
    m.action("closeNewGuidelinesWindow:", &AppController::closeNewGuidelinesWindow);
    m.action("showSetAdminWindow:", &AppController::showSetAdminWindow);
    m.action("deleteASet:", &AppController::deleteASet);
    m.action("addASet:", &AppController::addASet);
    m.action("updateSetButtons:", &AppController::updateSetButtons);
    m.action("vellamoKeyDown:", &AppController::vellamoKeyDown);
    m.action("showAboutBox:", &AppController::showAboutBox);
    m.action("showPreferences:", &AppController::showPreferences);
    m.action("showSendFeedbackDialog:", &AppController::showSendFeedbackDialog);
    m.outlet("rulerMenu", &AppController::m_rulerMenu);
    m.outlet("screenMenu", &AppController::m_screenMenu);
    m.outlet("guidelineMenu", &AppController::m_guidelineMenu);
    m.outlet("guidelineSetsMenu", &AppController::m_guidelineSetsMenu);
    m.outlet("showOrHideGuidelineMenuItem", &AppController::m_showOrHideGuidelineMenuItem);
    m.outlet("appDockMenu", &AppController::m_appDockMenu);
    m.outlet("newSetWindow", &AppController::m_newSetWindow);
    m.outlet("newSetName", &AppController::m_newSetName);
    m.outlet("newSetButton", &AppController::m_newSetButton);
    m.outlet("newLineWindow", &AppController::m_newLineWindow);
    m.outlet("newLineMatrix", &AppController::m_newLineMatrix);
    m.outlet("newLineStartPos", &AppController::m_newLineStartPos);
    m.outlet("newLineNumber", &AppController::m_newLineNumber);
    m.outlet("newLineDistance", &AppController::m_newLineDistance);
    m.outlet("newLineButton", &AppController::m_newLineButton);
    m.outlet("setAdminWindow", &AppController::m_setAdminWindow);
    m.outlet("setTableView", &AppController::m_setTableView);
    m.outlet("setDelete", &AppController::m_setDelete);
}

void AppController::initialize()
{
    // The artwork is served from the bundle's resources under the names the
    // interface code asks for.
    NSImage::addImageSearchDirectory(NSBundle::mainBundle()->resourcePath()->UTF8String());
    setUpClass();
}

void AppController::registerApplicationDefaults()
{
    auto black = NSArchiver::archivedDataWithRootObject(NSColor::blackColor());
    auto registration = NSDictionary::dictionaryWithEntries({
        {"TransValue"_ns, NSNumber::numberWithInteger(80)},
        {"GuidelineSets"_ns, GuidelineStore::getSharedGuidelineStore()->guidelineSetsAsNSData()},
        {"CurrentGuidelineSet"_ns, NSNumber::numberWithInteger(0)},
        {"HorGuideController"_ns, NSNumber::numberWithInteger(0)},
        {"VerGuideController"_ns, NSNumber::numberWithInteger(0)},
        {"GuidelinesVisible"_ns, NSNumber::numberWithBool(false)},
        {"GuidelineKeyCode"_ns, NSNumber::numberWithInteger(-1)},
        {"GuidelineKeyModifier"_ns, NSNumber::numberWithInteger(0)},
        {"AcceptHotKey"_ns, NSNumber::numberWithBool(false)},
        {"GuidelineColor"_ns, black},
        {"ScreenColor"_ns, black},
        {"RUVFirstStart"_ns, NSNumber::numberWithBool(true)},
        {"UpdateAutoSearch"_ns, NSNumber::numberWithBool(false)},
        {"UpdateStatus"_ns, "LSUPStatus1"_ns},
        {"UpdateDate"_ns, "-"_ns},
    });
    defaults()->registerDefaults(registration);
}

Ref<AppController> AppController::getSharedAppController() { return sharedController(); }

bool AppController::hidden() { return g_hidden; }

Id AppController::init()
{
    if (sharedController()) return sharedController();
    if (!g_classReady) setUpClass();
    GuidelineStore::getSharedGuidelineStore()->loadDataFromPrefs();
    sharedController() = this;
    m_hotKeyCenter = make<HKHotKeyCenter>();
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "handleHotKeyHasChanged:", NSString::stringWithUTF8String(HotKeyHasChangedNotification), nullptr);
    return this;
}

void AppController::resetShared()
{
    if (auto controller = sharedController()) {
        SharedRulerStore::getSharedRulerStore()->closeAndRemoveAllRuler();
        if (controller->m_guidelineController) controller->m_guidelineController->close();
        if (controller->m_screenController) controller->m_screenController->close();
        controller->m_hotKeyCenter->unregisterHotKeysWithTarget(controller);
        NSNotificationCenter::defaultCenter()->removeObserver(controller);
    }
    sharedController() = nullptr;
    GuidelineStore::resetShared();
    SharedRulerStore::resetShared();
    g_classReady = false;
    g_hidden = false;
}

void AppController::awakeFromNib()
{
    NSApp->setApplicationIconImage(RulerDrawing::iconImage());
    if (!m_appDockMenu) m_appDockMenu = NSMenu::menuWithTitle("DockMenu"_ns);
    // The dialogs are shown again and again; closing one only hides it.
    for (const auto& window : {m_newSetWindow, m_newLineWindow, m_setAdminWindow})
        if (window) window->setReleasedWhenClosed(false);
    buildMenu();
    HeadlessRun::scheduleScreenshotIfAsked();
    if (m_newLineStartPos) m_newLineStartPos->setIntValue(80);
    if (m_newLineNumber) m_newLineNumber->setIntValue(1);
    if (m_newLineDistance) m_newLineDistance->setIntValue(20);
    registerHotKey();
}

// A refused combination stays stored (the next launch tries again) but is
// logged, so the user can learn why the key does nothing.
void AppController::registerHotKey()
{
    const NSInteger keyCode = AppDefaults::hotKeyCode();
    const NSInteger modifiers = defaults()->integerForKey("GuidelineKeyModifier"_ns);
    m_hotKeyCenter->unregisterHotKeysWithTarget(Id(this));
    if (keyCode >= 0 &&
        !m_hotKeyCenter->registerHotKeyWithKeyCode(static_cast<uint16_t>(keyCode), static_cast<NSUInteger>(modifiers),
                                                   Id(this), "vellamoKeyDown:", nullptr))
        NSLog("The hot key (key code %d, modifiers 0x%x) was refused by the system; it is kept for the next launch",
              static_cast<int>(keyCode), static_cast<unsigned>(modifiers));
}

void AppController::handleHotKeyHasChanged(const Ref<NSNotification>&) { registerHotKey(); }

void AppController::applicationDidFinishLaunching(const Ref<NSNotification>&)
{
    ZAKCrashReporter::checkForCrash();
    if (defaults()->boolForKey("GuidelinesVisible"_ns)) showGuidelineWindow();
    if (defaults()->boolForKey("RUVFirstStart"_ns)) {
        openDoubleRuler(nullptr);
        defaults()->setBool(false, "RUVFirstStart"_ns);
    }
    updateUI();
    SharedRulerStore::installMouseTap();
}

std::optional<NSApplicationTerminateReply> AppController::applicationShouldTerminate(const Ref<NSApplication>&)
{
    GuidelineStore::getSharedGuidelineStore()->saveDataToPrefs();
    if (m_guidelineController) {
        auto w = m_guidelineController->loadedWindow();
        defaults()->setBool(w && w->isVisible(), "GuidelinesVisible"_ns);
    }
    return NSTerminateNow;
}

Id AppController::applicationDockMenu(const Ref<NSApplication>&)
{
    buildMenu();
    return m_appDockMenu;
}

// --- Menus ---

Ref<NSMenuItem> AppController::constructMenuItem(const Ref<NSString>& title, const SEL& action, const Id& object)
{
    auto item = NSMenuItem::itemWithTitle(title, action, ""_ns);
    item->setTarget(Id(this));
    item->setRepresentedObject(object);
    return item;
}

void AppController::buildMenu()
{
    if (!m_appDockMenu) return;
    m_appDockMenu->removeAllItems();
    const std::pair<const char*, Ref<NSMenu>> entries[] = {
        {"LSDRuler", m_rulerMenu}, {"LSDScreen", m_screenMenu}, {"LSDGuidelines", m_guidelineMenu}};
    for (const auto& [key, menu] : entries) {
        auto item = constructMenuItem(AppText::text(key), "", nullptr);
        if (menu) item->setSubmenu(dynamic_ref_cast<NSMenu>(menu->copy()));
        m_appDockMenu->addItem(item);
    }
}

bool AppController::guidelinesVisible() const
{
    return m_guidelineController && m_guidelineController->loadedWindow() &&
           m_guidelineController->loadedWindow()->isVisible();
}

void AppController::updateUI()
{
    if (m_showOrHideGuidelineMenuItem)
        m_showOrHideGuidelineMenuItem->setTitle(AppText::text(guidelinesVisible() ? "LSHide" : "LSShow"));
    auto store = GuidelineStore::getSharedGuidelineStore();
    if (m_guidelineSetsMenu) {
        m_guidelineSetsMenu->removeAllItems();
        for (int32_t i = 0; i < store->nsets(); ++i) {
            auto item = constructMenuItem(store->getSetAtIndex(i)->name(), "activedSet:", nullptr);
            item->setTag(i);
            item->setState(i == store->currentSetIndex() ? NSOnState : NSOffState);
            m_guidelineSetsMenu->addItem(item);
        }
    }
    if (m_setDelete) m_setDelete->setEnabled(store->nsets() > 1 && selectedSetRow() >= 0);
}

std::optional<bool> AppController::validateMenuItem(const Ref<NSMenuItem>& item)
{
    auto rulers = SharedRulerStore::getSharedRulerStore();
    const SEL& action = item->action();
    if (action == "closeAllRuler:") return rulers->numberOfRuler() > 0;
    if (action == "showAllRuler:") return rulers->numberOfNotVisibleRuler() > 0;
    if (action == "hideAllRuler:") return rulers->numberOfVisibleRuler() > 0;
    if (action == "showScreen:") return screenResolutionAvailable(item);
    // Whatever showed or hid the guidelines, the item (and its copy in the
    // dock menu) reads what choosing it will do.
    if (action == "hideOrShowGuidelines:") item->setTitle(AppText::text(guidelinesVisible() ? "LSHide" : "LSShow"));
    return true;
}

bool AppController::screenResolutionAvailable(const Ref<NSMenuItem>& item)
{
    if (NSScreen::screens()->count() == 0) return true;
    auto screen = NSScreen::mainScreen();
    if (!screen) return true;
    const NSRect frame = screen->frame();
    auto parts = item->title()->componentsSeparatedByString(" x "_ns);
    if (parts->count() < 2) return true;
    const NSInteger w = dynamic_ref_cast<NSString>(parts->objectAtIndex(0))->integerValue();
    const NSInteger h = dynamic_ref_cast<NSString>(parts->objectAtIndex(1))->integerValue();
    return !(w > frame.size.width && h > frame.size.height);
}

bool AppController::presetForTag(NSInteger tag, int32_t* width, int32_t* height)
{
    if (tag < 1 || tag > 11) return false;
    *width = kPresets[tag - 1].width;
    *height = kPresets[tag - 1].height;
    return true;
}

// --- Rulers ---

void AppController::openHorRuler(const Id&)
{
    auto ruler = SingleRulerController::create(true);
    ruler->showWindow(Id(this));
    SharedRulerStore::getSharedRulerStore()->addRuler(ruler);
}

void AppController::openVerRuler(const Id&)
{
    auto ruler = SingleRulerController::create(false);
    ruler->showWindow(Id(this));
    SharedRulerStore::getSharedRulerStore()->addRuler(ruler);
}

void AppController::openDoubleRuler(const Id&)
{
    auto ruler = make<DoubleRulerController>();
    ruler->showWindow(Id(this));
    SharedRulerStore::getSharedRulerStore()->addRuler(ruler);
}

void AppController::hideAllRuler(const Id&) { SharedRulerStore::getSharedRulerStore()->hideRuler(); }
void AppController::showAllRuler(const Id&) { SharedRulerStore::getSharedRulerStore()->showRuler(); }
void AppController::closeAllRuler(const Id&) { SharedRulerStore::getSharedRulerStore()->closeAndRemoveAllRuler(); }

// --- Resolution frame ---

void AppController::showScreen(const Id& sender)
{
    auto item = dynamic_ref_cast<NSMenuItem>(sender);
    const NSInteger tag = item ? item->tag() : 0;
    int32_t width = 0, height = 0;
    if (tag == 0) {
        if (m_screenController) m_screenController->close();
        m_screenController = nullptr;
    } else if (presetForTag(tag, &width, &height)) {
        if (!m_screenController) m_screenController = make<ScreenController>();
        m_screenController->setWidth(width, height);
        m_screenController->showWindow(Id(this));
    }
    if (!m_screenMenu) return;
    for (const auto& entry : m_screenMenu->items())
        if (entry->tag() >= 0 && entry->tag() <= 11) entry->setState(entry->tag() == tag ? NSOnState : NSOffState);
}

// --- Guidelines ---

void AppController::showGuidelineWindow()
{
    if (!m_guidelineController) m_guidelineController = make<GuidelineController>();
    m_guidelineController->showWindow(Id(this));
    updateUI();
}

void AppController::newGuidline(const Id& sender)
{
    showGuidelineWindow();
    auto item = dynamic_ref_cast<NSMenuItem>(sender);
    m_guidelineController->newGuideline(item && item->tag() != 0 ? 1 : 0);
}

void AppController::deleteAllGuidelines(const Id&)
{
    if (!confirm(AppText::text("LSAGuideDelT"), AppText::text("LSAGuideDelete"), AppText::text("LSyes"),
                 AppText::text("LSno")))
        return;
    if (auto set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet()) set->removeAllGuidelines();
    if (m_guidelineController) m_guidelineController->getView()->setNeedsDisplay(true);
}

void AppController::hideOrShowGuidelines(const Id&)
{
    auto w = m_guidelineController ? m_guidelineController->loadedWindow() : nullptr;
    if (w && w->isVisible()) m_guidelineController->close();
    else showGuidelineWindow();
    updateUI();
}

// --- Sets ---

void AppController::createANewGuidelineSet(const Id&)
{
    if (!m_newSetWindow) return;
    m_newSetName->setStringValue(AppText::text("LSNewGuideSet"));
    m_newSetWindow->center();
    m_newSetWindow->makeKeyAndOrderFront(nullptr);
}

void AppController::closeNewGuidelineSetWindow(const Id& sender)
{
    if (m_newSetButton && sender.get() == m_newSetButton.get()) {
        auto store = GuidelineStore::getSharedGuidelineStore();
        auto set = GuidelineSet::create(m_newSetName->stringValue());
        store->addGuidelineSet(set);
        store->activedSet(set);
        reloadSetTable();
    }
    if (m_newSetWindow) m_newSetWindow->orderOut(nullptr);
    updateUI();
}

void AppController::activedSet(const Id& sender)
{
    auto item = dynamic_ref_cast<NSMenuItem>(sender);
    if (!item) return;
    showGuidelineWindow();
    auto store = GuidelineStore::getSharedGuidelineStore();
    if (auto set = store->getSetAtIndex(static_cast<int32_t>(item->tag()))) store->activedSet(set);
    updateUI();
    reloadSetTable();
}

void AppController::createNewGuidelines(const Id&)
{
    if (!m_newLineWindow) return;
    m_newLineNumber->setIntValue(1);
    m_newLineWindow->center();
    m_newLineWindow->makeKeyAndOrderFront(nullptr);
}

// A series is capped at kMaximumSeries lines, so a mistyped count cannot
// freeze the program or bloat the stored sets; fields that hold no number
// read as 0, a count below 2 as one line.
void AppController::closeNewGuidelinesWindow(const Id& sender)
{
    float position = m_newLineStartPos ? m_newLineStartPos->floatValue() : 80;
    if (m_newLineButton && sender.get() == m_newLineButton.get()) {
        NSInteger n = m_newLineNumber->integerValue();
        if (n < 2) n = 1;
        if (n > kMaximumSeries) {
            NSLog("A series of %d guidelines was asked for; adding %d", static_cast<int>(n), kMaximumSeries);
            n = kMaximumSeries;
        }
        auto set = GuidelineStore::getSharedGuidelineStore()->getCurrentSet();
        auto cell = m_newLineMatrix ? m_newLineMatrix->selectedCell() : nullptr;
        const int32_t type = cell ? static_cast<int32_t>(cell->tag()) : 0;
        for (NSInteger i = 0; set && i < n; ++i) {
            set->addGuideline(Guidelines::create(type, position));
            position += m_newLineDistance->floatValue();
        }
        if (m_guidelineController) m_guidelineController->getView()->setNeedsDisplay(true);
    }
    if (m_newLineWindow) m_newLineWindow->orderOut(nullptr);
}

void AppController::showSetAdminWindow(const Id&)
{
    if (!m_setAdminWindow) return;
    m_setAdminWindow->makeKeyAndOrderFront(nullptr);
}

void AppController::updateSetButtons(const Id&) { updateUI(); }

NSInteger AppController::selectedSetRow() const { return m_setTableView ? m_setTableView->selectedRow() : -1; }

void AppController::reloadSetTable()
{
    if (m_setTableView) m_setTableView->reloadData();
}

// Without a selected row there is no set to delete.
void AppController::deleteASet(const Id&)
{
    auto store = GuidelineStore::getSharedGuidelineStore();
    auto set = store->getSetAtIndex(static_cast<int32_t>(selectedSetRow()));
    if (set && confirm(AppText::text("LSAGuideSetDelT"), AppText::text("LSAGuideSetDel"), AppText::text("LSyes"),
                       AppText::text("LSno"))) {
        store->removeGuidelineSet(set);
        reloadSetTable();
        if (m_setTableView) m_setTableView->deselectAll(nullptr);
    }
    updateUI();
}

void AppController::addASet(const Id&)
{
    auto store = GuidelineStore::getSharedGuidelineStore();
    auto names = NSMutableArray::array();
    for (const Id& object : *store->getSetArray())
        if (auto set = dynamic_ref_cast<GuidelineSet>(object)) names->addObject(set->name());
    auto name = NSStringExt::uniqueStringWithString(AppText::text("LSNewGuideSet"), names);
    auto set = GuidelineSet::create(name);
    store->addGuidelineSet(set);
    store->activedSet(set);
    reloadSetTable();
    if (m_setTableView) {
        const NSInteger last = store->nsets() - 1;
        m_setTableView->selectRowIndexes(NSIndexSet::indexSetWithIndex(static_cast<NSUInteger>(last)), false);
        m_setTableView->scrollRowToVisible(last);
    }
    if (m_newSetWindow) m_newSetWindow->orderOut(nullptr);
    updateUI();
}

std::optional<NSInteger> AppController::numberOfRowsInTableView(NSTableView*)
{
    return GuidelineStore::getSharedGuidelineStore()->nsets();
}

std::optional<Id> AppController::tableViewObjectValueForTableColumnRow(NSTableView*, NSTableColumn*, NSInteger row)
{
    auto store = GuidelineStore::getSharedGuidelineStore();
    auto set = store->getSetAtIndex(static_cast<int32_t>(row));
    if (!set) return Id();
    auto font = row == store->currentSetIndex() ? NSFont::boldSystemFontOfSize(12) : NSFont::systemFontOfSize(12);
    return NSAttributedString::initWithString(set->name(),
                                              NSDictionary::dictionaryWithEntries({{NSFontAttributeName, font}}));
}

void AppController::tableViewSetObjectValueForTableColumnRow(NSTableView*, const Id& value, NSTableColumn*,
                                                             NSInteger row)
{
    auto set = GuidelineStore::getSharedGuidelineStore()->getSetAtIndex(static_cast<int32_t>(row));
    auto name = dynamic_ref_cast<NSString>(value);
    if (!name) {
        if (auto attributed = dynamic_ref_cast<NSAttributedString>(value)) name = attributed->string();
    }
    if (set && name) set->setName(name);
    updateUI();
}

// --- Hot key ---

void AppController::vellamoKeyDown(const Id&)
{
    if (!defaults()->boolForKey("AcceptHotKey"_ns)) return;
    auto rulers = SharedRulerStore::getSharedRulerStore();
    if (g_hidden) {
        g_hidden = false;
        if (m_guidelineController) showGuidelineWindow();
        rulers->showRuler();
        if (m_screenController) m_screenController->showWindow(Id(this));
    } else {
        g_hidden = true;
        if (m_guidelineController) m_guidelineController->close();
        rulers->hideRuler();
        if (m_screenController) m_screenController->close();
    }
    updateUI();
}

// --- Other windows ---

void AppController::showAboutBox(const Id&)
{
    if (!m_aboutBoxWindow) m_aboutBoxWindow = make<AboutBox>();
    m_aboutBoxWindow->showWindow(Id(this));
}

void AppController::showPreferences(const Id&)
{
    if (!m_preferenceWindow) m_preferenceWindow = make<Preference>();
    m_preferenceWindow->showWindow(Id(this));
}

void AppController::showSendFeedbackDialog(const Id&) { ZAKFeedbackProvider::showFeedbackProviderDialog(); }
