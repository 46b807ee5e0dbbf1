#pragma once
// The base class of panes written into the application: the view comes from
// an interface file of the main bundle whose owner's outlet "paneMainView"
// it connects; label, category and the hooks are neutral defaults for
// subclasses to override.
#include "Foundation/NSObject.h"
#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

class ZAKPreferencePanel : public NSObject, public ZAKPrefPaneProtocol {
    NS_OBJECT(ZAKPreferencePanel, NSObject)
protected:
    ZAKPreferencePanel() = default;

public:
    // Loads the interface file (raising "View initialization failed" when it
    // cannot), keeps the identifier, sort order 0, then viewDidLoad. The
    // selector's spelling is the framework's own.
    Ref<ZAKPreferencePanel> initWithNibNameAndIndentifier(const Ref<NSString>& nibName,
                                                          const Ref<NSString>& identifier);
    // Once, at the end of initialisation.
    virtual void viewDidLoad() { }

    Ref<NSString> identifier() override { return m_identifier; }
    Ref<NSView> mainView() override { return m_paneMainView; }
    Ref<NSString> label() override { return ""_ns; }
    Ref<NSImage> icon() override { return nullptr; }
    Ref<NSString> category() override { return ""_ns; }
    NSUInteger sortOrder() override { return m_sortOrder; }
    void setSortOrder(NSUInteger order) override { m_sortOrder = order; }
    // Hooks (registered as actions, so the window finds them).
    virtual Ref<NSString> categoryDisplayName() { return category(); }
    virtual bool shouldResize() { return false; }
    virtual void willSelect() { }
    virtual void didSelect() { }
    virtual void willUnselect() { }
    virtual void didUnselect() { }
    virtual void panelDidBecomeMain() { }

    bool paneRespondsToSelector(const SEL& selector) override { return respondsToSelector(selector); }
    Id panePerformSelector(const SEL& selector) override { return performSelector(selector); }

    static void describeClass(NSClassMembers<ZAKPreferencePanel>& m);

protected:
    // For panes made in code, without an interface file.
    void setPaneMainView(const Ref<NSView>& view) { m_paneMainView = view; }
    void setPaneIdentifier(const Ref<NSString>& identifier) { m_identifier = identifier; }

private:
    // Key-value coding reads these ("identifier", "sortOrder").
    Ref<NSString> identifierValue() const { return m_identifier; }
    NSUInteger sortOrderValue() const { return m_sortOrder; }

    Ref<NSView> m_paneMainView;
    Ref<NSString> m_identifier;
    NSUInteger m_sortOrder = 0;
};
