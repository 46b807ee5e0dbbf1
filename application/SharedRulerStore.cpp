#include "SharedRulerStore.h"
#include "Foundation/NSClass.h"

#include "AppKit/NSEvent.h"
#include "Carbon/CFMachPort.h"
#include "Carbon/CFRunLoopSource.h"
#include "Carbon/CGEventTap.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(SharedRulerStore)

namespace {
Ref<SharedRulerStore>& sharedStore()
{
    static auto* store = new Ref<SharedRulerStore>;
    return *store;
}

CGEventRef rulerMouseTapCallback(CGEventTapProxy, CGEventType, CGEventRef event, void*)
{
    if (auto store = sharedStore()) store->publishCurrentMouseLocation(NSEvent::mouseLocation());
    return event;
}
}  // namespace

Ref<SharedRulerStore> SharedRulerStore::getSharedRulerStore()
{
    if (!sharedStore()) make<SharedRulerStore>();
    return sharedStore();
}

void SharedRulerStore::resetShared() { sharedStore() = nullptr; }

Id SharedRulerStore::init()
{
    if (sharedStore()) return sharedStore();
    sharedStore() = this;
    return this;
}

int32_t SharedRulerStore::numberOfVisibleRuler() const
{
    int32_t n = 0;
    for (const auto& ruler : m_rulers)
        if (auto w = ruler->loadedWindow(); w && w->isVisible()) ++n;
    return n;
}

void SharedRulerStore::addRuler(const Ref<RulerWindowController>& ruler)
{
    if (ruler) m_rulers.push_back(ruler);
}

void SharedRulerStore::removeAndCloseRuler(const Ref<RulerWindowController>& ruler)
{
    // Kept alive to the end of this call: the caller may be one of its views.
    Ref<RulerWindowController> keep = ruler;
    std::erase_if(m_rulers, [&](const Ref<RulerWindowController>& r) { return r.get() == ruler.get(); });
    if (keep) keep->close();
}

void SharedRulerStore::hideRuler()
{
    for (const auto& ruler : std::vector(m_rulers)) ruler->close();
}

void SharedRulerStore::showRuler()
{
    for (const auto& ruler : std::vector(m_rulers)) ruler->showWindow(nullptr);
}

void SharedRulerStore::closeAndRemoveAllRuler()
{
    for (const auto& ruler : std::vector(m_rulers)) removeAndCloseRuler(ruler);
}

void SharedRulerStore::publishCurrentMouseLocation(NSPoint point)
{
    for (const auto& ruler : std::vector(m_rulers)) ruler->setMouseLocation(point);
}

bool SharedRulerStore::installMouseTap()
{
    // One tap serves the process; the program may be started again in it.
    static CFMachPortRef installed;
    if (installed) return true;
    const CGEventMask mask = (1ULL << kCGEventMouseMoved) | (1ULL << kCGEventLeftMouseDragged);
    auto tap = CGEventTapCreate(kCGAnnotatedSessionEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly, mask,
                                rulerMouseTapCallback, nullptr);
    if (!tap) {
        NSLog("The pointer tap could not be created; rulers follow the pointer only over this program's windows");
        return false;
    }
    auto source = CFMachPortCreateRunLoopSource(nullptr, tap, 0);
    CFRunLoopAddSource(CFRunLoopGetMain(), source, kCFRunLoopCommonModes);
    CGEventTapEnable(tap, true);
    installed = tap;
    return true;
}
