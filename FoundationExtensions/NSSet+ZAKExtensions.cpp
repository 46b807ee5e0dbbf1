#include "FoundationExtensions/NSSet+ZAKExtensions.h"

namespace NSSetExt {

bool hasMembersOfClass(const Ref<NSSet>& set, const NSClass& cls)
{
    for (const Id& member : set->snapshot())
        if (member->isKindOfClass(cls)) return true;
    return false;
}

Ref<NSMutableArray> membersOfClass(const Ref<NSSet>& set, const NSClass& cls)
{
    auto members = NSMutableArray::array();
    for (const Id& member : set->snapshot())
        if (member->isKindOfClass(cls)) members->addObject(member);
    return members;
}

}
