#include "AppKit/NSTextContainer.h"

#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTextContainer)

Ref<NSTextContainer> NSTextContainer::initWithContainerSize(NSSize size)
{
    auto c = alloc<NSTextContainer>();
    c->m_size = size;
    return c;
}

Id NSTextContainer::init() { return Ref<NSTextContainer>(this); }

void NSTextContainer::setContainerSize(NSSize size)
{
    if (size == m_size) return;
    m_size = size;
    if (auto manager = layoutManager()) manager->textContainerChangedGeometry(Ref<NSTextContainer>(this));
}

void NSTextContainer::setLineFragmentPadding(CGFloat padding)
{
    if (padding == m_padding) return;
    m_padding = padding;
    if (auto manager = layoutManager()) manager->textContainerChangedGeometry(Ref<NSTextContainer>(this));
}

Ref<NSLayoutManager> NSTextContainer::layoutManager() const { return m_layoutManager.get(); }
void NSTextContainer::setLayoutManager(const Ref<NSLayoutManager>& manager) { m_layoutManager = manager; }
Ref<NSTextView> NSTextContainer::textView() const { return m_textView.get(); }
void NSTextContainer::setTextView(const Ref<NSTextView>& view) { m_textView = view; }
