#pragma once
// NSView(ZAKSplitViewExtensions): the collapsible split view or pane that
// encloses a view, searched from its superview upwards.
#include "AppKit/NSView.h"

class ZAKSplitView;
class ZAKSplitSubview;

namespace NSViewExt {
Ref<ZAKSplitView> enclosingZAKSplitView(const NSView* view);
Ref<ZAKSplitSubview> enclosingZAKSplitSubview(const NSView* view);
}
