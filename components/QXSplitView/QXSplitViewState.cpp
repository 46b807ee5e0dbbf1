// Saved layouts: one short string per split view in the user defaults, under
// "QXSplitView <H|V> <autosave name>" — the number of subviews (hidden ones
// included), then per subview its dimension plus fraction, negative when
// collapsed, with "H" when hidden. Nested split views are saved under their
// parent's name followed by "[<index>]".
#include <cmath>

#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "QXSplitView/QXSplitAxis.h"
#include "QXSplitView/QXSplitView.h"

using namespace QXSplitAxis;

namespace {

// Stored strings are user data: a value that is not a finite number counts
// as 0 (the pane collapses), and sizes stay within the largest dimension.
double layoutValue(const Ref<NSString>& part)
{
    const double v = part->doubleValue();
    if (!std::isfinite(v)) return 0;
    return std::max(-QXSplitSubviewDefaultMaxDimension, std::min(v, QXSplitSubviewDefaultMaxDimension));
}

std::vector<Ref<QXSplitView>> nestedSplitViews(const QXSplitView& view)
{
    std::vector<Ref<QXSplitView>> nested;
    for (const auto& sub : view.subviews())
        if (auto sv = dynamic_ref_cast<QXSplitView>(sub)) nested.push_back(sv);
    return nested;
}

}

Ref<NSString> QXSplitView::defaultsKeyForName(const Ref<NSString>& name, bool isHorizontal)
{
    return NSString::stringWithFormat("QXSplitView %@ %@", isHorizontal ? "H"_ns : "V"_ns, name ? name : ""_ns);
}

void QXSplitView::removeStateUsingName(const Ref<NSString>& name)
{
    if (!name || name->length() == 0) return;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->removeObjectForKey(defaultsKeyForName(name, true));
    defaults->removeObjectForKey(defaultsKeyForName(name, false));
}

void QXSplitView::setAutosaveName(const Ref<NSString>& name, bool recursively)
{
    Ref<NSString> newName = name ? static_ref_cast<NSString>(name->copy()) : ""_ns;
    // The same name again keeps what is saved under it.
    if (m_autosaveName && m_autosaveName->isEqual(newName.get())) return;
    removeStateUsingName(m_autosaveName);
    m_autosaveName = newName;
    if (!recursively) return;
    const auto& all = subviews();
    for (size_t i = 0; i < all.size(); ++i) {
        auto nested = dynamic_ref_cast<QXSplitView>(all[i]);
        if (!nested) continue;
        nested->setAutosaveName(
            newName->length() ? NSString::stringWithFormat("%@[%ld]", newName, NSInteger(i)) : ""_ns, true);
    }
}

Ref<NSString> QXSplitView::stringWithSavedState() const
{
    const auto& all = subviews();
    auto state = NSMutableString::stringWithString(NSString::stringWithFormat("%ld", NSInteger(all.size())));
    for (const auto& view : all) {
        auto pane = dynamic_ref_cast<QXSplitSubview>(view);
        const double value = !pane                 ? 0
                             : pane->isCollapsed() ? -pane->dimension()
                                                   : pane->dimension() + pane->QX___fraction();
        state->appendString(NSString::stringWithFormat(view->isHidden() ? " %gH" : " %g", value));
    }
    return state;
}

bool QXSplitView::setStateFromString(const Ref<NSString>& string)
{
    if (!string || string->length() == 0) return false;
    auto parts = string->componentsSeparatedByString(" "_ns);
    const auto& all = subviews();
    const NSUInteger n = all.size();
    if (parts->count() < 2 || parts->count() != n + 1) return false;
    if (static_ref_cast<NSString>(parts->objectAtIndex(0))->integerValue() != NSInteger(n)) return false;
    const bool horizontal = isHorizontal();
    const auto panes = all;
    for (NSUInteger i = 0; i < n; ++i) {
        auto pane = dynamic_ref_cast<QXSplitSubview>(panes[i]);
        if (!pane) continue;
        auto part = static_ref_cast<NSString>(parts->objectAtIndex(i + 1));
        const double v = layoutValue(part);
        const double a = std::fabs(v);
        NSRect f = frame();
        setAlong(f.size, horizontal, std::floor(a));
        pane->QX___setFrame(f, a - std::floor(a), false);
        if (v <= 0) pane->QX___collapse();
        pane->QX___setHidden(part->hasSuffix("H"_ns));
    }
    setMustAdjust();
    return true;
}

bool QXSplitView::saveState(bool recursively)
{
    if (!m_canSaveState || m_isDragging || !m_autosaveName || m_autosaveName->length() == 0) return false;
    NSUserDefaults::standardUserDefaults()->setObject(stringWithSavedState(),
                                                      defaultsKeyForName(m_autosaveName, isHorizontal()));
    if (recursively)
        for (auto& nested : nestedSplitViews(*this)) nested->saveState(true);
    return true;
}

bool QXSplitView::restoreState(bool recursively)
{
    bool applied = false;
    if (m_autosaveName && m_autosaveName->length()) {
        auto stored =
            NSUserDefaults::standardUserDefaults()->stringForKey(defaultsKeyForName(m_autosaveName, isHorizontal()));
        applied = setStateFromString(stored);
    }
    m_canSaveState = true;
    if (recursively) {
        for (auto& nested : nestedSplitViews(*this)) {
            // Nested layouts are restored only with their parent's; without
            // it they keep their current layout, which they may then save.
            if (applied) nested->restoreState(true);
            else nested->allowSavingState();
        }
    }
    return applied;
}

void QXSplitView::allowSavingState()
{
    m_canSaveState = true;
    for (auto& nested : nestedSplitViews(*this)) nested->allowSavingState();
}

Ref<NSArray> QXSplitView::arrayWithStates() const
{
    std::vector<Id> states{stringWithSavedState()};
    for (const auto& view : subviews()) {
        auto nested = dynamic_ref_cast<QXSplitView>(view);
        states.push_back(nested ? Id(nested->arrayWithStates()) : Id(NSNull::null()));
    }
    return NSArray::arrayWithVector(std::move(states));
}

bool QXSplitView::setStatesFromArray(const Ref<NSArray>& array)
{
    const auto& all = subviews();
    if (!array || array->count() != all.size() + 1) return false;
    if (!setStateFromString(dynamic_ref_cast<NSString>(array->objectAtIndex(0)))) return false;
    const auto panes = all;
    for (size_t i = 0; i < panes.size(); ++i) {
        auto element = dynamic_ref_cast<NSArray>(array->objectAtIndex(i + 1));
        auto nested = dynamic_ref_cast<QXSplitView>(panes[i]);
        if (bool(element) != bool(nested)) return false;
        if (nested && !nested->setStatesFromArray(element)) return false;
    }
    return true;
}
