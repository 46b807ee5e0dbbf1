#include "Carbon/CFRunLoopSource.h"

#include <algorithm>
#include <map>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CFRunLoopSource)

namespace {

// The sources each loop holds, so that a source added to a loop lives as long
// as it stays there (the loops themselves keep only the queued work). Never
// destroyed: the main loop's sources live until the process ends.
struct Holdings {
    std::mutex lock;
    std::map<const NSRunLoop*, std::vector<CFRunLoopSourceRef>> sources;
};

Holdings& holdings()
{
    static auto* h = new Holdings;
    return *h;
}

void hold(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source)
{
    auto& h = holdings();
    std::lock_guard guard(h.lock);
    auto& list = h.sources[loop.get()];
    if (std::find(list.begin(), list.end(), source) == list.end()) list.push_back(source);
}

// Answers the reference taken out of the table so that the last release can
// happen outside the lock.
CFRunLoopSourceRef unhold(const CFRunLoopRef& loop, const CFRunLoopSource* source)
{
    auto& h = holdings();
    std::lock_guard guard(h.lock);
    auto it = h.sources.find(loop.get());
    if (it == h.sources.end()) return nullptr;
    auto& list = it->second;
    auto found = std::find_if(list.begin(), list.end(), [&](const auto& s) { return s.get() == source; });
    if (found == list.end()) return nullptr;
    CFRunLoopSourceRef taken = *found;
    list.erase(found);
    if (list.empty()) h.sources.erase(it);
    return taken;
}

}

Ref<CFRunLoopSource> CFRunLoopSource::create(CFIndex order)
{
    auto source = alloc<CFRunLoopSource>();
    source->m_order = order;
    return source;
}

void CFRunLoopSource::signal(const std::function<void()>& work)
{
    std::vector<Placement> placements;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid) return;
        placements = m_placements;
    }
    Ref<CFRunLoopSource> self(this);
    for (const auto& p : placements) {
        // Invalidation between the signal and the pass drops the work.
        p.loop->performBlock(p.modes, [self, work] {
            if (self->isValid()) work();
        });
    }
}

bool CFRunLoopSource::isValid() const
{
    std::lock_guard guard(m_lock);
    return m_valid;
}

std::vector<CFRunLoopSource::Placement> CFRunLoopSource::takePlacements()
{
    std::lock_guard guard(m_lock);
    m_valid = false;
    return std::exchange(m_placements, {});
}

void CFRunLoopSource::invalidate()
{
    Ref<CFRunLoopSource> keep(this);
    for (const auto& p : takePlacements()) unhold(p.loop, this);
}

void CFRunLoopSource::addToRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode)
{
    if (!loop) return;
    {
        std::lock_guard guard(m_lock);
        if (!m_valid) return;
        auto it = std::find_if(m_placements.begin(), m_placements.end(), [&](const auto& p) { return p.loop == loop; });
        if (it == m_placements.end()) it = m_placements.insert(m_placements.end(), Placement{loop, {}});
        if (std::find(it->modes.begin(), it->modes.end(), mode) == it->modes.end()) it->modes.push_back(mode);
    }
    hold(loop, Ref<CFRunLoopSource>(this));
}

void CFRunLoopSource::removeFromRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode)
{
    bool lastMode = false;
    {
        std::lock_guard guard(m_lock);
        auto it = std::find_if(m_placements.begin(), m_placements.end(), [&](const auto& p) { return p.loop == loop; });
        if (it == m_placements.end()) return;
        std::erase(it->modes, mode);
        if (it->modes.empty()) {
            m_placements.erase(it);
            lastMode = true;
        }
    }
    if (lastMode) {
        Ref<CFRunLoopSource> keep(this);
        unhold(loop, this);
    }
}

bool CFRunLoopSource::isInRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode) const
{
    std::lock_guard guard(m_lock);
    for (const auto& p : m_placements)
        if (p.loop == loop) return std::find(p.modes.begin(), p.modes.end(), mode) != p.modes.end();
    return false;
}

CFRunLoopRef CFRunLoopGetMain() { return NSRunLoop::mainRunLoop(); }

CFRunLoopRef CFRunLoopGetCurrent() { return NSRunLoop::currentRunLoop(); }

void CFRunLoopAddSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode)
{
    if (source) source->addToRunLoop(loop, mode);
}

void CFRunLoopRemoveSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode)
{
    if (source) source->removeFromRunLoop(loop, mode);
}

bool CFRunLoopContainsSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode)
{
    return source && source->isInRunLoop(loop, mode);
}

void CFRunLoopSourceInvalidate(const CFRunLoopSourceRef& source)
{
    if (source) source->invalidate();
}

bool CFRunLoopSourceIsValid(const CFRunLoopSourceRef& source) { return source && source->isValid(); }
