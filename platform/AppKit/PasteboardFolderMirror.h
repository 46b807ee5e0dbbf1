#pragma once
// The mirror of a shared pasteboard: a folder under $XDG_RUNTIME_DIR, made
// for every pasteboard name other than the in-process ones.
#include <memory>
#include <string>

#include "WindowServer/PasteboardMirror.h"

std::unique_ptr<PasteboardMirror> makeFolderPasteboardMirror(const std::string& name);
