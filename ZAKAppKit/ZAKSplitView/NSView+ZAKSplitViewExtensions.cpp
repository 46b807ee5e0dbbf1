#include "ZAKAppKit/ZAKSplitView/NSView+ZAKSplitViewExtensions.h"

#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"

namespace {

template <class T> Ref<T> enclosing(const NSView* view)
{
    for (auto v = view ? view->superview() : nullptr; v; v = v->superview())
        if (auto found = dynamic_ref_cast<T>(v)) return found;
    return nullptr;
}

}

Ref<ZAKSplitView> NSViewExt::enclosingZAKSplitView(const NSView* view) { return enclosing<ZAKSplitView>(view); }

Ref<ZAKSplitSubview> NSViewExt::enclosingZAKSplitSubview(const NSView* view)
{
    return enclosing<ZAKSplitSubview>(view);
}
