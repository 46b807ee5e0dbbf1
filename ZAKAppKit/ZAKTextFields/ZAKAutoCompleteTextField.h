#pragma once
// A text field that asks its field editor to complete the word after every
// typed key but Tab, Return, Delete and the left and right arrows.
#include "AppKit/NSTextField.h"

class ZAKAutoCompleteTextField : public NSTextField {
    NS_OBJECT(ZAKAutoCompleteTextField, NSTextField)
protected:
    ZAKAutoCompleteTextField() = default;

public:
    // A key without characters (a dead key) asks nothing.
    void keyUp(const Ref<NSEvent>& event) override;
};
