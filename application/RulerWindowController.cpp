#include "RulerWindowController.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(RulerWindowController)
