// Relative times: "just now" inside the margin, the largest calendar units
// with a past or future expression, short unit names, the approximate
// qualifier when units were left out, and the idioms of English, Spanish and
// Dutch.
#include "FormatKit/FMTTimeIntervalFormatter.h"
#include "FormatKitFixture.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"

namespace {

// 2024-03-20 12:00:00 UTC.
Ref<NSDate> noon() { return NSDate::dateWithTimeIntervalSince1970(1710936000); }

Ref<NSDate> noonPlus(double seconds) { return NSDate::dateWithTimeIntervalSince1970(1710936000 + seconds); }

constexpr double kHour = 3600, kDay = 86400;

}  // namespace

TEST_F(FormatKitTest, TimeIntervalsInUnitsWithPastOrFuture)
{
    struct Case {
        const char* name;
        const char* locale;
        std::function<void(FMTTimeIntervalFormatter&)> setup;
        Ref<NSDate> to;
        const char* expected;
    };
    auto none = [](FMTTimeIntervalFormatter&) {};
    auto idioms = [](FMTTimeIntervalFormatter& f) { f.setUsesIdiomaticDeicticExpressions(true); };
    const Case cases[] = {
        {"half a second", "en_US", none, noonPlus(-0.5), "just now"},
        {"one second past", "en_US", none, noonPlus(-1), "1 second ago"},
        {"one second ahead", "en_US", none, noonPlus(1), "1 second from now"},
        {"an hour past", "en_US", none, noonPlus(-kHour), "1 hour ago"},
        {"two hours ahead", "en_US", none, noonPlus(2 * kHour), "2 hours from now"},
        {"ninety minutes, two units", "en_US", [](FMTTimeIntervalFormatter& f) { f.setNumberOfSignificantUnits(2); },
         noonPlus(-1.5 * kHour), "1 hour 30 minutes ago"},
        {"ninety minutes, one unit", "en_US", none, noonPlus(-1.5 * kHour), "1 hour ago"},
        {"ninety minutes, approximate", "en_US",
         [](FMTTimeIntervalFormatter& f) { f.setUsesApproximateQualifier(true); }, noonPlus(-1.5 * kHour),
         "about 1 hour ago"},
        {"whole hour, approximate", "en_US",
         [](FMTTimeIntervalFormatter& f) { f.setUsesApproximateQualifier(true); }, noonPlus(-kHour), "1 hour ago"},
        {"abbreviated seconds", "en_US", [](FMTTimeIntervalFormatter& f) { f.setUsesAbbreviatedCalendarUnits(true); },
         noonPlus(-45), "45 s ago"},
        {"abbreviated hours", "en_US", [](FMTTimeIntervalFormatter& f) { f.setUsesAbbreviatedCalendarUnits(true); },
         noonPlus(-2 * kHour), "2 hrs ago"},
        // Weeks come only first: after a month they are skipped, without "about".
        {"weeks left out", "en_US", [](FMTTimeIntervalFormatter& f) { f.setNumberOfSignificantUnits(0); },
         NSDate::dateWithTimeIntervalSince1970(1706961600), "1 month 3 days ago"},
        {"weeks first", "en_US", none, noonPlus(-15 * kDay), "2 weeks ago"},
        {"yesterday", "en_US", idioms, noonPlus(-kDay), "yesterday"},
        {"yesterday and three hours", "en_US", idioms, noonPlus(-kDay - 3 * kHour), "yesterday"},
        {"tomorrow", "en_US", idioms, noonPlus(kDay), "tomorrow"},
        {"last year", "en_US", idioms, noonPlus(-400 * kDay), "last year"},
        {"no idiom for three days", "en_US", idioms, noonPlus(-3 * kDay), "3 days ago"},
        {"overmorgen", "nl_NL", idioms, noonPlus(2 * kDay), "overmorgen"},
        {"eergisteren", "nl_NL", idioms, noonPlus(-2 * kDay), "eergisteren"},
        {"ayer", "es_ES", idioms, noonPlus(-kDay), "ayer"},
        {"no English idioms in German", "de_DE", idioms, noonPlus(-kDay), "1 day ago"},
        {"Spanish puts the past expression first", "es_ES",
         [](FMTTimeIntervalFormatter& f) { f.setPastDeicticExpression("hace"_ns); }, noonPlus(-kHour), "hace 1 hour"},
        {"no past expression", "en_US", [](FMTTimeIntervalFormatter& f) { f.setPastDeicticExpression(""_ns); },
         noonPlus(-kHour), "1 hour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useLocale(c.locale);
        auto f = NSObject::make<FMTTimeIntervalFormatter>();
        c.setup(*f);
        EXPECT_EQ(utf8(f->stringForTimeIntervalFromDate(noon(), c.to)), c.expected);
    }
}

TEST_F(FormatKitTest, TimeIntervalsFromNowAndWithoutUnits)
{
    auto f = NSObject::make<FMTTimeIntervalFormatter>();
    EXPECT_EQ(utf8(f->stringForTimeInterval(-3600)), "1 hour ago");
    EXPECT_EQ(utf8(f->stringForTimeInterval(7200)), "2 hours from now");
    EXPECT_EQ(utf8(f->stringForObjectValue(NSNumber::numberWithInteger(-60))), "1 minute ago");
    EXPECT_EQ(utf8(f->stringForObjectValue("60"_ns)), "<nil>");
    f->setPresentTimeIntervalMargin(0);
    EXPECT_EQ(utf8(f->stringForTimeIntervalFromDate(noon(), noon())), "<nil>");
    EXPECT_EQ(utf8(f->localizedStringForNumber(1, NSWeekCalendarUnit)), "week");
    EXPECT_EQ(utf8(f->localizedStringForNumber(3, NSWeekCalendarUnit)), "weeks");
    EXPECT_EQ(utf8(f->localizedStringForNumber(3, 2)), "<nil>");
}

TEST_F(FormatKitTest, TimeIntervalFormatterDecodesWithACalendar)
{
    auto f = NSObject::make<FMTTimeIntervalFormatter>();
    f->setLocale(NSLocale::localeWithLocaleIdentifier("nl_NL"_ns));
    f->setFutureDeicticExpression("later"_ns);
    f->setPresentTimeIntervalMargin(30);
    f->setUsesIdiomaticDeicticExpressions(true);
    f->setNumberOfSignificantUnits(3);
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&FMTTimeIntervalFormatter::staticClass());
    auto decoded = dynamic_ref_cast<FMTTimeIntervalFormatter>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(f), allowed));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(utf8(decoded->locale()->localeIdentifier()), "nl_NL");
    EXPECT_EQ(decoded->presentTimeIntervalMargin(), 30);
    EXPECT_TRUE(decoded->usesIdiomaticDeicticExpressions());
    // What the archive leaves out takes a new formatter's defaults.
    EXPECT_TRUE(decoded->calendar());
    EXPECT_EQ(decoded->numberOfSignificantUnits(), 1u);
    EXPECT_EQ(decoded->leastSignificantUnit(), NSSecondCalendarUnit);
    EXPECT_EQ(utf8(decoded->stringForTimeIntervalFromDate(noon(), noonPlus(2 * kDay))), "overmorgen");
    EXPECT_EQ(utf8(decoded->stringForTimeIntervalFromDate(noon(), noonPlus(3 * kHour + 5))), "3 hours later");
    EXPECT_EQ(utf8(decoded->stringForTimeIntervalFromDate(noon(), noonPlus(20))), "just now");
}
