#include "Foundation/NSStream.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSStream)
