#pragma once
// The view methods of drag and drop: registering a view as a drop
// destination for pasteboard types, and starting a drag from a view. The
// view then receives the NSDraggingDestination calls it implements (by
// adopting the protocol class).
#include "AppKit/NSDragging.h"
#include "AppKit/NSView.h"

namespace NSViewExt {
// registerForDraggedTypes: adds the types (nil adds nothing).
void registerForDraggedTypes(const Ref<NSView>& view, const Ref<NSArray>& types);
void unregisterDraggedTypes(const Ref<NSView>& view);
// nil when the view is no destination.
Ref<NSArray> registeredDraggedTypes(const Ref<NSView>& view);
// dragImage:at:offset:event:pasteboard:source:slideBack: runs a drag of the
// pasteboard's contents from the mouse-down event until the mouse goes up
// (DragManager). The point is the bottom-left corner of the upright image
// in the view's coordinates; the offset is not used. The source (any
// object; its NSDraggingSource methods are called) is what destinations see
// as draggingSource. Answers the operation performed.
NSDragOperation dragImage(const Ref<NSView>& view, const Ref<NSImage>& image, NSPoint at, NSSize offset,
                          const Ref<NSEvent>& event, const Ref<NSPasteboard>& pasteboard, const Id& source,
                          bool slideBack);
}
