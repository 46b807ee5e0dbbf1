#include "RegexLite/RegexLite.h"
#include "RegexTestSupport.h"

using namespace NSStringExt;

TEST(RegexSmoke, RangeOfDigits)
{
    NSRange r = rangeOfRegex(ns("ab123c"), ns("[0-9]+"));
    EXPECT_EQ(r, NSMakeRange(2, 3));
}
