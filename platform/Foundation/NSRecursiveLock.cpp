#include "Foundation/NSRecursiveLock.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSRecursiveLock)
