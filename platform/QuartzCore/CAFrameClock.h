#pragma once
// The frames of layer animations: while an animation runs, a timer in the
// common run-loop modes advances the animating layers at the screen's refresh
// rate (60 per second unless the window server reports another). Times come
// from the process clock, so a late frame shows the state of its own time
// and missed frames are dropped, not queued. Main thread only.
#include "QuartzCore/CALayer.h"

namespace CAFrameClock {

double framesPerSecond();
// Rates of 0 or less stand for 60.
void setFramesPerSecond(double rate);
// Advances the layer at every frame until its animations ended.
void addAnimatingLayer(const Ref<CALayer>& layer);
// Frames run since the process started (tests and measurements).
uint64_t frameCount();

}
