#include "AppKit/NSApplicationSheets.h"

#include <map>
#include <mutex>

#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"

namespace {

struct Sheet {
    Ref<NSWindow> sheet;  // kept alive while attached
    Weak<NSWindow> parent;
    Weak<NSObject> delegate;
    SEL didEnd;
    void* contextInfo = nullptr;
};

// Attached sheets by their parent (main thread only).
std::vector<Sheet>& sheets()
{
    static auto* s = new std::vector<Sheet>;
    return *s;
}

struct DidEndRegistry {
    std::mutex lock;
    std::map<std::pair<const NSClass*, SEL>, NSApplicationExt::SheetDidEndMethod> methods;
};
DidEndRegistry& didEndRegistry()
{
    static auto* r = new DidEndRegistry;
    return *r;
}

NSApplicationExt::SheetDidEndMethod registeredMethod(const NSObject& delegate, const SEL& selector)
{
    auto& r = didEndRegistry();
    std::lock_guard guard(r.lock);
    for (const NSClass* c = &delegate.realClass(); c; c = c->superclass())
        if (auto it = r.methods.find({c, selector}); it != r.methods.end()) return it->second;
    return {};
}

void sendDidEnd(const Id& delegate, const SEL& selector, const Ref<NSWindow>& sheet, NSInteger code, void* info)
{
    if (!delegate || selector.empty()) return;
    if (auto method = registeredMethod(*delegate, selector)) return method(delegate.get(), sheet, code, info);
    const NSClass::Action* action = delegate->realClass().actionFor(selector);
    if (!action) return;
    if (action->arity >= 2) delegate->performSelector(selector, sheet, NSNumber::numberWithInteger(code));
    else delegate->performSelector(selector, sheet);
}

// The sheet's frame: centred on the parent, its top at the top of the
// parent's content area.
NSRect attachedFrame(const Ref<NSWindow>& sheet, const Ref<NSWindow>& parent)
{
    NSRect content = parent->contentRectForFrameRect(parent->frame());
    NSSize size = sheet->frame().size;
    return NSMakeRect(NSMidX(content) - size.width / 2, NSMaxY(content) - size.height, size.width, size.height);
}

}

namespace NSApplicationExt {

void beginSheet(NSApplication* app, const Ref<NSWindow>& sheet, const Ref<NSWindow>& docWindow, const Id& modalDelegate,
                const SEL& didEndSelector, void* contextInfo)
{
    if (!sheet || !docWindow) return;
    if (attachedSheet(docWindow) || isSheet(sheet)) {
        if (app) app->beep();
        return;
    }
    sheets().push_back({sheet, docWindow, modalDelegate, didEndSelector, contextInfo});
    sheet->setLevel(docWindow->level());
    sheet->setFrame(attachedFrame(sheet, docWindow), true);
    sheet->orderWindow(NSWindowAbove, docWindow->windowNumber());
    if (sheet->canBecomeKeyWindow()) sheet->makeKeyWindow();
}

void endSheet(NSApplication* app, const Ref<NSWindow>& sheet) { endSheet(app, sheet, NSModalResponseStop); }

void endSheet(NSApplication*, const Ref<NSWindow>& sheet, NSInteger returnCode)
{
    auto& all = sheets();
    auto it = std::find_if(all.begin(), all.end(), [&](const Sheet& s) { return s.sheet == sheet; });
    if (it == all.end()) return;
    Sheet ended = std::move(*it);
    all.erase(it);
    sendDidEnd(ended.delegate.get(), ended.didEnd, ended.sheet, returnCode, ended.contextInfo);
    auto parent = ended.parent.get();
    if (parent && parent->isVisible() && !ended.sheet->isVisible() && parent->canBecomeKeyWindow())
        parent->makeKeyWindow();
}

Ref<NSWindow> attachedSheet(const Ref<NSWindow>& window)
{
    for (auto& s : sheets())
        if (s.parent.get() == window) return s.sheet;
    return nullptr;
}

Ref<NSWindow> sheetParent(const Ref<NSWindow>& sheet)
{
    for (auto& s : sheets())
        if (s.sheet == sheet) return s.parent.get();
    return nullptr;
}

bool isSheet(const Ref<NSWindow>& window) { return window && sheetParent(window) != nullptr; }

void registerDidEndSelector(const NSClass& cls, const SEL& selector, SheetDidEndMethod method)
{
    auto& r = didEndRegistry();
    std::lock_guard guard(r.lock);
    r.methods[{&cls, selector}] = std::move(method);
}

}
