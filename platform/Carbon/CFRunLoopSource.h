#pragma once
// A run-loop source: work signalled to it runs on each run loop it was added
// to, in the modes it was added for (kCFRunLoopCommonModes: default, event
// tracking and modal panel alike). A run loop keeps the sources added to it
// until they are removed or invalidated.
#include <functional>
#include <mutex>
#include <vector>

#include "Foundation/NSRunLoop.h"

class CFRunLoopSource;

using CFRunLoopRef = Ref<NSRunLoop>;
using CFRunLoopSourceRef = Ref<CFRunLoopSource>;
using CFIndex = long;

inline constexpr char kCFRunLoopDefaultMode[] = "kCFRunLoopDefaultMode";
inline constexpr char kCFRunLoopCommonModes[] = "kCFRunLoopCommonModes";

class CFRunLoopSource : public NSObject {
    NS_OBJECT(CFRunLoopSource, NSObject)
protected:
    CFRunLoopSource() = default;

public:
    static Ref<CFRunLoopSource> create(CFIndex order);

    // Runs the work once on every loop holding the source, in a pass of one
    // of the modes it was added for; nothing when no loop holds it. Any
    // thread.
    void signal(const std::function<void()>& work);

    bool isValid() const;
    void invalidate();
    CFIndex order() const { return m_order; }

    // For CFRunLoopAddSource and friends.
    void addToRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode);
    void removeFromRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode);
    bool isInRunLoop(const CFRunLoopRef& loop, const NSRunLoopMode& mode) const;

private:
    struct Placement {
        CFRunLoopRef loop;
        NSRunLoopModes modes;
    };
    // The placements without the lock; used when invalidating.
    std::vector<Placement> takePlacements();

    mutable std::mutex m_lock;
    std::vector<Placement> m_placements;
    bool m_valid = true;
    CFIndex m_order = 0;
};

CFRunLoopRef CFRunLoopGetMain();
CFRunLoopRef CFRunLoopGetCurrent();
void CFRunLoopAddSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode);
void CFRunLoopRemoveSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode);
bool CFRunLoopContainsSource(const CFRunLoopRef& loop, const CFRunLoopSourceRef& source, const NSRunLoopMode& mode);
// Removes the source from every loop; signals to it are dropped from then on.
void CFRunLoopSourceInvalidate(const CFRunLoopSourceRef& source);
bool CFRunLoopSourceIsValid(const CFRunLoopSourceRef& source);
