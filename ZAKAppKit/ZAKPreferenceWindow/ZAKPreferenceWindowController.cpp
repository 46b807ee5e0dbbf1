#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPreferenceWindowController.h"

#include <cstdlib>
#include <mutex>

#include "AppKit/NSApplication.h"
#include "AppKit/NSImageNames.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSSortDescriptor.h"
#include "Foundation/NSUserDefaults.h"
#include "Foundation/NSValue.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPlugInPreferencePane.h"
#include "ZAKAppKit/ZAKPreferenceWindow/ZAKPrefPaneIconView.h"
#include "ZAKAppKit/ZAKWindow/ZAKWindow.h"

NS_CLASS_DEFINE(ZAKPreferenceWindowController)

namespace {

std::mutex& singletonLock()
{
    static std::mutex lock;
    return lock;
}

// The one instance; never destroyed.
Ref<ZAKPreferenceWindowController>& recorded()
{
    static auto* instance = new Ref<ZAKPreferenceWindowController>();
    return *instance;
}

bool recordedOnce = false;

bool isNumber(const Ref<NSString>& text)
{
    const std::string digits = text->UTF8String();
    char* end = nullptr;
    std::strtod(digits.c_str(), &end);
    return !digits.empty() && end && *end == '\0';
}

}  // namespace

void ZAKPreferenceWindowController::describeClass(NSClassMembers<ZAKPreferenceWindowController>& m)
{
    m.action("toolbarShowAll", &ZAKPreferenceWindowController::toolbarShowAll);
    m.action("toolbarShowPane:", &ZAKPreferenceWindowController::toolbarShowPane);
    m.action("applicationWillTerminate:", &ZAKPreferenceWindowController::applicationWillTerminate);
}

ZAKPreferenceWindowController::ZAKPreferenceWindowController() = default;
ZAKPreferenceWindowController::~ZAKPreferenceWindowController() = default;

Ref<ZAKPreferenceWindowController> ZAKPreferenceWindowController::allocController()
{
    std::lock_guard guard(singletonLock());
    if (recordedOnce) return nullptr;
    recordedOnce = true;
    recorded() = alloc<ZAKPreferenceWindowController>();
    return recorded();
}

Ref<ZAKPreferenceWindowController> ZAKPreferenceWindowController::sharedPreferenceWindowController()
{
    {
        std::lock_guard guard(singletonLock());
        if (recorded()) return recorded();
    }
    auto made = allocController();
    if (made) made->init();
    return made ? made : recorded();
}

Ref<ZAKPreferenceWindowController> ZAKPreferenceWindowController::initWithAutosaveName(const Ref<NSString>& name)
{
    return initWithAutosaveNameWindowStyleMask(name, NSTitledWindowMask | NSClosableWindowMask);
}

Ref<ZAKPreferenceWindowController> ZAKPreferenceWindowController::initWithAutosaveNameWindowStyleMask(
    const Ref<NSString>& name, NSUInteger styleMask)
{
    auto window = static_ref_cast<ZAKWindow>(NSObject::alloc<ZAKWindow>()->initWithContentRect(
        NSMakeRect(0, 0, 200, 100), styleMask, NSBackingStoreBuffered, true));
    window->setDelegate(Id(this));
    window->setOpaque(true);
    window->setContentView(NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 200, 100)));
    m_prefPanes = NSMutableDictionary::dictionary();
    setAutosaveName(name);
    setTitle(localized("ZAKPWWindowTitle"));
    window->setShowsToolbarButton(false);
    createIconViewPane();
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "applicationWillTerminate:", NSString::stringWithUTF8String(NSApplicationWillTerminateNotification),
        NSApplication::sharedApplication());
    initWithWindow(window);
    return this;
}

Ref<NSString> ZAKPreferenceWindowController::localized(const char* key) const
{
    auto k = NSString::stringWithUTF8String(key);
    auto text = NSBundle::bundleForClass(realClass())->localizedStringForKey(k, ""_ns, "ZAKPreferenceWindow"_ns);
    // A missing entry answers its key: show nothing instead.
    return text->isEqualToString(k) ? ""_ns : text;
}

void ZAKPreferenceWindowController::createIconViewPane()
{
    if (m_iconView) return;
    auto icons = NSMutableArray::array();
    if (m_prefPanes)
        for (auto& pane : m_prefPanes->allValues()->snapshot())
            if (auto* p = paneProtocol(pane); p && p->mainView()) icons->addObject(iconForPrefPane(pane));
    m_iconView = NSObject::alloc<ZAKPrefPaneIconView>()->initWithControllerIconsColumns(this, icons, 7);
}

void ZAKPreferenceWindowController::setPrefPanes(const Ref<NSDictionary>& panes)
{
    m_prefPanes = NSMutableDictionary::dictionaryWithDictionary(panes ? panes : NSDictionary::dictionary());
}

Id ZAKPreferenceWindowController::prefPaneWithIdentifier(const Ref<NSString>& identifier) const
{
    return m_prefPanes && identifier ? m_prefPanes->objectForKey(identifier) : nullptr;
}

void ZAKPreferenceWindowController::setAutosaveName(const Ref<NSString>& name)
{
    m_autosaveName = name ? NSString::stringWithString(name) : nullptr;
}

void ZAKPreferenceWindowController::setTitle(const Ref<NSString>& title)
{
    m_title = title ? NSString::stringWithString(title) : nullptr;
}

Ref<ZAKPrefPaneIconView> ZAKPreferenceWindowController::iconView() const { return m_iconView; }

bool ZAKPreferenceWindowController::sortByCategory() const { return m_iconView && m_iconView->sortByCategory(); }

void ZAKPreferenceWindowController::setSortByCategory(bool flag)
{
    if (!m_iconView || flag == m_iconView->sortByCategory()) return;
    m_iconView->setSortByCategory(flag);
    if (!m_activePane) toolbarShowAll();
}

Ref<NSArray> ZAKPreferenceWindowController::categorySortOrder() const
{
    return m_iconView ? m_iconView->categorySortOrder() : nullptr;
}

void ZAKPreferenceWindowController::setCategorySortOrder(const Ref<NSArray>& order)
{
    if (m_iconView) m_iconView->setCategorySortOrder(order);
}

ZAKPreferenceWindowControllerDelegate* ZAKPreferenceWindowController::delegateProtocol() const
{
    return dynamic_cast<ZAKPreferenceWindowControllerDelegate*>(m_delegate.get().get());
}

ZAKPrefPaneProtocol* ZAKPreferenceWindowController::paneProtocol(const Id& pane)
{
    return dynamic_cast<ZAKPrefPaneProtocol*>(pane.get());
}

Id ZAKPreferenceWindowController::sendHook(const Id& pane, const SEL& selector)
{
    auto* p = paneProtocol(pane);
    if (!p || !p->paneRespondsToSelector(selector)) return nullptr;
    return p->panePerformSelector(selector);
}

bool ZAKPreferenceWindowController::addPaneWithIdentifier(const Id& pane, const Ref<NSString>& identifier)
{
    auto* p = paneProtocol(pane);
    if (!p || !identifier || prefPaneWithIdentifier(identifier)) return false;
    if (auto* d = delegateProtocol())
        if (d->shouldLoadPreferencePane(identifier) == false) return false;
    p->setSortOrder(m_prefPanes->count());
    m_prefPanes->setObject(pane, identifier);
    if (m_iconView) m_iconView->addIcon(iconForPrefPane(pane));
    return true;
}

void ZAKPreferenceWindowController::addPluginFromPath(const Ref<NSString>& path)
{
    auto bundle = path ? NSBundle::bundleWithPath(path) : nullptr;
    if (!bundle) {
        NSLog("error loading bundle: %@", path);
        return;
    }
    NSLog("loaded: %@", bundle->bundlePath());
    auto identifier = bundle->bundleIdentifier();
    if (!identifier || prefPaneWithIdentifier(identifier)) return;
    if (auto* d = delegateProtocol(); d && d->shouldLoadPreferencePane(identifier) == false) {
        NSLog("delegate did not approve plugin %@", identifier);
        return;
    }
    auto pane = NSObject::alloc<ZAKPlugInPreferencePane>()->initWithBundle(bundle);
    if (!pane) return;
    bool added = false;
    try {
        added = addPaneWithIdentifier(pane, identifier);
    } catch (const NSException& e) {
        // A pane whose principal object cannot be made takes no sort order.
        NSLog("plugin %@ not added: %@", identifier, e.reason());
        return;
    }
    if (!added) return;
    if (auto* d = delegateProtocol()) d->didLoadPreferencePane(identifier);
}

void ZAKPreferenceWindowController::addPluginsOfTypeFromPath(const Ref<NSString>& extension,
                                                             const Ref<NSString>& folder)
{
    if (!folder) return;
    auto names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder, nullptr);
    if (!names) return;
    names = names->sortedArrayUsingSelector("compare:");
    for (auto& object : names->snapshot()) {
        auto name = dynamic_ref_cast<NSString>(object);
        if (!name || (extension && extension->length() > 0 && !name->pathExtension()->isEqualToString(extension)))
            continue;
        addPluginFromPath(folder->stringByAppendingPathComponent(name));
    }
}

Ref<ZAKPrefPaneIcon> ZAKPreferenceWindowController::iconForPrefPane(const Id& pane)
{
    auto* p = paneProtocol(pane);
    if (!p) return nullptr;
    auto icon = NSObject::alloc<ZAKPrefPaneIcon>()->initWithIdentifier(p->identifier(), p->icon(), p->label());
    icon->setCategory(p->category());
    icon->setTarget(Id(this));
    icon->setSelector("toolbarShowPane:");
    return icon;
}

bool ZAKPreferenceWindowController::selectPaneWithIdentifier(const Ref<NSString>& identifier)
{
    Id pane = prefPaneWithIdentifier(identifier);
    auto* p = paneProtocol(pane);
    if (!p) return false;
    if (pane == m_activePane) return true;
    sendHook(pane, "loadMainView");
    auto view = p->mainView();
    if (!view) {
        NSLog("Preference Pane \"%@\" has no view", identifier);
        return false;
    }
    Id previous = m_activePane;
    if (previous) sendHook(previous, "willUnselect");
    auto* d = delegateProtocol();
    if (d) d->willSelectPreferencePane(identifier);
    sendHook(pane, "willSelect");
    auto w = window();
    if (w) w->setTitle(p->label() ? p->label() : ""_ns);
    sendHook(pane, "shouldResize");  // its answer changes nothing
    if (w) {
        if (auto size = dynamic_ref_cast<NSValue>(sendHook(pane, "minSize"))) w->setMinSize(size->sizeValue());
        if (auto size = dynamic_ref_cast<NSValue>(sendHook(pane, "maxSize"))) w->setMaxSize(size->sizeValue());
    }
    changeContentView(view);
    if (previous) {
        if (d) d->didUnselectPreferencePane(paneProtocol(previous)->identifier());
        sendHook(previous, "didUnselect");
    }
    sendHook(pane, "didSelect");
    m_activePane = pane;
    if (w && w->toolbar()) w->toolbar()->setSelectedItemIdentifier(identifier);
    return true;
}

bool ZAKPreferenceWindowController::deselectActivePane()
{
    if (!m_activePane) return true;
    Id pane = m_activePane;
    sendHook(pane, "willUnselect");
    if (auto* d = delegateProtocol()) d->didUnselectPreferencePane(paneProtocol(pane)->identifier());
    sendHook(pane, "didUnselect");
    m_activePane = nullptr;
    return true;
}

bool ZAKPreferenceWindowController::selectIconViewPane()
{
    const bool done = deselectActivePane();
    if (done) toolbarShowAll();
    return done;
}

void ZAKPreferenceWindowController::toolbarShowAll()
{
    deselectActivePane();
    auto w = window();
    if (!w) return;
    w->setTitle(m_title ? m_title : ""_ns);
    // Lay the icons out afresh: as the content view the icon view was given
    // the window's size, which an animation still under way has not reached.
    m_iconView->rebuild();
    changeContentView(m_iconView);
    if (auto zak = dynamic_ref_cast<ZAKWindow>(w)) zak->setCanZoom(false);
}

void ZAKPreferenceWindowController::toolbarShowPane(const Id& sender)
{
    Ref<NSString> identifier;
    if (auto item = dynamic_ref_cast<NSToolbarItem>(sender)) identifier = item->itemIdentifier();
    else if (auto icon = dynamic_ref_cast<ZAKPrefPaneIcon>(sender)) identifier = icon->itemIdentifier();
    selectPaneWithIdentifier(identifier);
}

Ref<NSString> ZAKPreferenceWindowController::categoryForIdentifier(const Ref<NSString>& identifier)
{
    auto* p = paneProtocol(prefPaneWithIdentifier(identifier));
    Ref<NSString> category = p ? p->category() : nullptr;
    if (auto* d = delegateProtocol())
        if (auto answer = d->categoryForPreferencePane(identifier, category)) return *answer;
    return category;
}

Ref<NSArray> ZAKPreferenceWindowController::categories()
{
    auto found = NSMutableArray::array();
    for (auto& key : m_prefPanes->allKeys()->snapshot()) {
        auto category = categoryForIdentifier(static_ref_cast<NSString>(key));
        if (category && !found->containsObject(category)) found->addObject(category);
    }
    return found;
}

Ref<NSString> ZAKPreferenceWindowController::categoryDisplayNameForIdentifier(const Ref<NSString>& identifier)
{
    auto category = categoryForIdentifier(identifier);
    if (auto* d = delegateProtocol())
        if (auto name = d->displayNameForCategory(category)) return name;
    if (auto name = dynamic_ref_cast<NSString>(sendHook(prefPaneWithIdentifier(identifier), "categoryDisplayName")))
        return name;
    return category;
}

NSRect ZAKPreferenceWindowController::frameForContentSize(NSSize size)
{
    auto w = window();
    if (!w) return NSZeroRect;
    const NSRect f = w->frame();
    NSRect n = w->frameRectForContentRect(NSMakeRect(f.origin.x, f.origin.y, size.width, size.height));
    // The top edge stays; the window grows or shrinks downwards.
    n.origin.y = f.origin.y + f.size.height - n.size.height;
    return n;
}

void ZAKPreferenceWindowController::changeContentView(const Ref<NSView>& view)
{
    auto w = window();
    if (!w || !view) return;
    const NSRect target = frameForContentSize(view->frame().size);
    w->setContentView(view);
    w->setFrame(target, true, true);
}

Ref<NSWindow> ZAKPreferenceWindowController::window()
{
    auto w = NSWindowController::window();
    if (!w || w->toolbar()) return w;
    auto toolbar = NSObject::alloc<NSToolbar>()->initWithIdentifier(ZAKPPToolbarIdentifier);
    toolbar->setDelegate(Id(this));
    toolbar->setVisible(true);
    toolbar->setAllowsUserCustomization(m_usesConfigurationPane);
    toolbar->setAutosavesConfiguration(true);
    if (m_usesConfigurationPane) {
        // Show-all and the separator stay in front.
        toolbar->setCustomizesOnClickAndDrag(true);
        toolbar->setFirstMovableItemIndex(2);
    }
    w->setToolbar(toolbar);
    auto items = toolbar->items();
    if (items->count() > 0) {
        auto first = static_ref_cast<NSToolbarItem>(items->objectAtIndex(0))->itemIdentifier();
        toolbar->setSelectedItemIdentifier(first);
        selectPaneWithIdentifier(first);
    }
    restoreFrame(w);
    return w;
}

void ZAKPreferenceWindowController::restoreFrame(const Ref<NSWindow>& w)
{
    auto key = NSString::stringWithFormat("NSWindow Frame %@", m_autosaveName ? m_autosaveName : ""_ns);
    auto saved = NSUserDefaults::standardUserDefaults()->stringForKey(key);
    auto fields = saved ? saved->componentsSeparatedByString(" "_ns) : nullptr;
    // Fields 0, 1 and 3: x, y and the saved height. A string with fewer
    // than four numbers (edited by hand) would have no such fields.
    bool usable = fields && fields->count() >= 4;
    for (NSUInteger i = 0; usable && i < 4; ++i) usable = isNumber(static_ref_cast<NSString>(fields->objectAtIndex(i)));
    if (!usable) {
        w->center();
        return;
    }
    auto number = [&](NSUInteger i) {
        return CGFloat(static_ref_cast<NSString>(fields->objectAtIndex(i))->floatValue());
    };
    const CGFloat savedHeight = number(3);
    w->setFrameOrigin(NSMakePoint(number(0), number(1) + savedHeight - w->frame().size.height));
}

Ref<NSToolbarItem> ZAKPreferenceWindowController::toolbarItemForItemIdentifier(NSToolbar*,
                                                                               const Ref<NSString>& identifier, bool)
{
    if (!identifier) return nullptr;
    if (identifier->isEqualToString(ZAKPPToolbarShowAllIdentifier)) {
        auto item = NSObject::alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
        item->setTarget(Id(this));
        item->setAction("toolbarShowAll");
        item->setEnabled(true);
        item->setImage(NSImage::imageNamed(NSString::stringWithUTF8String(NSImageNamePreferencesGeneral)));
        item->setLabel(localized("ZAKPWShowAll"));
        return item;
    }
    auto* p = paneProtocol(prefPaneWithIdentifier(identifier));
    if (!p) return nullptr;
    auto item = NSObject::alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
    item->setTarget(Id(this));
    item->setAction("toolbarShowPane:");
    item->setEnabled(true);
    item->setImage(p->icon());
    item->setLabel(p->label());
    return item;
}

Ref<NSArray> ZAKPreferenceWindowController::validPrefPaneIdentifiers()
{
    auto order = NSArray::arrayWithObject(NSSortDescriptor::sortDescriptorWithKey("sortOrder"_ns, true));
    auto sorted = m_prefPanes->allValues()->sortedArrayUsingDescriptors(order);
    auto identifiers = NSMutableArray::array();
    for (auto& pane : sorted->snapshot())
        if (auto identifier = pane->valueForKey("identifier"_ns)) identifiers->addObject(identifier);
    return identifiers;
}

Ref<NSArray> ZAKPreferenceWindowController::toolbarDefaultItemIdentifiers(NSToolbar*)
{
    auto identifiers = NSMutableArray::array();
    if (m_usesConfigurationPane) {
        identifiers->addObject(ZAKPPToolbarShowAllIdentifier);
        identifiers->addObject(NSToolbarSeparatorItemIdentifier);
    }
    identifiers->addObjectsFromArray(validPrefPaneIdentifiers());
    return identifiers;
}

Ref<NSArray> ZAKPreferenceWindowController::toolbarAllowedItemIdentifiers(NSToolbar* toolbar)
{
    return toolbarDefaultItemIdentifiers(toolbar);
}

Ref<NSArray> ZAKPreferenceWindowController::toolbarSelectableItemIdentifiers(NSToolbar*)
{
    auto identifiers = NSMutableArray::array();
    if (m_usesConfigurationPane) identifiers->addObject(ZAKPPToolbarShowAllIdentifier);
    identifiers->addObjectsFromArray(validPrefPaneIdentifiers());
    return identifiers;
}

void ZAKPreferenceWindowController::windowWillClose(const Ref<NSNotification>&)
{
    // The pane stays active: it hears no select when the window shows again.
    sendHook(m_activePane, "willUnselect");
    sendHook(m_activePane, "didUnselect");
}

void ZAKPreferenceWindowController::applicationWillTerminate(const Ref<NSNotification>&)
{
    sendHook(m_activePane, "willUnselect");
    sendHook(m_activePane, "didUnselect");
}

void ZAKPreferenceWindowController::windowDidMove(const Ref<NSNotification>&)
{
    // Only where the user sees it: a hidden window moves while it is set up
    // (its toolbar and first pane keep the top edge), which would overwrite
    // the saved frame before it is read.
    if (auto w = loadedWindow(); w && w->isVisible() && m_autosaveName) w->saveFrameUsingName(m_autosaveName);
}

void ZAKPreferenceWindowController::windowDidBecomeMain(const Ref<NSNotification>&)
{
    sendHook(m_activePane, "panelDidBecomeMain");
}

std::optional<NSRect> ZAKPreferenceWindowController::windowWillUseStandardFrameDefaultFrame(const Ref<NSWindow>& w,
                                                                                            const NSRect&)
{
    if (auto size = dynamic_ref_cast<NSValue>(sendHook(m_activePane, "standardSize")))
        return frameForContentSize(size->sizeValue());
    return w->frame();  // zooming then does nothing
}
