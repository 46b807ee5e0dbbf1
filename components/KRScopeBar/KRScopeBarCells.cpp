#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSShadow.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "KRScopeBar/KRButtonCell.h"
#include "KRScopeBar/KROverflowPullDownCell.h"
#include "KRScopeBar/KRPopUpButtonCell.h"

NS_CLASS_DEFINE(KRButtonCell)
NS_CLASS_DEFINE(KRPopUpButtonCell)
NS_CLASS_DEFINE(KROverflowPullDownCell)

namespace {

// The title's text with the bar's look: white on a dark close shadow when
// lit, dark grey on a light shadow otherwise.
Ref<NSAttributedString> barTitle(const Ref<NSString>& text, bool lit)
{
    auto shadow = NSObject::make<NSShadow>();
    shadow->setShadowBlurRadius(0);
    if (lit) {
        shadow->setShadowColor(NSColor::colorWithDeviceWhite(0.2, 1.0));
        shadow->setShadowOffset(NSMakeSize(0, -0.5));
    } else {
        shadow->setShadowColor(NSColor::whiteColor());
        shadow->setShadowOffset(NSMakeSize(0, -1));
    }
    auto attributes = NSMutableDictionary::dictionary();
    attributes->setObject(shadow, NSShadowAttributeName);
    attributes->setObject(lit ? NSColor::whiteColor() : NSColor::colorWithDeviceWhite(0.25, 1.0),
                          NSForegroundColorAttributeName);
    attributes->setObject(NSFont::boldSystemFontOfSize(11), NSFontAttributeName);
    return NSAttributedString::initWithString(text ? text : ""_ns, attributes);
}

}  // namespace

// --- KRButtonCell ---

void KRButtonCell::setState(NSInteger state)
{
    NSButtonCell::setState(state);
    m_selected = state == NSOnState;
}

void KRButtonCell::mouseEntered(const Ref<NSEvent>& event)
{
    m_mouseOver = true;
    NSButtonCell::mouseEntered(event);
}

void KRButtonCell::mouseExited(const Ref<NSEvent>& event)
{
    m_mouseOver = false;
    NSButtonCell::mouseExited(event);
}

NSRect KRButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>&)
{
    return drawAttributedTitle(barTitle(title ? title->string() : nullptr, m_selected || m_mouseOver), frame);
}

void KRButtonCell::copyValuesFrom(const NSCell& other)
{
    NSButtonCell::copyValuesFrom(other);
    if (auto o = dynamic_cast<const KRButtonCell*>(&other)) {
        m_selected = o->m_selected;
        m_mouseOver = o->m_mouseOver;
    }
}

// --- KRPopUpButtonCell ---

NSRect KRPopUpButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>&)
{
    NSRect raised = frame;
    raised.origin.y -= 1;
    return drawAttributedTitle(barTitle(title ? title->string() : nullptr, true), raised);
}

// --- KROverflowPullDownCell ---

Ref<NSPopUpButtonCell> KROverflowPullDownCell::initTextCell(const Ref<NSString>& title, bool)
{
    NSPopUpButtonCell::initTextCell(title, true);
    setButtonType(NSPushOnPushOffButton);
    setArrowPosition(NSPopUpNoArrow);
    setControlSize(NSSmallControlSize);
    setImagePosition(NSImageOnly);
    setBordered(false);
    setHighlightsBy(NSChangeGrayCellMask);
    return Ref<NSPopUpButtonCell>(this);
}

NSSize KROverflowPullDownCell::cellSize() const
{
    auto face = numberOfItems() > 0 ? itemAtIndex(0) : nullptr;
    auto image = face ? face->image() : nullptr;
    if (!image) return NSZeroSize;
    const NSSize size = image->size();
    return NSMakeSize(size.width + 12, size.height);
}
