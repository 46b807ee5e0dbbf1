#include "AppKit/NSViewDragging.h"

#include <unordered_map>

#include "AppKit/DragManager.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSWindow.h"

namespace {

// The registered types of each destination view. An entry counts only while
// its view lives (a new view at a dead one's address is not registered).
struct Registration {
    Weak<NSView> view;
    Ref<NSArray> types;
};

std::unordered_map<const NSView*, Registration>& registrations()
{
    static std::unordered_map<const NSView*, Registration> table;
    return table;
}

void forgetDeadViews()
{
    std::erase_if(registrations(), [](const auto& entry) { return !entry.second.view.get(); });
}

}  // namespace

namespace NSViewExt {

void registerForDraggedTypes(const Ref<NSView>& view, const Ref<NSArray>& types)
{
    if (!view || !types) return;
    forgetDeadViews();
    auto existing = registeredDraggedTypes(view);
    auto all = NSMutableArray::arrayWithArray(existing ? existing : NSArray::array());
    for (const auto& type : types->objects())
        if (!all->containsObject(type)) all->addObject(type);
    registrations()[view.get()] = {view, all};
}

void unregisterDraggedTypes(const Ref<NSView>& view)
{
    if (view) registrations().erase(view.get());
}

Ref<NSArray> registeredDraggedTypes(const Ref<NSView>& view)
{
    if (!view) return nullptr;
    auto it = registrations().find(view.get());
    if (it == registrations().end() || it->second.view.get().get() != view.get()) return nullptr;
    return it->second.types;
}

NSDragOperation dragImage(const Ref<NSView>& view, const Ref<NSImage>& image, NSPoint at, NSSize,
                          const Ref<NSEvent>& event, const Ref<NSPasteboard>& pasteboard, const Id& source,
                          bool slideBack)
{
    auto w = view ? view->window() : nullptr;
    if (!w) return NSDragOperationNone;
    const NSPoint origin = w->convertBaseToScreen(view->convertPointToView(at, nullptr));
    return DragManager::shared().runSession(image, origin, event, pasteboard, source, slideBack);
}

}  // namespace NSViewExt
