#pragma once
// An animation of views and windows described by dictionaries: each names a
// target (NSViewAnimationTargetKey, a view or a window) and optionally a
// start frame, an end frame (NSValue rectangles) and an effect (fade in or
// fade out). Frames move from start to end along the curve; a fade-in shows
// the target at the start and raises its alpha from 0 to 1; a fade-out lowers
// it from where it is to 0 and at the end hides the view (its alpha back to 1) or orders the
// window out. Stopping leaves the targets as they are. Dictionaries keep
// any other keys. Non-blocking by default.
#include <vector>

#include "AppKit/NSAnimation.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometry.h"

inline constexpr char NSViewAnimationTargetKey[] = "NSViewAnimationTargetKey";
inline constexpr char NSViewAnimationStartFrameKey[] = "NSViewAnimationStartFrameKey";
inline constexpr char NSViewAnimationEndFrameKey[] = "NSViewAnimationEndFrameKey";
inline constexpr char NSViewAnimationEffectKey[] = "NSViewAnimationEffectKey";
inline constexpr char NSViewAnimationFadeInEffect[] = "NSViewAnimationFadeInEffect";
inline constexpr char NSViewAnimationFadeOutEffect[] = "NSViewAnimationFadeOutEffect";

class NSViewAnimation : public NSAnimation {
    NS_OBJECT(NSViewAnimation, NSAnimation)
protected:
    NSViewAnimation() = default;

public:
    // initWithViewAnimations: (an array of dictionaries).
    Ref<NSViewAnimation> initWithViewAnimations(const Ref<NSArray>& viewAnimations);
    Id init() override { return initWithViewAnimations(nullptr); }

    Ref<NSArray> viewAnimations() const { return m_viewAnimations; }
    void setViewAnimations(const Ref<NSArray>& viewAnimations);

    // Applies the state of that progress to every target.
    void setCurrentProgress(NSAnimationProgress progress) override;

protected:
    void animationWillStart() override;

private:
    struct Track {
        Id target;
        bool hasStart = false, hasEnd = false;
        NSRect start{}, end{};
        int fade = 0;  // 1 in, -1 out
        CGFloat fadeOutFrom = 1;
    };
    static void apply(const Track& track, float value);

    Ref<NSArray> m_viewAnimations;
    // Read from the dictionaries as the animation starts.
    std::vector<Track> m_tracks;
};
