#include "AppKitExtensions/NSApplication+ZAKExtension.h"

#include <memory>

#include "AppKit/NSApplicationSheets.h"

namespace {

const SEL kBlockSheetDidEnd = "my_blockSheetDidEnd:returnCode:contextInfo:";

// The block travels as the sheet's context; whoever takes it back owns it.
void blockSheetDidEnd(NSObject*, const Ref<NSWindow>&, NSInteger returnCode, void* contextInfo)
{
    std::unique_ptr<NSApplicationExt::SheetDidEndBlock> block(
        static_cast<NSApplicationExt::SheetDidEndBlock*>(contextInfo));
    if (block && *block) (*block)(returnCode);
}

void registerBlockSheetDidEnd()
{
    static const bool registered = [] {
        NSApplicationExt::registerDidEndSelector(NSApplication::classRecord(), kBlockSheetDidEnd, blockSheetDidEnd);
        return true;
    }();
    (void)registered;
}

}

namespace NSApplicationExt {

void beginSheet(NSApplication* app, const Ref<NSWindow>& sheet, const Ref<NSWindow>& docWindow,
                SheetDidEndBlock didEndBlock)
{
    if (!app) return;
    registerBlockSheetDidEnd();
    auto block = std::make_unique<SheetDidEndBlock>(std::move(didEndBlock));
    bool wasSheet = isSheet(sheet);
    beginSheet(app, sheet, docWindow, Id(app), kBlockSheetDidEnd, block.get());
    // Attached: the sheet's end takes the block back. Refused: nothing will,
    // so it goes now.
    if (!wasSheet && isSheet(sheet)) (void)block.release();
}

}
