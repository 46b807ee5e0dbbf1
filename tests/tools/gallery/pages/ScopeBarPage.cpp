// The scope bar: a wide bar with labelled groups and separators, and a
// narrower one where the last group is collapsed into a pop-up and objects
// moved into the overflow menu.
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "KRScopeBar/KRScopeBar.h"

namespace {

// Serves the groups' titles and keeps the bars' data alive with the page.
class ScopeBarPageView : public NSView, public KRScopeBarDataSource {
    NS_OBJECT(ScopeBarPageView, NSView)
public:
    ScopeBarPageView() = default;
    std::vector<std::vector<Ref<NSString>>> titles = {
        {"All"_ns, "Images"_ns, "Documents"_ns, "Music"_ns},
        {"This Computer"_ns, "Home"_ns, "Shared"_ns},
        {"Any Size"_ns, "Small"_ns, "Large"_ns},
    };
    NSUInteger scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar*, NSUInteger g) override { return titles[g].size(); }
    Id scopeBarValueForObjectInGroupAtIndex(KRScopeBar*, NSUInteger g, NSUInteger i) override { return titles[g][i]; }
    void drawRect(const NSRect& r) override
    {
        NSColor::colorWithCalibratedWhite(0.97, 1)->set();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(ScopeBarPageView)

Ref<KRScopeBar> makeBar(const Ref<ScopeBarPageView>& page, NSRect frame)
{
    auto bar = static_ref_cast<KRScopeBar>(NSObject::alloc<KRScopeBar>()->initWithFrame(frame));
    bar->setDataSource(page);
    const char* labels[] = {"Kind:", "Where:", "Size:"};
    for (int i = 0; i < 3; ++i) {
        auto g = bar->addGroup();
        g->setIdentifier(NSString::stringWithUTF8String(labels[i]));
        g->setLabel(NSString::stringWithUTF8String(labels[i]));
        if (i == 0) g->setGroupSelectionStyle(KRScopeBarGroup::MultipleSelection);
    }
    bar->reloadData();
    if (auto kind = bar->groupAtIndex(0)) {
        auto both = NSMutableIndexSet::indexSet();
        both->addIndex(1);
        both->addIndex(2);
        kind->setSelectionIndexes(both);
    }
    page->addSubview(bar);
    return bar;
}

Ref<NSView> makeScopeBarPage(NSRect bounds)
{
    auto page = static_ref_cast<ScopeBarPageView>(NSObject::alloc<ScopeBarPageView>()->initWithFrame(bounds));
    makeBar(page, NSMakeRect(0, bounds.size.height - 40, bounds.size.width, 25));
    makeBar(page, NSMakeRect(0, bounds.size.height - 90, 330, 25));
    return page;
}

}  // namespace

GALLERY_PAGE(scopeBar, {"scope-bar", "Scope bar", {760, 110}, makeScopeBarPage});
