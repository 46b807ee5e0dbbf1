#include "ScreenWindow.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ScreenWindow)
