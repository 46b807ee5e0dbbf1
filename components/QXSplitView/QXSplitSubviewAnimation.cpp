// Collapsing and expanding a pane in a short animation. One animation runs
// at a time in the process; each step sets the pane's size from the time
// left, lays out the rest around it, redraws and queues the next step, so
// slow drawing gives fewer, larger steps and the animation still ends on
// time.
#include <algorithm>
#include <cmath>
#include <memory>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

namespace {

// Main thread only, like all view work.
std::unique_ptr<animationData> g_animation;

constexpr double kFrameInterval = 1.0 / 60.0;
// 1/750 s per point when the delegate does not say.
constexpr double kSecondsPerPoint = 0.0013333333333333335;
constexpr char kStepSelector[] = "QX___stepAnimation";

}

bool QXSplitSubview::animating() { return g_animation != nullptr; }

int QXSplitSubview::status() const
{
    if (g_animation && g_animation->owner == this) return g_animation->collapsing ? -1 : -2;
    return isCollapsed() ? 1 : 0;
}

animationData* QXSplitSubview::QX___animationData(bool start, bool resize)
{
    if (g_animation && g_animation->owner != this) return nullptr;
    if (!start) return g_animation.get();
    auto sv = splitView();
    if (!sv) return g_animation.get();
    const double dimension = this->dimension();
    double duration = dimension * kSecondsPerPoint;
    if (auto* delegate = sv->delegateProtocol())
        if (auto answer = delegate->splitViewWillAnimateSubviewWithDimension(sv.get(), this, dimension))
            duration = *answer;
    if (!(duration > kFrameInterval)) {
        QX___stopAnimation();
        return nullptr;
    }
    if (!g_animation) g_animation = std::make_unique<animationData>();
    *g_animation = animationData{this, dimension, 0, 0, Clock::now() + duration, duration, !isCollapsed(), resize};
    sv->QX___setDragging(true);
    return g_animation.get();
}

bool QXSplitSubview::collapseWithAnimation(bool animate, bool resize)
{
    if (status() != 0 || !canCollapse()) return false;
    if (animate && QX___animationData(true, resize)) {
        QX___clearResponder();
        QX___stepAnimation();
        return true;
    }
    QX___collapse();
    return false;
}

bool QXSplitSubview::expandWithAnimation(bool animate, bool resize)
{
    if (status() != 1) return false;
    if (animate && QX___animationData(true, resize)) {
        QX___stepAnimation();
        return true;
    }
    QX___expandAndSetToMinimum(false);
    return false;
}

void QXSplitSubview::QX___stepAnimation()
{
    const double started = Clock::now();
    auto* record = QX___animationData(false, false);
    auto sv = splitView();
    if (!record || !sv) return;
    Ref<QXSplitSubview> self(this);
    const bool horizontal = sv->isHorizontal();
    const double remaining = record->finishTime - started;
    if (remaining >= kFrameInterval) {
        const double mean = record->stepCount ? record->totalStepTime / record->stepCount : record->totalStepTime;
        const double s = std::floor((remaining - mean) * record->dimension / record->duration);
        if (s > 4) {
            NSRect f = frame();
            setAlong(f.size, horizontal, record->collapsing ? s : record->dimension - s);
            QX___setFrame(f, 0, false);
            sv->adjustSubviews();
            display();
            // The pass or the display may have stopped the animation.
            if (QX___animationData(false, false) != record || !record) return;
            record->totalStepTime += Clock::now() - started;
            record->stepCount += 1;
            // About sixty steps a second: the next one waits for what is left
            // of a frame after the mean step time.
            const double delay = std::max(0.0, kFrameInterval - mean);
            performSelectorAfterDelay(kStepSelector, nullptr, delay,
                                      {NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode});
            return;
        }
    }
    NSRect f = frame();
    if (record->collapsing) {
        const double dimension = record->dimension;
        setAlong(f.size, horizontal, 0);
        QX___finishCollapse(f, dimension / sv->QX___dimensionWithoutDividers());
        return;
    }
    double savedMin = 0, savedMax = 0;
    const double size = QX___setMinAndMaxTo(record->dimension, &savedMin, &savedMax);
    setAlong(f.size, horizontal, size);
    QX___finishExpand(f, 0);
    // The pass keeps the pane at exactly that size while its limits are
    // pinned.
    sv->adjustSubviews();
    m_minDimension = savedMin;
    m_maxDimension = savedMax;
}

bool QXSplitSubview::QX___stopAnimation()
{
    if (!g_animation || g_animation->owner != this) return false;
    Ref<QXSplitSubview> self(this);
    cancelPreviousPerformRequestsWithTarget(self, kStepSelector, nullptr);
    g_animation.reset();
    if (auto sv = splitView()) sv->QX___setDragging(false);
    return true;
}
