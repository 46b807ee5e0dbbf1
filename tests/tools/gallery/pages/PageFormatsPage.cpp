// The standard page formats in a pop-up button, opened on A4 for the
// screenshot.
#include "AppKit/NSPopUpButton.h"
#include "AppKit/NSPopUpButtonCell.h"
#include "AppKit/NSTextField.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKPageFormat/ZAKPageFormat.h"

namespace {

Ref<NSPopUpButton> gFormats;

Ref<NSView> makePageFormats(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto label = NSTextField::labelWithString("Paper size:"_ns);
    label->setFrame(NSMakeRect(10, bounds.size.height - 50, 90, 20));
    view->addSubview(label);
    gFormats = static_ref_cast<NSPopUpButton>(
        NSObject::alloc<NSPopUpButton>()->initWithFrame(NSMakeRect(105, bounds.size.height - 54, 200, 26)));
    gFormats->setMenu(ZAKPageFormat::standardPageFormatMenuWithUserDefineEntry(true));
    NSInteger direction = 0;
    gFormats->selectItemAtIndex(ZAKPageFormat::indexOfStandardPageFormatWithSize(
        ZAKPageFormat::sizeOfPageStandardFormat(4), gFormats->menu(), &direction));
    view->addSubview(gFormats);
    return view;
}

void openFormats(const Ref<NSWindow>&) { gFormats->popUpCell()->performClickWithFrame(gFormats->bounds(), gFormats); }

}  // namespace

GALLERY_PAGE(pageFormats, {"page-formats", "Page Formats", {320, 640}, makePageFormats, openFormats});
