// The process clock.
#include <chrono>

#include "Foundation/NSDate.h"

NSTimeInterval NSCurrentAbsoluteTime()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count() - NSTimeIntervalSince1970;
}
