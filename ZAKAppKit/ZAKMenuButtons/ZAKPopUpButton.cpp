#include "ZAKAppKit/ZAKMenuButtons/ZAKPopUpButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKPopUpButton)
