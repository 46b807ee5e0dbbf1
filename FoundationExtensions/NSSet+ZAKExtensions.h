#pragma once
// NSSet(ZAKExtensions): members by class.
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSSet.h"

namespace NSSetExt {

// Whether any member is kind of the class.
bool hasMembersOfClass(const Ref<NSSet>& set, const NSClass& cls);
// A new array of the members that are kind of the class, in the order of allObjects.
Ref<NSMutableArray> membersOfClass(const Ref<NSSet>& set, const NSClass& cls);

}
