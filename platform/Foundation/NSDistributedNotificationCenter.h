#pragma once
// The centre for notices from outside the program, such as a change of the
// keyboard input source; the backends post the system's notices here. It works
// in-process like any centre, except that objects are strings compared by
// equality.
#include "Foundation/NSNotificationCenter.h"

class NSDistributedNotificationCenter : public NSNotificationCenter {
    NS_OBJECT(NSDistributedNotificationCenter, NSNotificationCenter)
protected:
    NSDistributedNotificationCenter() { m_matchObjectsByEquality = true; }

public:
    // The process's distributed centre; never destroyed.
    static Ref<NSDistributedNotificationCenter> defaultCenter();
};
