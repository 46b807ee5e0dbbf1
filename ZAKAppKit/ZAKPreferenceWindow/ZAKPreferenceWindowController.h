#pragma once
// The framework's toolbar preference window: one process-wide controller
// keeping panes (ZAKPrefPaneProtocol objects: ZAKPreferencePanel
// subclasses or plug-in bundles wrapped by ZAKPlugInPreferencePane) by
// identifier, one toolbar item per pane in the order they were added, the
// selected pane's view in the window (resized with the top edge kept), and
// with usesConfigurationPane a show-all item presenting every pane in the
// icon view, grouped by category, and a customisable toolbar.
//
// The window's frame is saved under "NSWindow Frame <autosave name>" when
// it moves on screen and restored (top-left corner, current size) when the toolbar is
// first made; a saved string with fewer than four numbers centres the window.
// Strings come from the table "ZAKPreferenceWindow": "ZAKPWWindowTitle" and
// "ZAKPWShowAll".
//
// The toolbar is "ZAKPPToolbar", autosaved; with usesConfigurationPane the
// show-all item "ZAKPPToolbarShowAll" and a separator stay in front (the
// toolbar's first movable index is 2) and items are customised by dragging
// them (customizesOnClickAndDrag).
#include <optional>

#include "AppKit/NSToolbar.h"
#include "AppKit/NSWindowController.h"
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKPrefPaneIcon/ZAKPrefPaneIcon.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

class ZAKPrefPaneIconView;
class ZAKWindow;

inline const Ref<NSString> ZAKPPToolbarIdentifier = "ZAKPPToolbar"_ns;
inline const Ref<NSString> ZAKPPToolbarShowAllIdentifier = "ZAKPPToolbarShowAll"_ns;

// The delegate's methods, all optional: nullopt (or nothing done) means not
// implemented.
class ZAKPreferenceWindowControllerDelegate {
public:
    virtual ~ZAKPreferenceWindowControllerDelegate() = default;
    virtual std::optional<bool> shouldLoadPreferencePane(const Ref<NSString>&) { return std::nullopt; }
    // After a plug-in pane was added.
    virtual void didLoadPreferencePane(const Ref<NSString>&) { }
    virtual void willSelectPreferencePane(const Ref<NSString>&) { }
    virtual void didUnselectPreferencePane(const Ref<NSString>&) { }
    // The category to use (nil is an answer too).
    virtual std::optional<Ref<NSString>> categoryForPreferencePane(const Ref<NSString>&, const Ref<NSString>&)
    {
        return std::nullopt;
    }
    // A display name, or nil for the default.
    virtual Ref<NSString> displayNameForCategory(const Ref<NSString>&) { return nullptr; }
};

class ZAKPreferenceWindowController : public NSWindowController, public NSWindowDelegate, public NSToolbarDelegate {
    NS_OBJECT(ZAKPreferenceWindowController, NSWindowController)
protected:
    ZAKPreferenceWindowController();

public:
    ~ZAKPreferenceWindowController() override;

    // The recorded instance; made with plain init (no window) when there is
    // none.
    static Ref<ZAKPreferenceWindowController> sharedPreferenceWindowController();
    // The first call makes and records the instance; every later one answers
    // nil.
    static Ref<ZAKPreferenceWindowController> allocController();

    Ref<ZAKPreferenceWindowController> initWithAutosaveName(const Ref<NSString>& name);
    Ref<ZAKPreferenceWindowController> initWithAutosaveNameWindowStyleMask(const Ref<NSString>& name,
                                                                           NSUInteger styleMask);
    void createIconViewPane();

    Ref<NSDictionary> prefPanes() const { return m_prefPanes; }
    void setPrefPanes(const Ref<NSDictionary>& panes);
    Id prefPaneWithIdentifier(const Ref<NSString>& identifier) const;
    Id activePane() const { return m_activePane; }
    void setActivePane(const Id& pane) { m_activePane = pane; }
    Ref<NSString> autosaveName() const { return m_autosaveName; }
    void setAutosaveName(const Ref<NSString>& name);
    Ref<NSString> title() const { return m_title; }
    // Does not retitle the window.
    void setTitle(const Ref<NSString>& title);
    bool usesConfigurationPane() const { return m_usesConfigurationPane; }
    // Takes effect when the toolbar is made.
    void setUsesConfigurationPane(bool flag) { m_usesConfigurationPane = flag; }
    // Not retained.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    Ref<ZAKPrefPaneIconView> iconView() const;
    bool sortByCategory() const;
    // A change shows the icon view again when no pane is active.
    void setSortByCategory(bool flag);
    Ref<NSArray> categorySortOrder() const;
    void setCategorySortOrder(const Ref<NSArray>& order);
    // Kept from the framework's interface; they do nothing.
    void removeAllPanes() { }
    void replyToShouldUnselect(bool) { }

    // NO for an identifier already present, a refusing delegate or an
    // object that is not a pane; the pane's sort order becomes the number
    // of panes before it.
    bool addPaneWithIdentifier(const Id& pane, const Ref<NSString>& identifier);
    // Logs "error loading bundle: %@", "loaded: %@", "delegate did not
    // approve plugin %@"; a pane that cannot be added is logged and skipped.
    void addPluginFromPath(const Ref<NSString>& path);
    // Every file of that extension in the folder, by name.
    void addPluginsOfTypeFromPath(const Ref<NSString>& extension, const Ref<NSString>& folder);
    Ref<ZAKPrefPaneIcon> iconForPrefPane(const Id& pane);

    bool selectPaneWithIdentifier(const Ref<NSString>& identifier);
    bool deselectActivePane();
    bool selectIconViewPane();
    void toolbarShowAll();
    void toolbarShowPane(const Id& sender);

    Ref<NSString> categoryForIdentifier(const Ref<NSString>& identifier);
    Ref<NSArray> categories();
    Ref<NSString> categoryDisplayNameForIdentifier(const Ref<NSString>& identifier);

    NSRect frameForContentSize(NSSize size);
    void changeContentView(const Ref<NSView>& view);

    // Makes the toolbar and restores the frame on first use.
    Ref<NSWindow> window() override;

    // Toolbar delegate.
    Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar* toolbar, const Ref<NSString>& identifier,
                                                    bool willBeInserted) override;
    Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar* toolbar) override;
    Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar* toolbar) override;
    Ref<NSArray> toolbarSelectableItemIdentifiers(NSToolbar* toolbar) override;
    // Pane identifiers by ascending "sortOrder", both read by key-value coding.
    Ref<NSArray> validPrefPaneIdentifiers();

    // Window delegate and notifications.
    void windowWillClose(const Ref<NSNotification>& note) override;
    void windowDidMove(const Ref<NSNotification>& note) override;
    void windowDidBecomeMain(const Ref<NSNotification>& note) override;
    std::optional<NSRect> windowWillUseStandardFrameDefaultFrame(const Ref<NSWindow>& window,
                                                                 const NSRect& defaultFrame) override;
    void applicationWillTerminate(const Ref<NSNotification>& note);

    static void describeClass(NSClassMembers<ZAKPreferenceWindowController>& m);

private:
    ZAKPreferenceWindowControllerDelegate* delegateProtocol() const;
    static ZAKPrefPaneProtocol* paneProtocol(const Id& pane);
    // Sends an optional hook when the pane answers it.
    static Id sendHook(const Id& pane, const SEL& selector);
    void restoreFrame(const Ref<NSWindow>& window);
    Ref<NSString> localized(const char* key) const;

    Ref<NSMutableDictionary> m_prefPanes;
    Ref<ZAKPrefPaneIconView> m_iconView;
    Id m_activePane;
    bool m_usesConfigurationPane = false;
    Weak<NSObject> m_delegate;
    Ref<NSString> m_autosaveName;
    Ref<NSString> m_title;
    Id m_terminateObserver;
};
