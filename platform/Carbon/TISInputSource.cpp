#include "Carbon/TISInputSource.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(TISInputSource)

Ref<TISInputSource> TISInputSource::sourceWithLayout(const Ref<KeyboardLayout>& layout)
{
    if (!layout) return nullptr;
    auto source = alloc<TISInputSource>();
    source->m_layout = layout;
    return source;
}

Id TISInputSource::property(std::string_view key) const
{
    if (key == kTISPropertyUnicodeKeyLayoutData) return m_layout->layoutData();
    if (key == kTISPropertyInputSourceID) return m_layout->identifier();
    if (key == kTISPropertyLocalizedName) return m_layout->localizedName();
    return nullptr;
}

TISInputSourceRef TISCopyCurrentKeyboardInputSource()
{
    return TISInputSource::sourceWithLayout(KeyboardLayout::current());
}

TISInputSourceRef TISCopyCurrentASCIICapableKeyboardLayoutInputSource()
{
    auto layout = KeyboardLayout::current();
    return TISInputSource::sourceWithLayout(layout->isASCIICapable() ? layout : KeyboardLayout::named("US"));
}

Id TISGetInputSourceProperty(const TISInputSourceRef& source, std::string_view propertyKey)
{
    return source ? source->property(propertyKey) : nullptr;
}
