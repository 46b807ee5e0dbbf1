#pragma once
// NSTextField(ZAKNSTextFieldExtension): recolouring a field's text.
#include "AppKit/NSTextField.h"

namespace NSTextFieldExt {

// Sets the field's text again as attributed text in the system font of the
// cell's control size and the colour, keeping the field's alignment.
void markTextField(const Ref<NSTextField>& field, const Ref<NSColor>& color);

}
