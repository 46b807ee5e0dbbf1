#include "Foundation/NSClass.h"
#include "AboutBox.h"

#include "AppKit/NSWorkspace.h"
#include "AppText.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSURL.h"
#include "InterfaceBuilding.h"

NS_CLASS_DEFINE(AboutBox)

void AboutBox::describeClass(NSClassMembers<AboutBox>& m)
{
    m.action("closeDialog:", &AboutBox::closeDialog);
    m.action("writeeMail:", &AboutBox::writeeMail);
}

Id AboutBox::init()
{
    initWithWindowNibName("AboutBox"_ns);
    setWindowFrameAutosaveName("AboutBoxWindow"_ns);
    return this;
}

void AboutBox::loadWindow()
{
    using namespace InterfaceBuilding;
    auto window = panel(NSMakeRect(300, 400, 360, 150), AppText::text("LSAboutTitle"));
    auto content = window->contentView();
    label(content, NSMakeRect(20, 112, 320, 20), "Plumbline"_ns);
    m_versionString = label(content, NSMakeRect(20, 88, 320, 18), ""_ns);
    m_copyrightString = label(content, NSMakeRect(20, 64, 320, 18), ""_ns);
    button(content, NSMakeRect(20, 14, 150, 28), AppText::text("LSAboutMail"), Id(this), "writeeMail:");
    button(content, NSMakeRect(250, 14, 90, 28), AppText::text("LSPrefClose"), Id(this), "closeDialog:");
    setWindow(window);
    awakeFromNib();
}

void AboutBox::awakeFromNib()
{
    auto bundle = NSBundle::mainBundle();
    m_versionString->setStringValue(NSString::stringWithFormat(
        "%@ %@ (%@)"_ns, AppText::text("VSversion"), bundle->objectForInfoDictionaryKey("CFBundleShortVersionString"_ns),
        bundle->objectForInfoDictionaryKey("CFBundleVersion"_ns)));
    m_copyrightString->setStringValue(AppText::text("VScopyright"));
}

void AboutBox::closeDialog(const Id&) { close(); }

void AboutBox::writeeMail(const Id&)
{
    NSWorkspace::sharedWorkspace()->openURL(NSURL::URLWithString(NSString::stringWithUTF8String(kSupportAddress)));
}
