#pragma once
// The view's own archive keys, shared by the views of this folder until the
// view class codes itself: NSFrame (rect), NSAutoresizingMask (integer),
// NSHidden (bool). Subviews are coded by each class under its own keys
// (document view, content view, scrollers), and only when they adopt
// NSCoding, so that an archive never holds a view it cannot rebuild.
#include "AppKit/NSView.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSCoding.h"

namespace NSViewCoding {
void encodeView(const NSView& view, NSCoder* coder);
// Runs initWithFrame with the archived frame, then sets the other keys.
void decodeView(NSView& view, NSCoder* coder);
// Writes the object under the key when it can be archived.
void encodeIfCodable(NSCoder* coder, const Id& object, const char* key);
Ref<NSString> key(const char* name);
}
