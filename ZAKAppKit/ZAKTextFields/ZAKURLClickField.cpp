#include "ZAKAppKit/ZAKTextFields/ZAKURLClickField.h"

#include "AppKit/NSCursor.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSURL.h"

NS_CLASS_DEFINE(ZAKURLClickField)

Ref<NSView> ZAKURLClickField::initWithFrame(const NSRect& frame)
{
    NSTextField::initWithFrame(frame);
    if (auto c = cell()) c->setTag(0);
    initCell();
    m_URLString = ""_ns;
    return this;
}

void ZAKURLClickField::initCell()
{
    setBezelStyle(NSTextFieldSquareBezel);
    setBezeled(false);
    setEditable(false);
    setSelectable(true);
    setTextColor(NSColor::blueColor());
    setBordered(false);
    setDrawsBackground(false);
    setEditable(false);
    setSelectable(false);
    // The platform layer draws no focus ring for a field that cannot be
    // selected, which is what turning it off asks.
}

void ZAKURLClickField::encodeWithCoder(NSCoder* coder) const
{
    NSTextField::encodeWithCoder(coder);
    if (coder->allowsKeyedCoding()) coder->encodeObject(m_URLString, "URLString"_ns);
    else coder->encodeObject(m_URLString);
}

Id ZAKURLClickField::initWithCoder(NSCoder* coder)
{
    NSTextField::initWithCoder(coder);
    const Id decoded = coder->allowsKeyedCoding() ? coder->decodeObjectForKey("URLString"_ns) : coder->decodeObject();
    m_URLString = dynamic_ref_cast<NSString>(decoded);
    initCell();
    return this;
}

void ZAKURLClickField::mouseDown(const Ref<NSEvent>&)
{
    if (!m_URLString) return;
    if (auto url = NSURL::URLWithString(m_URLString)) NSWorkspace::sharedWorkspace()->openURL(url);
}

void ZAKURLClickField::resetCursorRects() { addCursorRect(bounds(), NSCursor::pointingHandCursor()); }
