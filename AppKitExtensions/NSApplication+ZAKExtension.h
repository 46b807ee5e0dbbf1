#pragma once
// A sheet whose end is handled by a block instead of a delegate method.
#include <functional>

#include "AppKit/NSApplication.h"
#include "AppKit/NSWindow.h"

namespace NSApplicationExt {

using SheetDidEndBlock = std::function<void(NSInteger returnCode)>;

// beginSheet:modalForWindow:didEndBlock: — attaches the sheet with the
// application as its modal delegate; when the sheet ends, the block gets the
// return code and is then released. A sheet that cannot be attached (no
// window, or the window already has one) never calls the block.
void beginSheet(NSApplication* app, const Ref<NSWindow>& sheet, const Ref<NSWindow>& docWindow,
                SheetDidEndBlock didEndBlock);

}
