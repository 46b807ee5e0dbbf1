#include <gtest/gtest.h>

#include <string>

#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSUserDefaults.h"
#include "Foundation/NestingDepth.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"

namespace {

Ref<NSData> dataOf(const std::string& text) { return NSData::dataWithBytes(text.data(), text.size()); }

// A property list whose root holds `depth` arrays inside one another.
std::string nestedPlist(size_t depth)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
    for (size_t i = 0; i < depth; ++i) text += "<array>";
    text += "<string>x</string>";
    for (size_t i = 0; i < depth; ++i) text += "</array>";
    return text + "\n</plist>\n";
}

Id nestedArrays(size_t depth)
{
    Id value = "x"_ns;
    for (size_t i = 0; i < depth; ++i) value = NSArray::arrayWithObject(value);
    return value;
}

}

TEST(NestingDepth, ScannersCountOnlyRealNesting)
{
    EXPECT_FALSE(NestingDepth::jsonExceeds(R"({"a": "[[[[[[", "b": [[1]]})", 3));
    EXPECT_TRUE(NestingDepth::jsonExceeds(R"({"a": [[{"b": 1}]]})", 3));
    EXPECT_FALSE(NestingDepth::jsonExceeds(R"(["\"[[[[", [] , [], []])", 2));
    EXPECT_FALSE(
        NestingDepth::xmlExceeds("<?xml version=\"1.0\"?><!DOCTYPE x><a><!-- <b><b><b> --><b/><b></b></a>", 2));
    EXPECT_TRUE(NestingDepth::xmlExceeds("<a><b><c></c></b></a>", 2));
    EXPECT_FALSE(NestingDepth::xmlExceeds("<a x=\"/>\"><![CDATA[<b><b>]]></a>", 1));
}

TEST(NestingDepth, PropertyListsDeeperThanTheLimitAreDamagedAndNeverWritten)
{
    // As deep as the writer writes reads back; one more level, or thousands,
    // is a damaged file.
    const size_t limit = NestingDepth::maximum;
    Ref<NSError> error;
    EXPECT_TRUE(NSPropertyListSerialization::propertyListWithData(dataOf(nestedPlist(limit)), 0, nullptr, &error));
    for (size_t depth : {limit + 1, size_t(50000)}) {
        error = nullptr;
        EXPECT_FALSE(NSPropertyListSerialization::propertyListWithData(dataOf(nestedPlist(depth)), 0, nullptr, &error))
            << depth;
        ASSERT_TRUE(error) << depth;
        EXPECT_EQ(error->code(), NSPropertyListReadCorruptError);
    }

    EXPECT_TRUE(
        NSPropertyListSerialization::propertyListIsValidForFormat(nestedArrays(limit), NSPropertyListXMLFormat_v1_0));
    EXPECT_FALSE(NSPropertyListSerialization::propertyListIsValidForFormat(nestedArrays(limit + 1),
                                                                           NSPropertyListXMLFormat_v1_0));
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(nestedArrays(20000), NSPropertyListXMLFormat_v1_0, 0,
                                                                   &error));
    EXPECT_EQ(error->code(), NSPropertyListWriteInvalidError);
}

TEST(NestingDepth, WrittenSizeGrowsWithTheValueNotWithItsDepth)
{
    // Indenting every level one tab more made a deep value quadratic in size.
    const Id deep = nestedArrays(NestingDepth::maximum);
    auto data = NSPropertyListSerialization::dataWithPropertyList(deep, NSPropertyListXMLFormat_v1_0, 0, nullptr);
    ASSERT_TRUE(data);
    const size_t perLevel = std::string("\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t<array>\n").size() * 2;
    EXPECT_LT(data->length(), NestingDepth::maximum * perLevel + 200);
    auto back = NSPropertyListSerialization::propertyListWithData(data, 0, nullptr, nullptr);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqual(deep.get()));
}

TEST(NestingDepth, ADeepDefaultsFileIsSetAsideAndTheProgramStarts)
{
    TemporaryFolder folder;
    const std::string file = folder / "d.plist";
    writeFile(file, nestedPlist(6000));
    LogCapture log;
    auto d = NSUserDefaults::defaultsWithPath(folder.ns("d.plist"));
    ASSERT_TRUE(d);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("nested"), std::string::npos) << log.lines()[0];
    d->setObject("v"_ns, "k"_ns);
    EXPECT_TRUE(d->synchronize());
    int damagedCopies = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().filename().string().starts_with("d.plist.damaged-")) {
            ++damagedCopies;
            EXPECT_EQ(readFile(entry.path()), nestedPlist(6000));
        }
    EXPECT_EQ(damagedCopies, 1);
}

TEST(NestingDepth, DeepKeyedArchivesAreInconsistent)
{
    std::string text = R"({"version": 1, "top": {"root": )";
    for (int i = 0; i < 20000; ++i) text += "[";
    text += std::string(20000, ']') + "}, \"objects\": []}";
    try {
        NSKeyedUnarchiver::unarchiveObjectWithData(dataOf(text));
        FAIL() << "a document nested 20000 deep was read";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name()->UTF8String(), std::string(NSInconsistentArchiveException));
        EXPECT_NE(e.reason()->UTF8String().find("nested too deeply"), std::string::npos) << e.reason()->UTF8String();
    }
}
