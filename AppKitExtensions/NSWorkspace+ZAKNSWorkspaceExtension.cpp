#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "AppKit/NSAlert.h"
#include "AppKit/NSApplication.h"
#include "Carbon/Processes.h"
#include "Carbon/SystemUIMode.h"
#include "Foundation/ChildProcess.h"
#include "Foundation/LSInfo.h"
#include "Foundation/LSSharedFileList.h"
#include "Foundation/NSAppleScript.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSURL.h"

namespace {

std::string ownExecutablePath()
{
    char* real = realpath("/proc/self/exe", nullptr);
    if (!real) return {};
    std::string path = real;
    free(real);
    return path;
}

std::string text(const Id& value)
{
    auto s = dynamic_ref_cast<NSString>(value);
    return s && s->length() ? s->UTF8String() : "";
}

// The name the desktop shows for the application.
std::string applicationDisplayName()
{
    auto bundle = NSBundle::mainBundle();
    for (const char* key : {"CFBundleDisplayName", "CFBundleName"})
        if (auto name = text(bundle->objectForInfoDictionaryKey(NSString::stringWithUTF8String(key))); !name.empty())
            return name;
    return NSProcessInfo::processInfo()->processName()->UTF8String();
}

std::string applicationIdentifier()
{
    auto identifier = text(NSBundle::mainBundle()->bundleIdentifier());
    return identifier.empty() ? NSProcessInfo::processInfo()->processName()->UTF8String() : identifier;
}

// The value as the inside of a script's string literal.
std::string literal(const Ref<NSString>& value)
{
    std::string out;
    for (char c : value ? value->UTF8String() : std::string()) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

enum class MailProgram { Entourage, Mailsmith, Mail };

MailProgram defaultMailProgram()
{
    auto application = LSGetApplicationForURL(NSURL::URLWithString("mailto:"_ns));
    auto name = application ? application->path()->lastPathComponent()->stringByDeletingPathExtension() : nullptr;
    if (!name) return MailProgram::Mail;
    if (name->rangeOfString("Entourage"_ns, NSCaseInsensitiveSearch).location != NSNotFound)
        return MailProgram::Entourage;
    if (name->rangeOfString("Mailsmith"_ns, NSCaseInsensitiveSearch).location != NSNotFound)
        return MailProgram::Mailsmith;
    return MailProgram::Mail;
}

Ref<NSString> localized(const char* key)
{
    return NSBundle::mainBundle()->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns,
                                                         "ZAKLocalizable"_ns);
}

// The program's own executable with the arguments it was started with.
std::vector<std::string> relaunchArguments()
{
    std::vector<std::string> argv{ownExecutablePath()};
    auto arguments = NSProcessInfo::processInfo()->arguments();
    for (NSUInteger i = 1; arguments && i < arguments->count(); ++i)
        if (auto a = dynamic_ref_cast<NSString>(arguments->objectAtIndex(i))) argv.push_back(a->UTF8String());
    return argv;
}

}

namespace NSWorkspaceExt {

void setShowsDockIcon(const Ref<NSWorkspace>& workspace, bool flag)
{
    if (flag) {
        ProcessSerialNumber psn;
        GetCurrentProcess(&psn);
        TransformProcessType(&psn, kProcessTransformToForegroundApplication);
        SetSystemUIMode(kUIModeNormal, 0);
        // There is no Dock to start here: the lookup finds no application.
        workspace->launchAppWithBundleIdentifier("com.apple.dock"_ns, NSWorkspaceLaunchAsync, nullptr, nullptr);
        NSApplication::sharedApplication()->activateIgnoringOtherApps(true);
        return;
    }
    auto alert = NSObject::make<NSAlert>();
    alert->setAlertStyle(NSWarningAlertStyle);
    alert->addButtonWithTitle(localized("ZAKLRelaunchNow"));
    alert->addButtonWithTitle(localized("ZAKLLater"));
    alert->setMessageText(NSString::stringWithFormat(localized("ZAKLRelaunchAlertTitle"),
                                                     NSString::stringWithUTF8String(applicationDisplayName())));
    alert->setInformativeText(localized("ZAKLRelaunchAlertText"));
    if (alert->runModal() != NSAlertFirstButtonReturn) return;
    // Without the helper that starts the new process the application keeps
    // running rather than ending for good.
    if (!ChildProcess::launchAfterExit(relaunchArguments())) {
        NSLog("Could not relaunch %@", NSString::stringWithUTF8String(ownExecutablePath()));
        return;
    }
    NSApplication::sharedApplication()->terminate(nullptr);
}

Ref<NSString> mailToScript(const Ref<NSString>& to, const Ref<NSString>& subject, const Ref<NSString>& body,
                           const Ref<NSArray>& attachments)
{
    std::vector<std::string> files;
    if (attachments)
        for (NSUInteger i = 0; i < attachments->count(); ++i)
            if (auto path = dynamic_ref_cast<NSString>(attachments->objectAtIndex(i))) files.push_back(literal(path));
    std::string s;
    switch (defaultMailProgram()) {
    case MailProgram::Entourage:
        s = "tell application \"Microsoft Entourage\"\nactivate\n";
        s += "set m to make new draft window with properties {subject: \"" + literal(subject) + "\"}\ntell m\n";
        if (to)
            s += "set recipient to {address:{address: \"" + literal(to) + "\", display name: \"" + literal(to) +
                 "\"}, recipient type:to recipient}\n";
        if (body) s += "set content to \"" + literal(body) + "\"\n";
        for (const auto& f : files) s += "make new attachment with properties {file:POSIX file \"" + f + "\"}\n";
        s += "end tell\nend tell\n";
        break;
    case MailProgram::Mailsmith:
        s = "tell application \"Mailsmith\"\nactivate\n";
        s += "set m to make new message window with properties {subject: \"" + literal(subject) + "\"}\ntell m\n";
        if (to) s += "make new to_recipient at end with properties {address: \"" + literal(to) + "\"}\n";
        if (body) s += "set contents to \"" + literal(body) + "\"\n";
        for (const auto& f : files) s += "make new enclosure with properties {file:POSIX file \"" + f + "\"}\n";
        s += "end tell\nend tell\n";
        break;
    case MailProgram::Mail:
        s = "tell application \"Mail\"\nactivate\n";
        s += "set m to make new outgoing message with properties {subject: \"" + literal(subject) +
             "\", visible:true}\ntell m\n";
        if (to)
            s += "make new to recipient at end of to recipients with properties {address: \"" + literal(to) + "\"}\n";
        if (body) s += "set content to \"" + literal(body) + "\"\n";
        s += "tell its content\n";
        for (const auto& f : files)
            s += "make new attachment at after last character with properties {file name:\"" + f + "\"}\n";
        s += "end tell\nend tell\nend tell\n";
        break;
    }
    return NSString::stringWithUTF8String(s);
}

bool emailTo(const Ref<NSWorkspace>&, const Ref<NSString>& to, const Ref<NSString>& subject, const Ref<NSString>& body,
             const Ref<NSArray>& attachments)
{
    auto script = NSObject::alloc<NSAppleScript>()->initWithSource(mailToScript(to, subject, body, attachments));
    Ref<NSDictionary> error;
    if (!script->compileAndReturnError(&error)) {
        NSLog("Error compiling mail to script: %@", error);
        return false;
    }
    if (!script->executeAndReturnError(&error)) {
        NSLog("Error running mail to script: %@", error);
        return false;
    }
    return true;
}

bool isAppRegisteredAsLoginItem(const Ref<NSWorkspace>&)
{
    auto list = LSSharedFileList::sessionLoginItems();
    if (!list) return false;
    const std::string own = ownExecutablePath();
    for (const auto& item : list->snapshot())
        if (!own.empty() && item.resolvedPath == own) return true;
    return false;
}

void addAppAsLoginItem(const Ref<NSWorkspace>&)
{
    auto list = LSSharedFileList::sessionLoginItems();
    if (!list) return;
    list->insertItemLast(applicationIdentifier(), applicationDisplayName(), ownExecutablePath());
}

void removeAppFromLoginItem(const Ref<NSWorkspace>&)
{
    auto list = LSSharedFileList::sessionLoginItems();
    if (!list) return;
    const std::string own = ownExecutablePath();
    for (const auto& item : list->snapshot())
        if (!own.empty() && item.resolvedPath == own) list->removeItem(item);
}

}
