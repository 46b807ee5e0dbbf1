#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKContextMenuButton)
