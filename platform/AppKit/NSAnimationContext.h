#pragma once
// Groups of view animations. Changes made through a view's animator inside
// a group animate over the group's duration on one animation clock: the
// process clock (virtual in tests), stepped at the screen's refresh rate
// (60 per second) by a timer in the common run-loop modes. Outside any group
// the duration is 0 and changes take effect at once. Adding and removing
// subviews through an animator happens at once.
#include <cstdint>
#include <functional>

#include "Foundation/NSObject.h"
#include "Foundation/NSTypes.h"

class NSAnimationContext : public NSObject {
    NS_OBJECT(NSAnimationContext, NSObject)
protected:
    NSAnimationContext() = default;

public:
    static void beginGrouping();
    static void endGrouping();
    // The innermost open group, or the implicit one (duration 0).
    static Ref<NSAnimationContext> currentContext();
    // Runs the changes in a new group; the completion handler runs once
    // every animation the group started has finished (at once when none).
    static void runAnimationGroup(const std::function<void(const Ref<NSAnimationContext>&)>& changes,
                                  const std::function<void()>& completionHandler);

    NSTimeInterval duration() const { return m_duration; }
    void setDuration(NSTimeInterval duration) { m_duration = duration < 0 ? 0 : duration; }
    void setCompletionHandler(const std::function<void()>& handler) { m_completion = handler; }
    // Whether changes made without the animator animate too. Nothing here
    // animates implicitly, so with or without it such changes apply at once.
    bool allowsImplicitAnimation() const { return m_allowsImplicitAnimation; }
    void setAllowsImplicitAnimation(bool flag) { m_allowsImplicitAnimation = flag; }

    // Starts an animation of the current group: step gets the progress in
    // [0, 1] at each tick, 1 last. A duration of 0 steps to 1 at once.
    static void animate(const std::function<void(double)>& step);
    // Animations still running (for tests and the gallery).
    static size_t runningAnimationCount();

    // A client of the clock outside any group (NSAnimation, progress
    // indicators): the handler runs at every tick until it is removed.
    using FrameHandler = std::function<void()>;
    static uint64_t addFrameHandler(FrameHandler handler);
    static void removeFrameHandler(uint64_t handler);

    // One animation of the group ended.
    void finishOne();

private:
    NSTimeInterval m_duration = 0;
    std::function<void()> m_completion;
    // Animations started in this group and not yet finished; the completion
    // handler waits for them.
    size_t m_pending = 0;
    bool m_closed = false;
    bool m_allowsImplicitAnimation = false;
};
