#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKTheme)
