#include "Foundation/NSNull.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSNull)

Ref<NSNull> NSNull::null()
{
    static NSNull* instance = alloc<NSNull>().leak();  // never destroyed
    return instance;
}

Ref<NSString> NSNull::description() const { return "<null>"_ns; }
