#include "AppKit/NSViewLayer.h"

#include <algorithm>
#include <vector>

#include "CoreGraphics/CGCairoContext.h"
#include "QuartzCore/CARenderer.h"

namespace {

struct Backing {
    Weak<NSView> view;
    const NSView* key;
    bool wantsLayer = false;
    Ref<CALayer> layer;
};

// The layers of the views that have one; views and layers live on the main
// thread. Entries of views that are gone are dropped on the next change.
std::vector<Backing>& backings()
{
    static auto* list = new std::vector<Backing>;  // kept until exit
    return *list;
}

Backing* find(const NSView* view)
{
    auto& all = backings();
    auto it = std::find_if(all.begin(), all.end(), [&](const Backing& b) { return b.key == view && b.view.get(); });
    return it == all.end() ? nullptr : &*it;
}

Backing& entry(const Ref<NSView>& view)
{
    std::erase_if(backings(), [](const Backing& b) { return !b.view.get(); });
    if (auto* b = find(view.get())) return *b;
    backings().push_back({view, view.get(), false, nullptr});
    return backings().back();
}

CATransform3D fromAffine(const CGAffineTransform& t)
{
    CATransform3D m;
    m.m11 = t.a;
    m.m12 = t.b;
    m.m21 = t.c;
    m.m22 = t.d;
    m.m41 = t.tx;
    m.m42 = t.ty;
    return m;
}

}

namespace NSViewExt {

bool wantsLayer(const NSView* view)
{
    auto* b = find(view);
    return b && (b->wantsLayer || b->layer);
}

void setWantsLayer(const Ref<NSView>& view, bool flag)
{
    if (!view) return;
    auto& b = entry(view);
    b.wantsLayer = flag;
    if (flag && !b.layer) {
        setLayer(view, CALayer::layer());
    }
    view->setNeedsDisplay(true);
}

Ref<CALayer> layer(const NSView* view)
{
    auto* b = find(view);
    return b ? b->layer : nullptr;
}

void setLayer(const Ref<NSView>& view, const Ref<CALayer>& layer)
{
    if (!view) return;
    auto& b = entry(view);
    if (b.layer) b.layer->setHostRedrawHandler(nullptr);
    b.layer = layer;
    // The view keeps the geometry of its layer: the layer covers the bounds.
    if (layer) layer->setFrame(view->bounds());
    if (layer) {
        Weak<NSView> host(view);
        layer->setHostRedrawHandler([host] {
            if (auto v = host.get()) v->setNeedsDisplay(true);
        });
    }
    view->setNeedsDisplay(true);
}

}

void NSViewDrawLayerIfBacked(const NSView& view, CGContext* port)
{
    if (backings().empty() || !port) return;
    auto root = NSViewExt::layer(&view);
    auto* cairoPort = dynamic_cast<CGCairoContext*>(port);
    if (!root || !cairoPort) return;
    if (!NSEqualRects(root->frame(), view.bounds())) root->setFrame(view.bounds());
    const CGAffineTransform ctm = port->getCTM();
    const CGRect clip = CGRectApplyAffineTransform(view.bounds(), ctm);
    CARenderer::render(root, cairoPort->image(), fromAffine(ctm), CACurrentMediaTime(), clip);
}
