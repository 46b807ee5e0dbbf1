#include "AppKit/NSSharingServicePicker.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSSharingServicePicker)

Ref<NSSharingServicePicker> NSSharingServicePicker::initWithItems(const Ref<NSArray>& items)
{
    auto picker = make<NSSharingServicePicker>();
    picker->m_items = items ? NSArray::arrayWithArray(items) : NSArray::array();
    return picker;
}
