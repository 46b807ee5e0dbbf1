#pragma once
// Associated objects: values attached to any object under a key (an
// address), as the runtime's objc_setAssociatedObject offers. A retained or
// copied value lives until it is replaced, removed or its object dies; an
// assigned one is held weakly. Any thread may use them; one lock guards the
// table, so a reader sees a value whole.
#include "Foundation/NSObject.h"

enum objc_AssociationPolicy : uintptr_t {
    OBJC_ASSOCIATION_ASSIGN = 0,
    OBJC_ASSOCIATION_RETAIN_NONATOMIC = 1,
    OBJC_ASSOCIATION_COPY_NONATOMIC = 3,
    OBJC_ASSOCIATION_RETAIN = 01401,
    OBJC_ASSOCIATION_COPY = 01403,
};

// A nil value removes the association.
void objc_setAssociatedObject(const Id& object, const void* key, const Id& value, objc_AssociationPolicy policy);
Id objc_getAssociatedObject(const Id& object, const void* key);
void objc_removeAssociatedObjects(const Id& object);

namespace NSObjectAssociation {
// The object is being destroyed: its values go (called by the object model).
void objectDying(NSObject* object);
}
