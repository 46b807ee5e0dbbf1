#include "AppKit/DragManager.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "AppKit/NSApplication.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSViewDragging.h"
#include "AppKit/NSWindow.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowServer/WindowServer.h"

namespace {

// Shows the dragged image in the session's window.
class DragImageView : public NSView {
    NS_OBJECT(DragImageView, NSView)
protected:
    DragImageView() = default;

public:
    Ref<NSImage> image;
    void drawRect(const NSRect&) override
    {
        if (image) image->drawInRect(bounds(), NSZeroRect, NSCompositeSourceOver, 1);
    }
};

NS_CLASS_DEFINE(DragImageView)

// The slide back takes this many steps (about a sixth of a second).
constexpr int kSlideSteps = 10;
constexpr auto kSlideStepTime = std::chrono::milliseconds(16);

// One operation out of a mask, as a drop performs one.
NSDragOperation oneOperation(NSDragOperation mask)
{
    for (NSDragOperation op : {NSDragOperationCopy, NSDragOperationLink, NSDragOperationMove})
        if (mask & op) return op;
    return NSDragOperationNone;
}

}  // namespace

struct DragManager::Session {
    Ref<NSImage> image;
    Ref<NSPasteboard> pasteboard;
    Id source;
    NSDraggingSource* sourceProtocol = nullptr;
    Ref<NSDraggingInfo> info;
    Ref<NSWindow> imageWindow;
    NSPoint startOrigin{};
    // From the pointer to the image's corner.
    NSSize offset{};
    NSPoint pointer{};
    NSUInteger modifierFlags = 0;
    Ref<NSView> destination;
    Ref<NSWindow> destinationWindow;
    NSDragOperation operation = NSDragOperationNone;

    NSPoint imageOrigin() const { return NSMakePoint(pointer.x + offset.width, pointer.y + offset.height); }
};

DragManager& DragManager::shared()
{
    static DragManager manager;
    return manager;
}

Ref<NSWindow> DragManager::imageWindow() const { return m_session ? m_session->imageWindow : nullptr; }

Ref<NSView> DragManager::destinationAt(NSPoint screenPoint, const Ref<NSArray>& types, Ref<NSWindow>& window)
{
    window = nullptr;
    auto& server = WindowServer::shared();
    // The server's own hit test, so the windows a click would reach are the
    // ones a drop reaches (the image's window ignores the mouse).
    const WSWindowID id = server.windowAtPoint(screenPoint);
    auto candidate = id ? NSWindow::windowWithNumber(NSInteger(id)) : nullptr;
    if (!candidate || !candidate->frameView()) return nullptr;
    const NSPoint base = candidate->convertScreenToBase(screenPoint);
    for (auto view = candidate->frameView()->hitTest(base); view; view = view->superview()) {
        auto registered = NSViewExt::registeredDraggedTypes(view);
        if (!registered) continue;
        for (const auto& type : types->objects())
            if (registered->containsObject(type)) {
                window = candidate;
                return view;
            }
    }
    return nullptr;
}

NSDragOperation DragManager::allowedOperations(Session& s) const
{
    NSDragOperation mask = NSDragOperationEvery;
    if (s.sourceProtocol) mask = s.sourceProtocol->draggingSourceOperationMaskForLocal(true).value_or(mask);
    const bool ignoreModifiers =
        s.sourceProtocol && s.sourceProtocol->ignoreModifierKeysWhileDragging().value_or(false);
    if (!ignoreModifiers) {
        if (s.modifierFlags & NSAlternateKeyMask) mask &= NSDragOperationCopy;
        if (s.modifierFlags & NSControlKeyMask) mask &= NSDragOperationLink;
    }
    return mask;
}

NSDragOperation DragManager::runSession(const Ref<NSImage>& image, NSPoint imageOrigin, const Ref<NSEvent>& event,
                                        const Ref<NSPasteboard>& pasteboard, const Id& source, bool slideBack)
{
    if (m_session || !event || !pasteboard) return NSDragOperationNone;
    Session s;
    s.image = image;
    s.pasteboard = pasteboard;
    s.source = source;
    s.sourceProtocol = dynamic_cast<NSDraggingSource*>(source.get());
    s.info = NSDraggingInfo::draggingInfo(pasteboard, source, image, ++m_sequenceNumber);
    s.pointer = event->screenLocation();
    s.modifierFlags = event->modifierFlags();
    s.startOrigin = imageOrigin;
    s.offset = NSMakeSize(imageOrigin.x - s.pointer.x, imageOrigin.y - s.pointer.y);
    m_lastSlideBack.clear();
    m_session = &s;

    if (image && image->size().width > 0 && image->size().height > 0) {
        const NSRect frame = {imageOrigin, image->size()};
        s.imageWindow = NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSBorderlessWindowMask,
                                                                         NSBackingStoreBuffered, false);
        s.imageWindow->setReleasedWhenClosed(false);
        s.imageWindow->setOpaque(false);
        s.imageWindow->setBackgroundColor(NSColor::clearColor());
        s.imageWindow->setHasShadow(false);
        s.imageWindow->setIgnoresMouseEvents(true);
        s.imageWindow->setLevel(CGWindowLevelForKey(kCGDraggingWindowLevelKey));
        auto view = NSObject::alloc<DragImageView>();
        view->initWithFrame({NSZeroPoint, image->size()});
        view->image = image;
        s.imageWindow->setContentView(view);
        s.imageWindow->orderFront(nullptr);
        s.imageWindow->displayIfNeeded();
    }
    if (s.sourceProtocol) s.sourceProtocol->draggedImageBeganAt(image, imageOrigin);
    track(s);

    auto app = NSApplication::sharedApplication();
    const NSEventMask mask = NSLeftMouseDraggedMask | NSLeftMouseUpMask | NSKeyDownMask | NSFlagsChangedMask;
    NSDragOperation result = NSDragOperationNone;
    for (;;) {
        auto e = app->nextEventMatchingMask(mask, NSDate::distantFuture(), NSEventTrackingRunLoopMode, true);
        if (!e) {
            cancel(s);
            break;
        }
        if (e->type() == NSEventTypeKeyDown) {
            if (e->keyCode() != kVK_Escape) continue;
            cancel(s);
            break;
        }
        if (e->type() == NSEventTypeFlagsChanged) {
            s.modifierFlags = e->modifierFlags();
            track(s);
            continue;
        }
        s.modifierFlags = e->modifierFlags();
        moveTo(s, e->screenLocation(), e->modifierFlags());
        if (e->type() == NSEventTypeLeftMouseUp) {
            result = drop(s);
            break;
        }
    }

    if (result == NSDragOperationNone && slideBack) this->slideBack(s);
    if (s.imageWindow) s.imageWindow->orderOut(nullptr);
    if (s.destination) {
        if (auto* d = dynamic_cast<NSDraggingDestination*>(s.destination.get())) d->draggingEnded(s.info);
    }
    if (s.sourceProtocol) s.sourceProtocol->draggedImageEndedAtOperation(image, s.imageOrigin(), result);
    m_session = nullptr;
    return result;
}

void DragManager::moveTo(Session& s, NSPoint pointer, NSUInteger modifierFlags)
{
    s.pointer = pointer;
    s.modifierFlags = modifierFlags;
    if (s.imageWindow) {
        s.imageWindow->setFrameOrigin(s.imageOrigin());
        s.imageWindow->displayIfNeeded();
    }
    if (s.sourceProtocol) s.sourceProtocol->draggedImageMovedTo(s.image, s.imageOrigin());
    track(s);
}

void DragManager::track(Session& s)
{
    Ref<NSWindow> window;
    auto view = destinationAt(s.pointer, s.pasteboard->types(), window);
    const NSDragOperation mask = allowedOperations(s);
    if (view != s.destination && s.destination) {
        if (auto* d = dynamic_cast<NSDraggingDestination*>(s.destination.get())) d->draggingExited(s.info);
        s.destination = nullptr;
        s.destinationWindow = nullptr;
        s.operation = NSDragOperationNone;
    }
    if (!view) return;
    s.info->update(window, window->convertScreenToBase(s.pointer), window->convertScreenToBase(s.imageOrigin()), mask);
    auto* d = dynamic_cast<NSDraggingDestination*>(view.get());
    std::optional<NSDragOperation> answer;
    if (view != s.destination) {
        s.destination = view;
        s.destinationWindow = window;
        answer = d ? d->draggingEntered(s.info) : std::nullopt;
        if (!answer) answer = mask;
    } else {
        answer = d ? d->draggingUpdated(s.info) : std::nullopt;
        if (!answer) answer = s.operation;
    }
    s.operation = oneOperation(*answer & mask);
    NSWindow::displayAllWindowsIfNeeded();
}

NSDragOperation DragManager::drop(Session& s)
{
    if (!s.destination) return NSDragOperationNone;
    auto* d = dynamic_cast<NSDraggingDestination*>(s.destination.get());
    if (s.operation == NSDragOperationNone) {
        if (d) d->draggingExited(s.info);
        return NSDragOperationNone;
    }
    if (!d) return NSDragOperationNone;
    if (!d->prepareForDragOperation(s.info).value_or(true)) return NSDragOperationNone;
    if (!d->performDragOperation(s.info).value_or(false)) return NSDragOperationNone;
    d->concludeDragOperation(s.info);
    NSWindow::displayAllWindowsIfNeeded();
    return s.operation;
}

void DragManager::cancel(Session& s)
{
    if (!s.destination) return;
    if (auto* d = dynamic_cast<NSDraggingDestination*>(s.destination.get())) d->draggingExited(s.info);
}

void DragManager::slideBack(Session& s)
{
    const NSPoint from = s.imageOrigin();
    for (int step = 1; step <= kSlideSteps; ++step) {
        // Eased out: fast at first, settling at the start.
        const CGFloat t = 1 - std::pow(1 - CGFloat(step) / kSlideSteps, 2);
        const NSPoint p = NSMakePoint(from.x + (s.startOrigin.x - from.x) * t, from.y + (s.startOrigin.y - from.y) * t);
        m_lastSlideBack.push_back(p);
        if (!s.imageWindow) continue;
        s.imageWindow->setFrameOrigin(p);
        s.imageWindow->displayIfNeeded();
        if (!Clock::isVirtual()) std::this_thread::sleep_for(kSlideStepTime);
    }
}
