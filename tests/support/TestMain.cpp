#include <gtest/gtest.h>
#include <unicode/uclean.h>

#include "Foundation/BreakIteratorCache.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    // Release ICU's caches so LeakSanitizer reports only our own leaks.
    BreakIteratorCache::forCurrentThread().releaseAll();
    u_cleanup();
    return result;
}
