#include "Foundation/NSLock.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSLock)
