#pragma once
// NSSharingServicePicker(ZAKSharingServicePickerMenu): the sharing services
// for some items as a menu, one item per service.
#include "AppKit/NSMenu.h"
#include "AppKit/NSSharingServicePicker.h"

namespace NSSharingServicePickerExt {

// A menu titled "MountainLionSharingMenu" with an item per service, in the
// platform's order: the service's title and image, the action, no key
// equivalent, the service as represented object and the target. The delegate
// becomes every service's delegate. nil when no service takes the items.
Ref<NSMenu> menuForSharingItems(const Ref<NSArray>& items, const Id& target, const SEL& selector,
                                const Id& serviceDelegate);

}
