// No formatter of the framework raises or crashes on values a table column
// may hold: non-finite and huge numbers, negatives, nil and objects of
// another class.
#include <cmath>
#include <functional>
#include <limits>

#include "../ValueFixture.h"
#include "FormatKit/FMTArrayFormatter.h"
#include "FormatKit/FMTHTTPURLResponseFormatter.h"
#include "FormatKit/FMTLocationFormatter.h"
#include "FormatKit/FMTOrdinalNumberFormatter.h"
#include "FormatKit/FMTTimeIntervalFormatter.h"
#include "FormatKit/FMTURLRequestFormatter.h"
#include "FormatKit/FMTUnitOfInformationFormatter.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKAppMeasurementNumberFormatter.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberContainer.h"
#include "ZAKAppKit/ZAKNumberValues/ZAKNumberValueFormatter.h"

namespace {

using EveryFormatter = ValueTest;

TEST_F(EveryFormatter, ShowsAnyValueWithoutRaising)
{
    const double inf = std::numeric_limits<double>::infinity();
    const Id values[] = {
        NSNumber::numberWithDouble(std::nan("")),
        NSNumber::numberWithDouble(inf),
        NSNumber::numberWithDouble(-inf),
        NSNumber::numberWithDouble(1e300),
        NSNumber::numberWithDouble(-1e300),
        NSNumber::numberWithFloat(std::numeric_limits<float>::infinity()),
        NSNumber::numberWithInteger(-42),
        NSNumber::numberWithInteger(std::numeric_limits<NSInteger>::min()),
        NSNumber::numberWithUnsignedInteger(std::numeric_limits<NSUInteger>::max()),
        NSNumber::numberWithDouble(-0.5),
        nullptr,
        "text"_ns,
        "1e300"_ns,
        NSArray::arrayWithObjects({"a"_ns, NSNumber::numberWithInt(1)}),
        NSDictionary::dictionary(),
        NSDate::dateWithTimeIntervalSince1970(0),
        ZAKNumberContainer::numberContainerWithNumber(NSNumber::numberWithDouble(std::nan("")), "x"_ns),
    };
    const std::pair<const char*, std::function<Ref<NSFormatter>()>> formatters[] = {
        {"NSNumberFormatter", [] { return NSObject::make<NSNumberFormatter>(); }},
        {"FMTUnitOfInformationFormatter", [] { return NSObject::make<FMTUnitOfInformationFormatter>(); }},
        {"FMTLocationFormatter", [] { return NSObject::make<FMTLocationFormatter>(); }},
        {"FMTOrdinalNumberFormatter", [] { return NSObject::make<FMTOrdinalNumberFormatter>(); }},
        {"FMTArrayFormatter", [] { return NSObject::make<FMTArrayFormatter>(); }},
        {"FMTURLRequestFormatter", [] { return NSObject::make<FMTURLRequestFormatter>(); }},
        {"FMTHTTPURLResponseFormatter", [] { return NSObject::make<FMTHTTPURLResponseFormatter>(); }},
        {"FMTTimeIntervalFormatter", [] { return NSObject::make<FMTTimeIntervalFormatter>(); }},
        {"ZAKNumberValueFormatter", [] { return NSObject::make<ZAKNumberValueFormatter>(); }},
        {"ZAKMeasurementNumberFormatter", [] { return NSObject::make<ZAKMeasurementNumberFormatter>(); }},
        {"ZAKAppMeasurementNumberFormatter", [] { return NSObject::make<ZAKAppMeasurementNumberFormatter>(); }},
    };
    for (const auto& [name, make] : formatters) {
        const Ref<NSFormatter> formatter = make();
        for (size_t i = 0; i < std::size(values); ++i)
            EXPECT_NO_THROW(formatter->stringForObjectValue(values[i])) << name << " value " << i;
    }
}

}  // namespace
