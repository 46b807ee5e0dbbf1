#pragma once
// Small helpers that lay out the program's windows in code.
#include "AppKit/NSButton.h"
#include "AppKit/NSMatrix.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSWindow.h"

namespace InterfaceBuilding {
Ref<NSWindow> panel(const NSRect& contentRect, const Ref<NSString>& title);
Ref<NSTextField> label(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& text);
Ref<NSTextField> field(const Ref<NSView>& parent, const NSRect& frame);
Ref<NSButton> button(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& title, const Id& target,
                     const SEL& action);
Ref<NSButton> checkBox(const Ref<NSView>& parent, const NSRect& frame, const Ref<NSString>& title, const Id& target,
                       const SEL& action);
// A one-column radio matrix; each title's cell gets the tag beside it.
Ref<NSMatrix> radios(const Ref<NSView>& parent, const NSRect& frame,
                     std::initializer_list<std::pair<Ref<NSString>, NSInteger>> titlesAndTags, const Id& target,
                     const SEL& action);
}
