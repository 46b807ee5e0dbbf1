#include "AboutBox.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSWorkspace.h"
#include "AppText.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSURL.h"

NS_CLASS_DEFINE(AboutBox)

void AboutBox::describeClass(NSClassMembers<AboutBox>& m)
{
    m.action("closeDialog:", &AboutBox::closeDialog);
    m.action("writeeMail:", &AboutBox::writeeMail);
    m.outlet("versionString", &AboutBox::m_versionString);
    m.outlet("copyrightString", &AboutBox::m_copyrightString);
}

Id AboutBox::init()
{
    initWithWindowNibName("AboutBox"_ns);
    setWindowFrameAutosaveName("AboutBoxWindow"_ns);
    return this;
}

void AboutBox::awakeFromNib()
{
    window()->setReleasedWhenClosed(false);
    window()->setRoleName("About", WSWindowType::dialog);
    auto bundle = NSBundle::mainBundle();
    m_versionString->setStringValue(
        NSString::stringWithFormat("%@ %@ (%@)"_ns, AppText::text("VSversion"),
                                   bundle->objectForInfoDictionaryKey("CFBundleShortVersionString"_ns),
                                   bundle->objectForInfoDictionaryKey("CFBundleVersion"_ns)));
    m_copyrightString->setStringValue(AppText::text("VScopyright"));
}

void AboutBox::closeDialog(const Id&) { close(); }

void AboutBox::writeeMail(const Id&)
{
    NSWorkspace::sharedWorkspace()->openURL(NSURL::URLWithString(NSString::stringWithUTF8String(kSupportAddress)));
}
