#include "Foundation/LSInfo.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSSet.h"
#include "Foundation/UTType.h"
#include "FoundationExtensions/ZAKNSStringExtension.h"

namespace NSStringExt {

Ref<NSString> universalTypeForFile(const Ref<NSString>& path)
{
    if (!path || path->length() == 0) return nullptr;
    return LSItemContentTypeForPath(path);
}

bool UTIConformsTo(const Ref<NSString>& string, const Ref<NSString>& type) { return UTTypeConformsTo(string, type); }

bool UTIConformsToUTIOf(const Ref<NSString>& string, const Id& types)
{
    std::vector<Id> candidates;
    if (auto array = dynamic_ref_cast<NSArray>(types)) candidates = array->objects();
    else if (auto set = dynamic_ref_cast<NSSet>(types)) candidates = set->allObjects()->objects();
    for (const Id& candidate : candidates)
        if (auto type = dynamic_ref_cast<NSString>(candidate); type && UTTypeConformsTo(string, type)) return true;
    return false;
}

}
