#include "AppKit/NSPanel.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSPanel)
