#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineView.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKOutlineView)
