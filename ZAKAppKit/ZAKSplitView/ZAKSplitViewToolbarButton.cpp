#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButton.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSImageNames.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSShadow.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButtonCell.h"

NS_CLASS_DEFINE(ZAKSplitViewToolbarButton)

namespace {

constexpr const char* kImageNames[] = {
    NSImageNameAddTemplate,      NSImageNameRemoveTemplate,     NSImageNameQuickLookTemplate,
    NSImageNameActionTemplate,   NSImageNameShareTemplate,      NSImageNameIconViewTemplate,
    NSImageNameListViewTemplate, NSImageNameLockLockedTemplate, NSImageNameLockUnlockedTemplate,
    NSImageNameGoRightTemplate,  NSImageNameGoLeftTemplate,     NSImageNameStopProgressTemplate,
    NSImageNameRefreshTemplate,
};

}

void ZAKSplitViewToolbarButton::describeClass(NSClassMembers<ZAKSplitViewToolbarButton>& m)
{
    m.action("windowStatusChanged", &ZAKSplitViewToolbarButton::windowStatusChanged);
    m.property("toolbarButtonAlign", &ZAKSplitViewToolbarButton::toolbarButtonAlign,
               &ZAKSplitViewToolbarButton::setToolbarButtonAlign);
    m.property("toolbarButtonWidth", &ZAKSplitViewToolbarButton::toolbarButtonWidth,
               &ZAKSplitViewToolbarButton::setToolbarButtonWidth);
    m.property("toolbarButtonImage", &ZAKSplitViewToolbarButton::toolbarButtonImage,
               &ZAKSplitViewToolbarButton::setToolbarButtonImage);
}

const NSClass& ZAKSplitViewToolbarButton::cellClass() { return ZAKSplitViewToolbarButtonCell::staticClass(); }

Id ZAKSplitViewToolbarButton::init()
{
    NSButton::init();
    setToolbarButtonAlign(0);
    m_toolbarButtonImage = 0;
    m_toolbarButtonWidth = 28.0;
    setAutoresizingMask(NSViewNotSizable);
    setImagePosition(NSImageLeft);
    setButtonType(NSMomentaryPushInButton);
    setBezelStyle(NSSmallSquareBezelStyle);
    // The cell draws the image at its own size, never scaled.
    setTitle(""_ns);
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(this, "windowStatusChanged", NSString::stringWithUTF8String(NSWindowDidBecomeKeyNotification),
                        nullptr);
    center->addObserver(this, "windowStatusChanged", NSString::stringWithUTF8String(NSWindowDidResignKeyNotification),
                        nullptr);
    return this;
}

void ZAKSplitViewToolbarButton::setTitle(const Ref<NSString>& title)
{
    auto style = NSMutableParagraphStyle::paragraphStyle();
    style->setAlignment(NSCenterTextAlignment);
    auto shadow = NSShadow::shadow();
    shadow->setShadowColor(NSColor::whiteColor());
    shadow->setShadowOffset(NSMakeSize(0, -1));
    shadow->setShadowBlurRadius(0);
    auto attributes = NSDictionary::dictionaryWithObjectsAndKeys({
        style,
        NSParagraphStyleAttributeName,
        NSFont::fontWithName("Helvetica Neue"_ns, 11),
        NSFontAttributeName,
        NSColor::controlTextColor(),
        NSForegroundColorAttributeName,
        shadow,
        NSShadowAttributeName,
    });
    m_attributedTitle = NSAttributedString::initWithString(title ? title : ""_ns, attributes);
    NSButton::setTitle(title ? title : ""_ns);
}

void ZAKSplitViewToolbarButton::setToolbarButtonAlign(int align)
{
    m_toolbarButtonAlign = align;
    if (auto c = dynamic_ref_cast<ZAKSplitViewToolbarButtonCell>(cell())) c->setAlign(align);
}

void ZAKSplitViewToolbarButton::setToolbarButtonImage(int code)
{
    m_toolbarButtonImage = code;
    if (code < 1 || code > 13) return;
    setImage(NSImage::imageNamed(NSString::stringWithUTF8String(kImageNames[code - 1])));
}

void ZAKSplitViewToolbarButton::setImagePosition(NSCellImagePosition position)
{
    NSButton::setImagePosition(position);
    if (auto c = buttonCell()) c->setImagePosition(position);
}

void ZAKSplitViewToolbarButton::windowStatusChanged() { setNeedsDisplay(true); }
