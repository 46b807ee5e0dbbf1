#pragma once
// Forwarders to the view's own archive keys (NSView::encodeViewKeys) for the
// views that code their subviews under their own keys (document view,
// content view, scrollers): NSFrame, NSAutoresizingMask and NSHidden only.
#include "AppKit/NSView.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSCoding.h"

namespace ViewCoding {
void encodeView(const NSView& view, NSCoder* coder);
// Runs initWithFrame with the archived frame, then sets the other keys.
void decodeView(NSView& view, NSCoder* coder);
// Writes the object under the key when it can be archived.
void encodeIfCodable(NSCoder* coder, const Id& object, const char* key);
Ref<NSString> key(const char* name);
}
