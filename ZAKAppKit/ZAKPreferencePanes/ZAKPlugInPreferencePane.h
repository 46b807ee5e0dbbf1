#pragma once
// A pane delivered as a loadable bundle. Its label, icon, category, version
// and help address come from the bundle's Info keys at once; the bundle's
// code is loaded, and its principal object made with initWithBundle:, only
// when first needed: at prefPane, mainView, loadMainView, a hook question or
// send, setSortOrder, sortOrder or a key-value lookup, all of which it
// passes on to the principal object.
//
// Info keys: "NSPrincipalClass" (required), "CFBundleIdentifier",
// "NSPrefPaneIconLabel" (default: the identifier), "NSPrefPaneIconFile"
// (an image resource name; default: the identifier), "ZAKPrefPaneCategory",
// "ZAKPrefPaneVersion", "ZAKPrefPaneHelpURL".
#include "Foundation/NSObject.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

class ZAKPlugInPreferencePane : public NSObject, public ZAKPrefPaneProtocol {
    NS_OBJECT(ZAKPlugInPreferencePane, NSObject)
protected:
    ZAKPlugInPreferencePane() = default;

public:
    // nil, with the log line "principal class name not found" or "class %@
    // already exists", when the bundle names no principal class or one the
    // process already has. Loads no code.
    Ref<ZAKPlugInPreferencePane> initWithBundle(const Ref<NSBundle>& bundle);

    Ref<NSBundle> bundle() const { return m_pluginBundle; }
    Ref<NSBundle> pluginBundle() const { return m_pluginBundle; }
    void setPluginBundle(const Ref<NSBundle>& bundle) { m_pluginBundle = bundle; }

    Ref<NSString> identifier() override { return m_identifier; }
    void setIdentifier(const Ref<NSString>& identifier);
    Ref<NSString> label() override { return m_label; }
    void setLabel(const Ref<NSString>& label);
    Ref<NSImage> icon() override { return m_icon; }
    void setIcon(const Ref<NSImage>& icon) { m_icon = icon; }
    Ref<NSString> category() override { return m_category; }
    void setCategory(const Ref<NSString>& category);
    Ref<NSString> version() const { return m_version; }
    void setVersion(const Ref<NSString>& version);
    Ref<NSString> helpURL() const { return m_helpURL; }
    void setHelpURL(const Ref<NSString>& url);

    // The principal object's view, or the pane's own without a bundle or
    // principal object.
    Ref<NSView> mainView() override;
    // Ignored while a bundle is set.
    void setMainView(const Ref<NSView>& view);
    // The principal object's loadMainView (what it answers), else mainView.
    Ref<NSView> loadMainView();

    // Made on first use: the bundle's principal class (loading its code),
    // initWithBundle:, then loadMainView when it answers it; nil when none
    // can be made.
    Id prefPane();
    void setPrefPane(const Id& pane) { m_prefPane = pane; }

    // Passed on to the principal object; without one they raise the
    // unrecognised-selector exception.
    NSUInteger sortOrder() override;
    void setSortOrder(NSUInteger order) override;
    Id valueForKey(const Ref<NSString>& key) override;

    // The principal object's answer (made first when needed).
    bool paneRespondsToSelector(const SEL& selector) override;
    Id panePerformSelector(const SEL& selector) override;

private:
    ZAKPrefPaneBundleProtocol* principal();

    Ref<NSString> m_identifier;
    Ref<NSView> m_mainView;
    Ref<NSString> m_label;
    Ref<NSImage> m_icon;
    Ref<NSString> m_category;
    Ref<NSString> m_version;
    Ref<NSString> m_helpURL;
    Ref<NSBundle> m_pluginBundle;
    Id m_prefPane;
};
