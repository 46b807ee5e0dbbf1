#include "ZAKAppKit/ZAKTextFields/ZAKAutoCompleteTextField.h"

#include "AppKit/NSEvent.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKAutoCompleteTextField)

namespace {
bool completes(char16_t key)
{
    switch (key) {
    case 9:
    case 13:
    case 127:
    case NSLeftArrowFunctionKey:
    case NSRightArrowFunctionKey: return false;
    default: return true;
    }
}
}

void ZAKAutoCompleteTextField::keyUp(const Ref<NSEvent>& event)
{
    auto characters = event ? event->characters() : nullptr;
    if (characters && characters->length() > 0 && completes(characters->characterAtIndex(0)))
        if (auto editor = dynamic_ref_cast<NSTextView>(currentEditor())) editor->complete(Id(this));
    NSTextField::keyUp(event);
}
