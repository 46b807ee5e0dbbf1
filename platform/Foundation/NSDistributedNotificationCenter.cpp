#include "Foundation/NSDistributedNotificationCenter.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSDistributedNotificationCenter)

Ref<NSDistributedNotificationCenter> NSDistributedNotificationCenter::defaultCenter()
{
    // Kept for the whole process: objects remove themselves during exit.
    static NSDistributedNotificationCenter* center = make<NSDistributedNotificationCenter>().leak();
    return center;
}
