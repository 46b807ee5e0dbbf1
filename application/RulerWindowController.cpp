#include "RulerWindowController.h"

NS_CLASS_DEFINE(RulerWindowController)
