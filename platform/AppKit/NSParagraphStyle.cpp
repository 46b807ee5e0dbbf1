#include "AppKit/NSParagraphStyle.h"

#include <algorithm>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSParagraphStyle)
NS_CLASS_DEFINE(NSMutableParagraphStyle)

// Adopts mutable copying, so it answers "mutableCopy" by name. At load time.
[[maybe_unused]] static const bool g_mutableCopying = [] {
    NSParagraphStyle::classRecord().addCategoryAction(
        "mutableCopy", 0, [](NSObject* self, const Id&, const Id&) -> Id { return self->mutableCopy(); });
    return true;
}();

namespace {
Ref<NSArray> defaultTabs()
{
    std::vector<Id> tabs;
    for (int i = 1; i <= 12; ++i) tabs.push_back(NSTextTab::initWithType(NSLeftTabStopType, 28.0 * i));
    return NSArray::arrayWithVector(std::move(tabs));
}
}

Ref<NSParagraphStyle> NSParagraphStyle::defaultParagraphStyle()
{
    static const Ref<NSParagraphStyle> style = [] {
        auto s = alloc<NSParagraphStyle>();
        s->m_tabStops = defaultTabs();
        return s;
    }();
    return style;
}

void NSParagraphStyle::copyFrom(const NSParagraphStyle& o)
{
    m_alignment = o.m_alignment;
    m_lineBreakMode = o.m_lineBreakMode;
    m_lineSpacing = o.m_lineSpacing;
    m_paragraphSpacing = o.m_paragraphSpacing;
    m_paragraphSpacingBefore = o.m_paragraphSpacingBefore;
    m_headIndent = o.m_headIndent;
    m_firstLineHeadIndent = o.m_firstLineHeadIndent;
    m_tailIndent = o.m_tailIndent;
    m_minimumLineHeight = o.m_minimumLineHeight;
    m_maximumLineHeight = o.m_maximumLineHeight;
    m_defaultTabInterval = o.m_defaultTabInterval;
    m_tabStops = o.m_tabStops ? o.m_tabStops : defaultTabs();
}

bool NSParagraphStyle::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSParagraphStyle*>(other);
    if (!o) return false;
    if (o == this) return true;
    return m_alignment == o->m_alignment && m_lineBreakMode == o->m_lineBreakMode &&
           m_lineSpacing == o->m_lineSpacing && m_paragraphSpacing == o->m_paragraphSpacing &&
           m_paragraphSpacingBefore == o->m_paragraphSpacingBefore && m_headIndent == o->m_headIndent &&
           m_firstLineHeadIndent == o->m_firstLineHeadIndent && m_tailIndent == o->m_tailIndent &&
           m_minimumLineHeight == o->m_minimumLineHeight && m_maximumLineHeight == o->m_maximumLineHeight &&
           m_defaultTabInterval == o->m_defaultTabInterval && tabStops()->isEqual(o->tabStops().get());
}

Id NSParagraphStyle::copy() const
{
    auto s = alloc<NSParagraphStyle>();
    s->copyFrom(*this);
    return s;
}

Id NSParagraphStyle::mutableCopy() const
{
    auto s = alloc<NSMutableParagraphStyle>();
    s->copyFrom(*this);
    return s;
}

Ref<NSMutableParagraphStyle> NSMutableParagraphStyle::paragraphStyle()
{
    auto s = alloc<NSMutableParagraphStyle>();
    s->copyFrom(*defaultParagraphStyle());
    return s;
}

void NSMutableParagraphStyle::addTabStop(const Ref<NSTextTab>& tab)
{
    if (!tab) return;
    std::vector<Id> tabs = m_tabStops->snapshot();
    tabs.push_back(tab);
    std::stable_sort(tabs.begin(), tabs.end(), [](const Id& a, const Id& b) {
        return static_ref_cast<NSTextTab>(a)->location() < static_ref_cast<NSTextTab>(b)->location();
    });
    m_tabStops = NSArray::arrayWithVector(std::move(tabs));
}

void NSMutableParagraphStyle::removeTabStop(const Ref<NSTextTab>& tab)
{
    std::vector<Id> tabs = m_tabStops->snapshot();
    std::erase_if(tabs, [&](const Id& t) { return t->isEqual(tab.get()); });
    m_tabStops = NSArray::arrayWithVector(std::move(tabs));
}

void NSMutableParagraphStyle::setParagraphStyle(const Ref<NSParagraphStyle>& other)
{
    if (other) copyFrom(*other);
}
