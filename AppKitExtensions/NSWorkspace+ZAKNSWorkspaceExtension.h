#pragma once
// NSWorkspace(ZAKNSWorkspaceExtension): the application's Dock icon (here
// its task-bar entry and tray icon), its place among the user's login items
// and handing a prepared e-mail to the user's mail program.
#include "AppKit/NSWorkspace.h"
#include "Foundation/NSArray.h"

namespace NSWorkspaceExt {

// YES: lists the application in the task bar with its tray icon (the
// regular activation policy). NO: asks to relaunch (the icon goes only at
// the next start); "Relaunch Now" starts the program again once this
// process has ended and terminates the application, "Later" changes
// nothing. The caller keeps whatever makes the next start an accessory.
void setShowsDockIcon(const Ref<NSWorkspace>& workspace, bool flag);

// Whether one of the user's login items starts this program's executable.
bool isAppRegisteredAsLoginItem(const Ref<NSWorkspace>& workspace);
// Adds this program to the login items; nothing happens when the list
// cannot be made.
void addAppAsLoginItem(const Ref<NSWorkspace>& workspace);
// Removes every login item that starts this program.
void removeAppFromLoginItem(const Ref<NSWorkspace>& workspace);

// The script emailTo: runs for the mail program: the desktop's handler of
// "mailto:" chooses one of three programs' scripts (by "Entourage" or
// "Mailsmith" in its name; otherwise the system mail program's). Every value
// is written into a string literal with its backslashes and double quotes
// escaped. Any argument may be nil.
Ref<NSString> mailToScript(const Ref<NSString>& to, const Ref<NSString>& subject, const Ref<NSString>& body,
                           const Ref<NSArray>& attachments);
// Runs that script: YES when it compiled and the mail composer took the
// message; otherwise logs the error and answers NO.
bool emailTo(const Ref<NSWorkspace>& workspace, const Ref<NSString>& to, const Ref<NSString>& subject,
             const Ref<NSString>& body, const Ref<NSArray>& attachments);

}
