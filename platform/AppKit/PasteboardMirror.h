#pragma once
// Keeps a pasteboard's contents in step with a store outside the process:
// a folder under $XDG_RUNTIME_DIR, or the X11 CLIPBOARD selection.
#include <optional>
#include <vector>

#include "AppKit/NSPasteboardItem.h"

class NSPasteboard;

class PasteboardMirror {
public:
    virtual ~PasteboardMirror() = default;
    // The contents changed in the process: make them visible outside.
    virtual void publish(NSPasteboard& pasteboard) = 0;
    // Before a read: the outside's contents when they changed since the
    // last publish or fetch, else nothing.
    virtual std::optional<std::vector<Ref<NSPasteboardItem>>> fetch() = 0;
    virtual void releaseGlobally() { }
};

// The folder mirror of a shared pasteboard; made for names other than the
// in-process ones.
std::unique_ptr<PasteboardMirror> makeFolderPasteboardMirror(const Ref<NSString>& name);
