// The CSV writer's lines, and rows written and read back by the reader.
#include <gtest/gtest.h>

#include <random>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "TemporaryFolder.h"
#include "ZAKAppKit/ZAKCSVExport/ZAKCSVExport.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

namespace {

// A cell that is no string but says how it reads.
class InspectorCell : public NSObject {
    NS_OBJECT(InspectorCell, NSObject)
protected:
    InspectorCell() = default;

public:
    Ref<NSString> stringRepresentation() { return "in spector"_ns; }
    static void describeClass(NSClassMembers<InspectorCell>& m)
    {
        m.action("stringRepresentation", &InspectorCell::stringRepresentation);
    }
};

using Rows = std::vector<std::vector<std::string>>;

Ref<NSArray> arrayOf(const Rows& rows)
{
    std::vector<Id> out;
    for (const auto& row : rows) {
        std::vector<Id> cells;
        for (const auto& cell : row) cells.push_back(NSString::stringWithUTF8String(cell));
        out.push_back(NSArray::arrayWithVector(std::move(cells)));
    }
    return NSArray::arrayWithVector(std::move(out));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Writes with a fresh writer configured by `setUp`, answers the file.
class WriterFixture : public ::testing::Test {
protected:
    Ref<ZAKCSVExport> writer()
    {
        writeFile(m_folder / "out.csv", "");
        auto handle = NSFileHandle::fileHandleForWritingAtPath(m_folder.ns("out.csv"));
        auto writer = NSObject::alloc<ZAKCSVExport>()->initWithFileHandle(handle);
        writer->setEncoding(NSUTF8StringEncoding);
        return writer;
    }
    std::string written() { return readFile(m_folder / "out.csv"); }
    TemporaryFolder m_folder;
};

// Collects the rows the reader reports.
class RowCollector : public NSObject, public ZAKCSVParserDelegate {
    NS_OBJECT(RowCollector, NSObject)
protected:
    RowCollector() = default;

public:
    Rows rows;
    bool failed = false;
    void parserDidStartDocument(ZAKCSVParser*, const Ref<NSString>&) override { }
    void parserDidStartLine(ZAKCSVParser*, NSUInteger) override { rows.emplace_back(); }
    void parserDidReadField(ZAKCSVParser*, const Ref<NSString>& field) override
    {
        rows.back().push_back(field->UTF8String());
    }
    void parserDidEndLine(ZAKCSVParser*, NSUInteger) override { }
    void parserDidEndDocument(ZAKCSVParser*, const Ref<NSString>&) override { }
    void parserDidFailWithError(ZAKCSVParser*, const Ref<NSError>&) override { failed = true; }
};

}

NS_CLASS_DEFINE(InspectorCell)
NS_CLASS_DEFINE(RowCollector)

using ZAKCSVExportTest = WriterFixture;

TEST_F(ZAKCSVExportTest, QuotesOnlyTheCellsThatNeedIt)
{
    struct Case {
        const char* note;
        Rows rows;
        NSInteger separator;
        NSInteger lineEnd;
        bool force;
        std::string written;
    };
    const Case cases[] = {
        {"defaults", {{"a", "b", "c"}}, 0, 0, false, "a,b,c\r\n"},
        {"quotes doubled", {{"\"word\""}}, 0, 0, false, "\"\"\"word\"\"\"\r\n"},
        {"space", {{"a b", "ab"}}, 0, 0, false, "\"a b\",ab\r\n"},
        {"forced", {{"ab", "c"}}, 0, 0, true, "\"ab\",\"c\"\r\n"},
        {"any separator", {{"a;b", "c\td", "e,f"}}, 0, 0, false, "\"a;b\",\"c\td\",\"e,f\"\r\n"},
        {"tab and LF", {{"a", "b"}}, 2, 2, false, "a\tb\n"},
        {"semicolon and CR", {{"a", "b"}}, 1, 1, false, "a;b\r"},
        {"unknown types", {{"a", "b"}}, 7, 7, false, "a,b\r\n"},
        {"line breaks", {{"a\nb", "c\rd"}}, 0, 2, false, "\"a\nb\",\"c\rd\"\n"},
        {"a first cell with #", {{"#a", "#b"}}, 0, 2, false, "\"#a\",#b\n"},
        {"a lone empty cell", {{""}, {"", ""}, {}}, 0, 2, false, "\"\"\n,\n\n"},
    };
    for (const auto& c : cases) {
        auto w = writer();
        w->setSeparatorType(c.separator);
        w->setLineEndType(c.lineEnd);
        w->setForceQuotes(c.force);
        w->writeRows(arrayOf(c.rows));
        EXPECT_EQ(written(), c.written) << c.note;
    }
}

TEST_F(ZAKCSVExportTest, AFreshWriterEndsSingleRowsWithCR)
{
    auto w = writer();
    w->writeRow(NSArray::arrayWithObjects({"a"_ns, NSObject::make<InspectorCell>()}));
    EXPECT_EQ(written(), "a,\"in spector\"\r");
}

TEST_F(ZAKCSVExportTest, RowsThatCannotBeEncodedRaiseBeforeAnythingIsWritten)
{
    auto w = writer();
    w->setEncoding(0);
    try {
        w->writeRows(arrayOf({{"a"}}));
        ADD_FAILURE() << "no encoding accepted";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
        EXPECT_EQ(e.reasonUTF8(), "Row 1 cannot be written: no encoding is set");
    }
    w->setEncoding(NSISOLatin1StringEncoding);
    try {
        w->writeRows(arrayOf({{"caf\xC3\xA9"}, {"\xE6\x97\xA5"}}));
        ADD_FAILURE() << "an unencodable row accepted";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
        EXPECT_EQ(e.reasonUTF8(), "Row 2 cannot be encoded in Western (ISO Latin 1)");
    }
    EXPECT_EQ(written(), "caf\xE9\r\n");
    try {
        w->writeRow(NSArray::arrayWithObject(NSNumber::numberWithInt(1)));
        ADD_FAILURE() << "a cell without stringRepresentation accepted";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
        EXPECT_NE(e.reasonUTF8().find("stringRepresentation]: unrecognized selector"), std::string::npos);
    }
}

TEST_F(ZAKCSVExportTest, RowsReadBackAsTheyWereWritten)
{
    // Cells of the characters that matter to the format (no backslash: an
    // escape keeps its backslash on reading, by design).
    const std::string alphabet[] = {"a", "Z", "7", " ", "\t", ",", ";", "\r", "\n", "\"", "#"};
    std::mt19937 random(19);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    int lost = 0;
    constexpr int kCases = 3000;
    for (int n = 0; n < kCases; ++n) {
        Rows rows(1 + pick(4));
        for (auto& row : rows) {
            row.resize(1 + pick(4));
            for (auto& cell : row)
                for (int k = pick(6); k > 0; --k) cell += alphabet[pick(std::size(alphabet))];
        }
        NSInteger separator = n % 3;
        NSInteger lineEnd = (n / 3) % 3;
        auto w = writer();
        w->setSeparatorType(separator);
        w->setLineEndType(lineEnd);
        w->writeRows(arrayOf(rows));

        auto parser = NSObject::alloc<ZAKCSVParser>()->initWithContentsOfCSVFile(m_folder.ns("out.csv"),
                                                                                 NSUTF8StringEncoding, nullptr);
        parser->setSeparatorType(separator);
        auto collector = NSObject::make<RowCollector>();
        parser->setParserDelegate(collector);
        parser->parse();
        Rows expected = rows;
        if (lineEnd == 0) expected.push_back({""});
        if (collector->failed || collector->rows != expected) {
            if (++lost <= 3) ADD_FAILURE() << "case " << n << " read back differently:\n" << written();
        }
    }
    EXPECT_EQ(lost, 0) << "of " << kCases;
}
