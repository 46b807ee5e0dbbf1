#pragma once
// Sheets, as NSApplication's category: a window attached at the top of its
// parent window, above it at the parent's level, taking the keyboard. The
// did-end selector (sheetDidEnd:returnCode:contextInfo:) reaches the modal
// delegate through a method registered for it with registerDidEndSelector,
// or else through the delegate's action table: a two-argument action gets
// the sheet and the return code as an NSNumber, a one-argument action the
// sheet. As on the platform, endSheet does not order the sheet out: the
// did-end method usually does.
#include <functional>

#include "AppKit/NSApplication.h"
#include "AppKit/NSWindow.h"

namespace NSApplicationExt {

// beginSheet:modalForWindow:modalDelegate:didEndSelector:contextInfo: — a
// window that already has a sheet beeps and keeps it.
void beginSheet(NSApplication* app, const Ref<NSWindow>& sheet, const Ref<NSWindow>& docWindow, const Id& modalDelegate,
                const SEL& didEndSelector, void* contextInfo);
// endSheet: (NSModalResponseStop) and endSheet:returnCode:.
void endSheet(NSApplication* app, const Ref<NSWindow>& sheet);
void endSheet(NSApplication* app, const Ref<NSWindow>& sheet, NSInteger returnCode);

// The sheet attached to a window, or nil; the window a sheet is attached to.
Ref<NSWindow> attachedSheet(const Ref<NSWindow>& window);
Ref<NSWindow> sheetParent(const Ref<NSWindow>& sheet);
bool isSheet(const Ref<NSWindow>& window);

using SheetDidEndMethod =
    std::function<void(NSObject* delegate, const Ref<NSWindow>& sheet, NSInteger returnCode, void* contextInfo)>;
void registerDidEndSelector(const NSClass& cls, const SEL& selector, SheetDidEndMethod method);
template <class T>
void registerDidEndSelector(const SEL& selector, void (T::*method)(const Ref<NSWindow>&, NSInteger, void*))
{
    registerDidEndSelector(T::classRecord(), selector,
                           [method](NSObject* d, const Ref<NSWindow>& s, NSInteger code, void* info) {
                               (static_cast<T*>(d)->*method)(s, code, info);
                           });
}

}
