// Lists as running text with delimiter, separator and conjunction, the
// ranges of the elements, and text split back into pieces.
#include "FormatKit/FMTArrayFormatter.h"
#include "FormatKitFixture.h"
#include "Foundation/NSValue.h"

namespace {

Ref<NSArray> letters(std::initializer_list<const char*> items)
{
    auto array = NSMutableArray::array();
    for (const char* item : items) array->addObject(NSString::stringWithUTF8String(item));
    return array;
}

}  // namespace

TEST_F(FormatKitTest, ArraysWriteAsSentencesOrPlainLists)
{
    struct Case {
        const char* name;
        std::function<void(FMTArrayFormatter&)> setup;
        Ref<NSArray> array;
        const char* expected;
    };
    auto none = [](FMTArrayFormatter&) {};
    const Case cases[] = {
        {"empty", none, letters({}), ""},
        {"one", none, letters({"a"}), "a"},
        {"two", none, letters({"a", "b"}), "a and b"},
        {"three", none, letters({"a", "b", "c"}), "a, b, and c"},
        {"four", none, letters({"a", "b", "c", "d"}), "a, b, c, and d"},
        {"no serial delimiter", [](FMTArrayFormatter& f) { f.setUsesSerialDelimiter(false); },
         letters({"a", "b", "c"}), "a, b and c"},
        {"plain", [](FMTArrayFormatter& f) { f.setArrayStyle(FMTArrayPlainStyle); }, letters({"a", "b", "c"}),
         "a, b, c"},
        {"abbreviated", [](FMTArrayFormatter& f) { f.setUsesAbbreviatedConjunction(true); },
         letters({"a", "b", "c"}), "a, b, & c"},
        {"no conjunction", [](FMTArrayFormatter& f) { f.setConjunction(nullptr); }, letters({"a", "b", "c"}),
         "a, b, c"},
        // Without a delimiter only two elements get a separator: kept as the rule says.
        {"no delimiter, two", [](FMTArrayFormatter& f) { f.setDelimiter(nullptr); }, letters({"a", "b"}), "a and b"},
        {"no delimiter, three", [](FMTArrayFormatter& f) { f.setDelimiter(nullptr); }, letters({"a", "b", "c"}),
         "aband c"},
        {"numbers", none, NSArray::arrayWithObjects({NSNumber::numberWithInteger(1), NSNumber::numberWithDouble(2.5)}),
         "1 and 2.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = NSObject::make<FMTArrayFormatter>();
        c.setup(*f);
        EXPECT_EQ(utf8(f->stringFromArray(c.array)), c.expected);
        EXPECT_EQ(utf8(f->stringForObjectValue(c.array)), c.expected);
    }
    EXPECT_EQ(utf8(FMTArrayFormatter::localizedStringFromArray(letters({"x", "y", "z"}), FMTArrayPlainStyle)),
              "x, y, z");
    EXPECT_EQ(utf8(NSObject::make<FMTArrayFormatter>()->stringForObjectValue("a"_ns)), "<nil>");
}

TEST_F(FormatKitTest, ArrayRangesSayWhereEachElementLanded)
{
    auto f = NSObject::make<FMTArrayFormatter>();
    Ref<NSArray> ranges;
    EXPECT_EQ(utf8(f->stringFromArray(letters({"a", "b", "c"}), &ranges)), "a, b, and c");
    ASSERT_EQ(ranges->count(), 3u);
    const NSUInteger starts[] = {0, 3, 10};
    for (NSUInteger i = 0; i < 3; ++i) {
        auto range = dynamic_ref_cast<NSValue>(ranges->objectAtIndex(i))->rangeValue();
        EXPECT_EQ(range.location, starts[i]);
        EXPECT_EQ(range.length, 1u);
    }
    f->stringFromArray(letters({"one", "three"}), &ranges);
    EXPECT_EQ(dynamic_ref_cast<NSValue>(ranges->objectAtIndex(1))->rangeValue().location, 8u);
}

TEST_F(FormatKitTest, ArraysReadBackFromText)
{
    auto f = NSObject::make<FMTArrayFormatter>();
    struct Case {
        const char* text;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"a and b", {"a ", " b"}},
        {"a, b, and c", {"a", " b", " ", " c"}},
        {"a, b and c", {"a", " b ", " c"}},
        {"solo", {"solo"}},
        // The first "and" counts even inside a word.
        {"sand, band", {"sand", " b", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto array = f->arrayFromString(NSString::stringWithUTF8String(c.text));
        ASSERT_TRUE(array);
        std::vector<std::string> pieces;
        for (NSUInteger i = 0; i < array->count(); ++i) pieces.push_back(utf8(array->objectAtIndex(i)->description()));
        EXPECT_EQ(pieces, c.pieces);
    }
    Id value;
    EXPECT_FALSE(f->getObjectValue(&value, nullptr, nullptr));
    f->setDelimiter(nullptr);
    Ref<NSString> error;
    EXPECT_FALSE(f->getObjectValue(&value, "a and b"_ns, &error));
    EXPECT_EQ(utf8(error), "The text cannot be split into a list.");
}
