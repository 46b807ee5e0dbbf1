#include "ZAKAppKit/ZAKPreferencePanes/ZAKPlugInPreferencePane.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(ZAKPlugInPreferencePane)

namespace {

Ref<NSString> infoString(const Ref<NSBundle>& bundle, const char* key)
{
    return dynamic_ref_cast<NSString>(bundle->infoDictionary()->objectForKey(NSString::stringWithUTF8String(key)));
}

Ref<NSString> copied(const Ref<NSString>& s) { return s ? static_ref_cast<NSString>(s->copy()) : nullptr; }

}  // namespace

Ref<ZAKPlugInPreferencePane> ZAKPlugInPreferencePane::initWithBundle(const Ref<NSBundle>& bundle)
{
    if (!init() || !bundle) return nullptr;
    auto className = infoString(bundle, "NSPrincipalClass");
    m_identifier = copied(infoString(bundle, "CFBundleIdentifier"));
    // A pane without a principal object could not even take its sort order.
    if (!className || className->length() == 0) {
        NSLog("principal class name not found");
        return nullptr;
    }
    if (NSClassFromString(className)) {
        NSLog("class %@ already exists", className);
        return nullptr;
    }
    m_pluginBundle = bundle;
    auto label = infoString(bundle, "NSPrefPaneIconLabel");
    m_label = copied(label ? label : m_identifier);
    auto iconName = infoString(bundle, "NSPrefPaneIconFile");
    if (!iconName) iconName = m_identifier;
    if (iconName)
        if (auto path = bundle->pathForImageResource(iconName)) m_icon = NSImage::initWithContentsOfFile(path);
    m_category = copied(infoString(bundle, "ZAKPrefPaneCategory"));
    m_version = copied(infoString(bundle, "ZAKPrefPaneVersion"));
    m_helpURL = copied(infoString(bundle, "ZAKPrefPaneHelpURL"));
    return this;
}

void ZAKPlugInPreferencePane::setIdentifier(const Ref<NSString>& identifier) { m_identifier = copied(identifier); }
void ZAKPlugInPreferencePane::setLabel(const Ref<NSString>& label) { m_label = copied(label); }
void ZAKPlugInPreferencePane::setCategory(const Ref<NSString>& category) { m_category = copied(category); }
void ZAKPlugInPreferencePane::setVersion(const Ref<NSString>& version) { m_version = copied(version); }
void ZAKPlugInPreferencePane::setHelpURL(const Ref<NSString>& url) { m_helpURL = copied(url); }

Id ZAKPlugInPreferencePane::prefPane()
{
    if (m_prefPane || !m_pluginBundle) return m_prefPane;
    auto className = infoString(m_pluginBundle, "NSPrincipalClass");
    const NSClass* cls = className ? m_pluginBundle->classNamed(className) : nullptr;
    if (!cls) return nullptr;
    Id object = cls->allocInstance();
    auto* pane = dynamic_cast<ZAKPrefPaneBundleProtocol*>(object.get());
    if (!pane) {
        NSLog("class %@ is not a preference pane", className);
        return nullptr;
    }
    Id made = pane->initWithBundle(m_pluginBundle);
    if (!made) return nullptr;
    m_prefPane = made;
    if (m_prefPane->respondsToSelector("loadMainView")) m_prefPane->performSelector("loadMainView");
    return m_prefPane;
}

ZAKPrefPaneBundleProtocol* ZAKPlugInPreferencePane::principal()
{
    return dynamic_cast<ZAKPrefPaneBundleProtocol*>(prefPane().get());
}

Ref<NSView> ZAKPlugInPreferencePane::mainView()
{
    if (m_pluginBundle)
        if (auto* pane = principal()) return pane->mainView();
    return m_mainView;
}

void ZAKPlugInPreferencePane::setMainView(const Ref<NSView>& view)
{
    if (!m_pluginBundle) m_mainView = view;
}

Ref<NSView> ZAKPlugInPreferencePane::loadMainView()
{
    if (m_pluginBundle)
        if (auto pane = prefPane(); pane && pane->respondsToSelector("loadMainView"))
            return dynamic_ref_cast<NSView>(pane->performSelector("loadMainView"));
    return m_mainView;
}

NSUInteger ZAKPlugInPreferencePane::sortOrder()
{
    auto* pane = principal();
    if (!pane) doesNotRecognizeSelector("sortOrder");
    return pane->sortOrder();
}

void ZAKPlugInPreferencePane::setSortOrder(NSUInteger order)
{
    auto* pane = principal();
    if (!pane) doesNotRecognizeSelector("setSortOrder:");
    pane->setSortOrder(order);
}

Id ZAKPlugInPreferencePane::valueForKey(const Ref<NSString>& key)
{
    auto pane = prefPane();
    if (!pane) doesNotRecognizeSelector("valueForKey:");
    return pane->valueForKey(key);
}

bool ZAKPlugInPreferencePane::paneRespondsToSelector(const SEL& selector)
{
    // The principal object comes into being at the first question.
    auto pane = prefPane();
    if (pane && pane->respondsToSelector(selector)) return true;
    return selector == "loadMainView";  // the pane's own
}

Id ZAKPlugInPreferencePane::panePerformSelector(const SEL& selector)
{
    if (selector == "loadMainView") return loadMainView();
    auto pane = prefPane();
    if (!pane || !pane->respondsToSelector(selector)) doesNotRecognizeSelector(selector);
    return pane->performSelector(selector);
}
