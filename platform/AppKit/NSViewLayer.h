#pragma once
// Layer-backed views (NSView's setWantsLayer:, setLayer: and layer): a view
// with a layer shows the layer tree after its own drawing, as the layer tree
// is at the moment of drawing, and is redrawn at every frame of an animation
// running in the tree. The view keeps its root layer's frame on its bounds.
#include "AppKit/NSView.h"
#include "QuartzCore/CALayer.h"

namespace NSViewExt {

bool wantsLayer(const NSView* view);
// Without a layer of its own the view gets a plain layer framed on its bounds.
void setWantsLayer(const Ref<NSView>& view, bool flag);
Ref<CALayer> layer(const NSView* view);
// The layer becomes the view's root layer (nil removes it).
void setLayer(const Ref<NSView>& view, const Ref<CALayer>& layer);

}

// Called by the view's drawing after drawRect: renders the view's layer tree
// into the context's image when the view has a layer.
void NSViewDrawLayerIfBacked(const NSView& view, CGContext* port);
