#pragma once
// A borderless blue label that opens its URL when clicked, with the
// pointing-hand cursor over it. A string that forms no URL makes the click
// do nothing.
//
// Archive: "URLString" after the field's keys; a sequential archive holds
// the string as the next object.
#include "AppKit/NSTextField.h"

class ZAKURLClickField : public NSTextField {
    NS_OBJECT(ZAKURLClickField, NSTextField)
protected:
    ZAKURLClickField() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    Ref<NSString> URLString() const { return m_URLString; }
    void setURLString(const Ref<NSString>& string) { m_URLString = string; }

    void mouseDown(const Ref<NSEvent>& event) override;
    void resetCursorRects() override;

private:
    // A label's look: not bezeled, bordered, editable or selectable, blue
    // text on no background.
    void initCell();

    Ref<NSString> m_URLString;
};
