#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"

#include "Foundation/NSArchiver.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSUnarchiver.h"

namespace NSUserDefaultsExt {

void setColor(const Ref<NSUserDefaults>& defaults, const Ref<NSColor>& color, const Ref<NSString>& key)
{
    if (!defaults) return;
    defaults->setObject(color ? Id(NSArchiver::archivedDataWithRootObject(color)) : nullptr, key);
}

Ref<NSColor> colorForKey(const Ref<NSUserDefaults>& defaults, const Ref<NSString>& key)
{
    auto data = defaults ? defaults->dataForKey(key) : nullptr;
    if (!data) return nullptr;
    // Only a colour and the strings it names may be made from stored data.
    try {
        Id object = NSUnarchiver::unarchiveObjectWithData(data, {&NSColor::classRecord(), &NSString::classRecord()});
        auto color = dynamic_ref_cast<NSColor>(object);
        if (!color) NSLog("colorForKey: the data under %@ is not a colour", key);
        return color;
    } catch (const NSException& e) {
        NSLog("colorForKey: the data under %@ cannot be read: %@", key, e.reason());
        return nullptr;
    }
}

}
