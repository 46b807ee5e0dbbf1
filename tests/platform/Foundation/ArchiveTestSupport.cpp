#include "ArchiveTestSupport.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ArchiveTestIntruder)
