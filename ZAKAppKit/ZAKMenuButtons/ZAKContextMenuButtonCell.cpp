#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuButtonCell.h"

#include "AppKit/NSControl.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKContextMenuButtonCell)
NS_CLASS_DEFINE(ZAKNewContextMenuButtonCell)

namespace {

Ref<NSImage> bundleImage(const char* name)
{
    auto path = NSBundle::bundleForClass(ZAKContextMenuButtonCell::staticClass())
                    ->pathForResource(NSString::stringWithUTF8String(name), "png"_ns);
    return path ? NSImage::initByReferencingFile(path) : nullptr;
}

bool sendAtOnce(NSCell& cell, const Ref<NSView>& controlView)
{
    if (auto control = dynamic_ref_cast<NSControl>(controlView)) control->sendAction(cell.action(), cell.target());
    return true;
}

}

Ref<NSCell> ZAKContextMenuButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSButtonCell::initTextCell(text);
    setUp();
    return this;
}

void ZAKContextMenuButtonCell::setUp()
{
    sendActionOn(NSLeftMouseDownMask | NSLeftMouseDraggedMask);
    setRefusesFirstResponder(false);
    setContinuous(false);
    setTag(0);
    setShowsFirstResponder(true);
    setImage(bundleImage("ZAKButtonMiniAddAction"));
    setButtonType(NSMomentaryChangeButton);
    setTitle(""_ns);
    setEnabled(true);
    setImagePosition(NSImageOnly);
    // The platform layer's button cells are never transparent, and a cell
    // is either bezeled or bordered: bordered (which draws a button's
    // bezel) is set last.
    setBezeled(true);
    setBordered(true);
    setBezelStyle(NSSmallSquareBezelStyle);
    setHighlightsBy(NSPushInCellMask);
}

void ZAKContextMenuButtonCell::setType(NSInteger type)
{
    switch (type) {
    case 0:
        setBezeled(true);
        setBordered(true);
        setImage(bundleImage("ZAKButtonMiniAction"));
        break;
    case 1:
        setBordered(true);
        setImage(bundleImage("ZAKButtonMiniAddAction"));
        break;
    case 2:
        setBordered(false);
        setBezeled(false);
        setImage(bundleImage("ZAKButtonMiniAddPlusScrollbar"));
        break;
    default: break;
    }
}

bool ZAKContextMenuButtonCell::trackMouse(const Ref<NSEvent>&, const NSRect&, const Ref<NSView>& controlView, bool)
{
    return sendAtOnce(*this, controlView);
}

bool ZAKNewContextMenuButtonCell::trackMouse(const Ref<NSEvent>&, const NSRect&, const Ref<NSView>& controlView, bool)
{
    return sendAtOnce(*this, controlView);
}
