#include "ZAKAppKit/ZAKPreferencePanes/ZAKPreferencePanel.h"

#include "AppKit/NSBundleNibLoading.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(ZAKPreferencePanel)

void ZAKPreferencePanel::describeClass(NSClassMembers<ZAKPreferencePanel>& m)
{
    m.outlet("paneMainView", &ZAKPreferencePanel::m_paneMainView);
    // Virtual: a subclass's override answers.
    m.action("categoryDisplayName", &ZAKPreferencePanel::categoryDisplayName);
    m.action("shouldResize", &ZAKPreferencePanel::shouldResize);
    m.action("willSelect", &ZAKPreferencePanel::willSelect);
    m.action("didSelect", &ZAKPreferencePanel::didSelect);
    m.action("willUnselect", &ZAKPreferencePanel::willUnselect);
    m.action("didUnselect", &ZAKPreferencePanel::didUnselect);
    m.action("panelDidBecomeMain", &ZAKPreferencePanel::panelDidBecomeMain);
    m.property("identifier", &ZAKPreferencePanel::identifierValue);
    m.property("sortOrder", &ZAKPreferencePanel::sortOrderValue, &ZAKPreferencePanel::setSortOrder);
}

Ref<ZAKPreferencePanel> ZAKPreferencePanel::initWithNibNameAndIndentifier(const Ref<NSString>& nibName,
                                                                          const Ref<NSString>& identifier)
{
    if (!init()) return nullptr;
    if (!NSBundleExt::loadNibNamed(nibName, Id(this)))
        NSException::raise("View initialization failed", std::string(nibName ? nibName->UTF8String() : "(null)") +
                                                             ": Could not load views resources!");
    m_identifier = identifier;
    m_sortOrder = 0;
    viewDidLoad();
    return this;
}
