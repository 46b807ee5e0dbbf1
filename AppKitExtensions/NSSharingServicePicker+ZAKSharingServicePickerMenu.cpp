#include "AppKitExtensions/NSSharingServicePicker+ZAKSharingServicePickerMenu.h"

#include "AppKit/NSMenuItem.h"

namespace NSSharingServicePickerExt {

Ref<NSMenu> menuForSharingItems(const Ref<NSArray>& items, const Id& target, const SEL& selector,
                                const Id& serviceDelegate)
{
    auto services = NSSharingService::sharingServicesForItems(items);
    if (!services || services->count() == 0) return nullptr;
    auto menu = NSObject::alloc<NSMenu>()->initWithTitle("MountainLionSharingMenu"_ns);
    for (NSUInteger i = 0; i < services->count(); ++i) {
        auto service = static_ref_cast<NSSharingService>(services->objectAtIndex(i));
        auto item = NSObject::alloc<NSMenuItem>()->initWithTitle(service->title(), selector, ""_ns);
        item->setImage(service->image());
        item->setRepresentedObject(service);
        item->setTarget(target);
        service->setDelegate(serviceDelegate);
        menu->addItem(item);
    }
    return menu;
}

}  // namespace NSSharingServicePickerExt
