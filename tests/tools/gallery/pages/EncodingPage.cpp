// The text-encoding pop-up, opened on its list, and the panel that chooses
// the encodings it lists.
#include "AppKit/NSTextField.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingManager.h"
#include "ZAKAppKit/ZAKEncodingManager/ZAKEncodingPopUpButton.h"

namespace {

Ref<ZAKEncodingPopUpButton> g_popUp;

Ref<NSView> makeEncodingPopUp(NSRect bounds)
{
    auto view = NSObject::alloc<NSView>()->initWithFrame(bounds);
    auto label = static_ref_cast<NSTextField>(
        NSObject::alloc<NSTextField>()->initWithFrame(NSMakeRect(20, bounds.size.height - 40, 90, 20)));
    label->setStringValue("Encoding:"_ns);
    label->setBezeled(false);
    label->setEditable(false);
    view->addSubview(label);
    g_popUp = static_ref_cast<ZAKEncodingPopUpButton>(
        NSObject::alloc<ZAKEncodingPopUpButton>()->initWithFrame(NSMakeRect(110, bounds.size.height - 44, 250, 26)));
    view->addSubview(g_popUp);
    g_popUp->awakeFromNib();
    g_popUp->setEncoding(NSUTF8StringEncoding, true);
    return view;
}

// The list opens over the button until the gallery quits.
void openList(const Ref<NSWindow>&) { g_popUp->popUpCell()->performClickWithFrame(g_popUp->bounds(), g_popUp); }

Ref<NSView> makePanelBackdrop(NSRect bounds) { return NSObject::alloc<NSView>()->initWithFrame(bounds); }

// The panel covers the page's window, so the page's screenshot shows it.
void showPanel(const Ref<NSWindow>& window)
{
    auto manager = ZAKEncodingManager::sharedInstance();
    manager->showPanel(nullptr);
    if (auto matrix = manager->encodingMatrix()) matrix->window()->setFrame(window->frame(), true);
}

}  // namespace

GALLERY_PAGE(encoding_popup, {"encoding-popup", "Encoding Pop-up", {380, 340}, makeEncodingPopUp, openList});
GALLERY_PAGE(encoding_panel, {"encoding-panel", "Encoding Panel", {360, 440}, makePanelBackdrop, showPanel});
