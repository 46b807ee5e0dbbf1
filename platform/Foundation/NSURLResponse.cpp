#include "Foundation/NSURLResponse.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSURLResponse)
