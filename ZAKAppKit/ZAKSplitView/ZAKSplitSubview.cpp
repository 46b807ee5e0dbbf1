#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"

#include "AppKit/NSApplication.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKSplitView/NSView+ZAKSplitViewExtensions.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"

NS_CLASS_DEFINE(ZAKSplitSubview)

void ZAKSplitSubview::describeClass(NSClassMembers<ZAKSplitSubview>& m)
{
    m.action("toggleCollapse:", &ZAKSplitSubview::toggleCollapse);
    m.action("installToolbar", &ZAKSplitSubview::installToolbar);
    m.property("isCollapsible", &ZAKSplitSubview::isCollapsible, &ZAKSplitSubview::setIsCollapsible);
    m.property("resizesWithSplitView", &ZAKSplitSubview::resizesWithSplitView,
               &ZAKSplitSubview::setResizesWithSplitView);
    m.property("siblingResizeMode", &ZAKSplitSubview::siblingResizeMode, &ZAKSplitSubview::setSiblingResizeMode);
    m.property("minSize", &ZAKSplitSubview::minSize, &ZAKSplitSubview::setMinSize);
    m.property("maxSize", &ZAKSplitSubview::maxSize, &ZAKSplitSubview::setMaxSize);
    m.property("isCollapsed", &ZAKSplitSubview::isCollapsed, &ZAKSplitSubview::setIsCollapsed);
}

Ref<NSView> ZAKSplitSubview::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_resizesWithSplitView = true;
    m_isCollapsible = false;
    m_siblingResizeMode = 0;
    m_minSize = 0;
    m_maxSize = 0;
    return this;
}

ZAKSplitSubview::~ZAKSplitSubview()
{
    if (m_toolbar) m_toolbar->removeFromSuperview();
}

Ref<ZAKSplitView> ZAKSplitSubview::splitView() const { return NSViewExt::enclosingZAKSplitView(this); }

bool ZAKSplitSubview::isCollapsed() const
{
    auto sv = splitView();
    return sv && sv->isSubviewCollapsed(Ref<NSView>(const_cast<ZAKSplitSubview*>(this)));
}

void ZAKSplitSubview::setIsCollapsed(bool collapsed)
{
    auto sv = splitView();
    if (!sv) return;
    if (collapsed) sv->collapseSubview(this);
    else sv->expandSubview(this);
}

Ref<NSView> ZAKSplitSubview::splitSubviewToExpand() const
{
    auto sv = splitView();
    if (!sv || (m_siblingResizeMode != 0 && m_siblingResizeMode != 1)) return nullptr;
    const auto& views = sv->subviews();
    for (size_t k = 0; k < views.size(); ++k) {
        if (views[k].get() != this) continue;
        const NSInteger sibling = NSInteger(k) + (m_siblingResizeMode == 0 ? -1 : 1);
        if (sibling < 0 || size_t(sibling) >= views.size()) return nullptr;
        return views[size_t(sibling)];
    }
    return nullptr;
}

void ZAKSplitSubview::toggleCollapse(const Id&)
{
    if (!m_isCollapsible) return NSBeep();
    setIsCollapsed(!isCollapsed());
}

void ZAKSplitSubview::installToolbar()
{
    auto bar = NSObject::make<ZAKSplitViewToolbar>();
    const double height = bar->height();
    if (!subviews().empty()) {
        const Ref<NSView> last = subviews().back();
        NSRect f = last->frame();
        f.size.height -= height;
        f.origin.y += height;
        last->setFrame(f);
    }
    setToolbar(bar);
    bar->setFrame(NSMakeRect(0, 0, frame().size.width, height));
    addSubview(bar);
}

Ref<ZAKSplitViewToolbar> ZAKSplitSubview::toolbar() const { return m_toolbar; }

void ZAKSplitSubview::setToolbar(const Ref<ZAKSplitViewToolbar>& toolbar) { m_toolbar = toolbar; }

void ZAKSplitSubview::encodeWithCoder(NSCoder* coder) const { encodeViewKeys(coder); }

Id ZAKSplitSubview::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    m_resizesWithSplitView = false;
    m_isCollapsible = false;
    m_siblingResizeMode = 0;
    m_minSize = 0;
    m_maxSize = 0;
    return this;
}
