#pragma once
// Password fields: a text field whose text shows, and edits, as bullets.
#include "AppKit/NSTextField.h"

class NSSecureTextFieldCell : public NSTextFieldCell {
    NS_OBJECT(NSSecureTextFieldCell, NSTextFieldCell)
protected:
    NSSecureTextFieldCell() = default;

public:
    bool isSecure() const override { return true; }
};

class NSSecureTextField : public NSTextField {
    NS_OBJECT(NSSecureTextField, NSTextField)
protected:
    NSSecureTextField() = default;

public:
    static const NSClass& cellClass() { return NSSecureTextFieldCell::staticClass(); }
    const NSClass& cellClassOfControl() const override { return cellClass(); }
};
