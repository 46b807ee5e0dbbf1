#pragma once
// Drag and drop between the views and windows of the process: the drag
// operations, what a destination learns about the drag under the pointer
// (NSDraggingInfo), and the methods a source and a destination may answer.
// DragManager runs the sessions; NSViewExt::dragImage starts one and
// NSViewExt::registerForDraggedTypes makes a view a destination
// (NSViewDragging.h).
//
// Both protocols have only optional methods: nullopt (or a no-op) means
// "not implemented", and the drag manager then uses the platform's default.
#include <optional>

#include "AppKit/NSImage.h"
#include "AppKit/NSPasteboard.h"
#include "Foundation/NSGeometry.h"

class NSWindow;

using NSDragOperation = NSUInteger;
inline constexpr NSDragOperation NSDragOperationNone = 0;
inline constexpr NSDragOperation NSDragOperationCopy = 1;
inline constexpr NSDragOperation NSDragOperationLink = 2;
inline constexpr NSDragOperation NSDragOperationMove = 16;
inline constexpr NSDragOperation NSDragOperationEvery = NSUIntegerMax;

// The drag as a destination sees it while the pointer is over it.
class NSDraggingInfo : public NSObject {
    NS_OBJECT(NSDraggingInfo, NSObject)
protected:
    NSDraggingInfo() = default;

public:
    static Ref<NSDraggingInfo> draggingInfo(const Ref<NSPasteboard>& pasteboard, const Id& source,
                                            const Ref<NSImage>& image, NSInteger sequenceNumber);

    Ref<NSPasteboard> draggingPasteboard() const { return m_pasteboard; }
    // The object that started the drag (the real object, so a destination
    // can tell that a drag is its own).
    Id draggingSource() const { return m_source; }
    // What the source allows, narrowed by the modifier keys held.
    NSDragOperation draggingSourceOperationMask() const { return m_sourceOperationMask; }
    // The pointer in the destination window's base coordinates.
    NSPoint draggingLocation() const { return m_location; }
    // The image's bottom-left corner in the same coordinates.
    NSPoint draggedImageLocation() const { return m_imageLocation; }
    Ref<NSImage> draggedImage() const { return m_image; }
    Ref<NSWindow> draggingDestinationWindow() const;
    // Each session has its own number.
    NSInteger draggingSequenceNumber() const { return m_sequenceNumber; }

    // --- For the drag manager ---
    void update(const Ref<NSWindow>& window, NSPoint location, NSPoint imageLocation, NSDragOperation mask);

private:
    Ref<NSPasteboard> m_pasteboard;
    Id m_source;
    Ref<NSImage> m_image;
    Weak<NSWindow> m_window;
    NSPoint m_location{};
    NSPoint m_imageLocation{};
    NSDragOperation m_sourceOperationMask = NSDragOperationNone;
    NSInteger m_sequenceNumber = 0;
};

// The object that started a drag (NSDraggingSource, informal).
class NSDraggingSource {
public:
    virtual ~NSDraggingSource() = default;
    // The operations the source allows; every one when not implemented.
    virtual std::optional<NSDragOperation> draggingSourceOperationMaskForLocal(bool) { return std::nullopt; }
    // YES: Option and Control do not narrow the operations.
    virtual std::optional<bool> ignoreModifierKeysWhileDragging() { return std::nullopt; }
    // Points are the image's bottom-left corner in screen coordinates.
    virtual void draggedImageBeganAt(const Ref<NSImage>&, NSPoint) { }
    virtual void draggedImageMovedTo(const Ref<NSImage>&, NSPoint) { }
    virtual void draggedImageEndedAtOperation(const Ref<NSImage>&, NSPoint, NSDragOperation) { }
};

// A view registered for dragged types (NSDraggingDestination, informal).
class NSDraggingDestination {
public:
    virtual ~NSDraggingDestination() = default;
    // The operation a drop would perform (one bit of the source's mask, or
    // none). Not implemented: the drop takes what the source allows.
    virtual std::optional<NSDragOperation> draggingEntered(const Ref<NSDraggingInfo>&) { return std::nullopt; }
    // Not implemented: the answer of draggingEntered stands.
    virtual std::optional<NSDragOperation> draggingUpdated(const Ref<NSDraggingInfo>&) { return std::nullopt; }
    virtual void draggingExited(const Ref<NSDraggingInfo>&) { }
    // Not implemented: YES.
    virtual std::optional<bool> prepareForDragOperation(const Ref<NSDraggingInfo>&) { return std::nullopt; }
    // Not implemented: NO (nothing was dropped).
    virtual std::optional<bool> performDragOperation(const Ref<NSDraggingInfo>&) { return std::nullopt; }
    virtual void concludeDragOperation(const Ref<NSDraggingInfo>&) { }
    // The session is over, whatever its outcome.
    virtual void draggingEnded(const Ref<NSDraggingInfo>&) { }
};
