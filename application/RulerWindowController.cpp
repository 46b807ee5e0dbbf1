#include "Foundation/NSClass.h"
#include "RulerWindowController.h"

NS_CLASS_DEFINE(RulerWindowController)
