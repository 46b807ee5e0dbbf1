// What the reader reports for each kind of input: the format as it stands,
// its quirks (kept, as files in the field rely on them) and the repairs.
#include <gtest/gtest.h>

#include "CSVTranscript.h"
#include "Foundation/NSException.h"
#include "TemporaryFolder.h"

NS_CLASS_DEFINE(CSVTranscript)

namespace {

struct Case {
    const char* note;
    std::string input;
    std::string transcript;
};

}

TEST(ZAKCSVParser, ReportsLinesAndFieldsAsTheFormatReadsThem)
{
    using namespace std::string_literals;
    const Case cases[] = {
        {"two LF lines", "a,b,c\nd,e,f\n", "<1:[a][b][c];2:[d][e][f];>"},
        {"separator before LF", "a,b,\n", "<1:[a][b][];>"},
        {"separator at the very end", "a,b,", "<1:[a][b];>"},
        {"CR LF gives one more line", "a,b\r\nc\r\n", "<1:[a][b];2:[c];3:[];>"},
        {"CR lines", "a\rb\r", "<1:[a];2:[b];>"},
        {"LF lines", "a\nb\n", "<1:[a];2:[b];>"},
        {"LF and an empty last line", "a\n\n", "<1:[a];2:[];>"},
        {"quoted with doubled quotes", "\"x,\"\"y\"\"\"", "<1:[x,\"y\"];>"},
        {"stray quote joins lines", "a\"b,\nc\",d", "<1:[a\"b,\\nc\"][d];>"},
        {"backslash escape stays", "a\\,b", "<1:[a\\,b];>"},
        {"escaped quote", "\"a\\\"b\",c", "<1:[a\\\"b][c];>"},
        {"comment line", "#note\na,b\n", "<1:[a][b];>"},
        {"# after CR LF is text", "a\r\n#b\r\n", "<1:[a];2:[#b];3:[];>"},
        {"# after LF is a comment", "a\n#b\nc", "<1:[a];2:[c];>"},
        {"leading line break", "\na", "<1:[];2:[a];>"},
        {"pairs of quotes collapse anywhere", "a\"\"b", "<1:[a\"b];>"},
        {"empty lines merge", "a\n\nb\n", "<1:[a];2:[b];>"},
        {"empty fields", "a,,b", "<1:[a][][b];>"},
        {"mixed line ends", "a\r\nb\nc\rd\n", "<1:[a];2:[b];3:[c];4:[d];>"},
        {"quoted line breaks", "\"a\r\nb\",c\n", "<1:[a\\r\\nb][c];>"},
        // Repairs.
        {"quoted field keeps a leading separator", "\",x\",y", "<1:[,x][y];>"},
        {"a lone quote holds the quote", "\"", "<1:[\"];!2"},
        {"quote open at the end", "a,\"b\nc", "<1:[a][\"b\\nc];!2"},
        {"UTF-8 mark dropped",
         "\xEF\xBB\xBF"
         "a,b",
         "<1:[a][b];>"},
        {"a later U+FEFF stays",
         "a,\xEF\xBB\xBF"
         "b",
         "<1:[a][\xEF\xBB\xBF"
         "b];>"},
        {"no input", "", "<>"},
    };
    for (const auto& c : cases) EXPECT_EQ(transcriptOf(c.input), c.transcript) << c.note;
}

TEST(ZAKCSVParser, TrimsSpacesOnlyWhenAsked)
{
    auto parse = [](bool trim) {
        auto stream = NSInputStream::inputStreamWithData(NSData::dataWithBytes(" a , b \n", 8));
        auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
        auto transcript = NSObject::make<CSVTranscript>();
        parser->setParserDelegate(transcript);
        parser->setTrimSpaces(trim);
        parser->parse();
        return transcript->text;
    };
    EXPECT_EQ(parse(false), "<1:[ a ][ b ];>");
    EXPECT_EQ(parse(true), "<1:[a][b];>");
}

TEST(ZAKCSVParser, DetectsTheFirstLineEndConvention)
{
    const std::pair<std::string, NSInteger> cases[] = {
        {"a\r\n", 0}, {"a\rb", 1}, {"a\n", 2}, {"abc", NSNotFound}, {"a\r\nb\nc\rd\n", 0}, {"a\nb\r\n", 2},
    };
    for (const auto& [input, expected] : cases) {
        for (NSUInteger chunk : {1u, 16384u}) {
            auto stream = NSInputStream::inputStreamWithData(NSData::dataWithBytes(input.data(), input.size()));
            auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
            parser->setChunkSize(chunk);
            parser->parse();
            EXPECT_EQ(parser->detectedLineEnd(), expected) << input << " in chunks of " << chunk;
        }
    }
}

TEST(ZAKCSVParser, ChunkSizesDoNotChangeWhatIsRead)
{
    // One- to four-byte characters, a combining accent (also after a run of
    // ASCII), a flag of two regional indicators, delimiters inside quotes and
    // CR LF, cut everywhere by the chunk sizes.
    const std::string input = "na\xC3\xAFve,\xE6\x97\xA5\xE6\x9C\xAC,\xF0\x9F\x98\x80\r\n"
                              "e\xCC\x81t\xC3\xA9,\"q,\xE2\x82\xAC\"\"\",\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\r\n"
                              "\"ab, cd, ef\",xye\xCC\x81z,plain text\r\n"
                              "#x,\xC3\xA9\r\nlast";
    const std::string expected = transcriptOf(input, NSUTF8StringEncoding, 16384);
    EXPECT_EQ(expected, "<1:[na\xC3\xAFve][\xE6\x97\xA5\xE6\x9C\xAC][\xF0\x9F\x98\x80];"
                        "2:[e\xCC\x81t\xC3\xA9][q,\xE2\x82\xAC\"][\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA];"
                        "3:[ab, cd, ef][xye\xCC\x81z][plain text];4:[#x][\xC3\xA9];5:[last];>");
    for (NSUInteger chunk : {1u, 2u, 3u, 7u})
        EXPECT_EQ(transcriptOf(input, NSUTF8StringEncoding, chunk), expected) << "chunks of " << chunk;
}

TEST(ZAKCSVParser, ReadsByteOrderMarksOnlyForDeclaredUnicode)
{
    using namespace std::string_literals;
    struct MarkCase {
        const char* note;
        std::string bytes;
        NSStringEncoding declared;
        std::string transcript;
    };
    const MarkCase cases[] = {
        {"UTF-16 LE mark",
         "\xFF\xFE"
         "a\0,\0b\0"s,
         NSUnicodeStringEncoding, "<1:[a][b];>"},
        {"UTF-16 BE mark", "\xFE\xFF\0a\0,\0b"s, NSUnicodeStringEncoding, "<1:[a][b];>"},
        {"UTF-16 without a mark is big-endian", "\0a\0,\0b"s, NSUnicodeStringEncoding, "<1:[a][b];>"},
        {"UTF-32 BE mark", "\0\0\xFE\xFF\0\0\0a"s, NSUTF32StringEncoding, "<1:[a];>"},
        {"UTF-32 LE mark", "\xFF\xFE\0\0a\0\0\0"s, NSUTF32StringEncoding, "<1:[a];>"},
        {"a UTF-16 mark read in chunks of one byte",
         "\xFF\xFE"
         "a\0"s,
         NSUnicodeStringEncoding, "<1:[a];>"},
        {"Windows Latin 1 looks for no mark",
         "\xEF\xBB\xBF"
         "a",
         NSWindowsCP1252StringEncoding,
         "<1:[\xC3\xAF\xC2\xBB\xC2\xBF"
         "a];>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transcriptOf(c.bytes, c.declared), c.transcript) << c.note;
        EXPECT_EQ(transcriptOf(c.bytes, c.declared, 1), c.transcript) << c.note << " in chunks of 1";
    }
}

TEST(ZAKCSVParser, DelimitersAreOneOrdinaryCharacter)
{
    auto parser = NSObject::alloc<ZAKCSVParser>()->initWithCSVString("a|b;c"_ns, NSUTF8StringEncoding, nullptr);
    for (const char* bad : {"", ";;", "#", "\"", "\\", "\n", "\r"}) {
        try {
            parser->setDelimiter(NSString::stringWithUTF8String(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const NSException& e) {
            EXPECT_EQ(e.nameUTF8(), NSInvalidArgumentException);
            EXPECT_EQ(e.reasonUTF8(), std::string(bad) + " cannot be used as a delimiter");
        }
    }
    EXPECT_THROW(parser->setDelimiter(nullptr), NSException);
    parser->setDelimiter("|"_ns);
    EXPECT_EQ(parser->separatorType(), NSNotFound);
    auto transcript = NSObject::make<CSVTranscript>();
    parser->setParserDelegate(transcript);
    // Not while a run reads.
    transcript->onField = [](ZAKCSVParser* p, const std::string&) {
        EXPECT_THROW(p->setDelimiter(","_ns), NSException);
    };
    parser->parse();
    EXPECT_EQ(transcript->text, "<1:[a][b;c];>");

    const std::pair<NSInteger, const char*> types[] = {{0, ","}, {1, ";"}, {2, "\t"}};
    for (const auto& [type, text] : types) {
        parser->setSeparatorType(type);
        EXPECT_EQ(parser->delimiter()->UTF8String(), text);
        EXPECT_EQ(parser->separatorType(), type);
    }
    parser->setSeparatorType(3);
    EXPECT_EQ(parser->separatorType(), 2) << "an unknown type changes nothing";
}

TEST(ZAKCSVParser, AutodetectsTheSeparatorOfTheFirstLine)
{
    TemporaryFolder folder;
    const std::pair<std::string, NSInteger> cases[] = {
        {"a;b,c\n", 1},
        {"a,b;c", 0},
        {"a\tb", 2},
        {"\"x,y\";z", 0},
        {"abc\nd,e", NSNotFound},
        {std::string(3000, 'x'), NSNotFound},
        {std::string("a\0,b", 4), NSNotFound},
    };
    int n = 0;
    for (const auto& [contents, expected] : cases) {
        std::string name = "f" + std::to_string(n++) + ".csv";
        writeFile(folder / name, contents);
        EXPECT_EQ(ZAKCSVParser::autodetectSeparatorForCSVFile(folder.ns(name)), expected) << contents;
    }
    EXPECT_EQ(ZAKCSVParser::autodetectSeparatorForCSVFile(folder.ns("missing.csv")), NSNotFound);
}

TEST(ZAKCSVParser, CancellingEndsTheRunAfterTheCharacterAtHand)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a,b,c\nd", "<1:[a]!3"},    // ended by a separator: nothing more
        {"a\nb,c\nd", "<1:[a];!3"},  // ended by a line break: its line still ends
    };
    for (const auto& [input, expected] : cases) {
        auto parser = NSObject::alloc<ZAKCSVParser>()->initWithCSVString(NSString::stringWithUTF8String(input),
                                                                         NSUTF8StringEncoding, nullptr);
        auto transcript = NSObject::make<CSVTranscript>();
        transcript->onField = [](ZAKCSVParser* p, const std::string& field) {
            if (field == "a") p->cancelParsing();
        };
        parser->setParserDelegate(transcript);
        parser->parse();
        EXPECT_EQ(transcript->text, expected);
        ASSERT_TRUE(parser->error());
        EXPECT_EQ(parser->error()->userInfo()->count(), 0u);
    }
}

TEST(ZAKCSVParser, ARepeatedRunStartsOverFromTheFile)
{
    TemporaryFolder folder;
    writeFile(folder / "a.csv", "a,b\n");
    auto parser =
        NSObject::alloc<ZAKCSVParser>()->initWithContentsOfCSVFile(folder.ns("a.csv"), NSUTF8StringEncoding, nullptr);
    ASSERT_TRUE(parser);
    auto transcript = NSObject::make<CSVTranscript>();
    parser->setParserDelegate(transcript);
    parser->parse();
    parser->parse();
    EXPECT_EQ(transcript->text, "<1:[a][b];><1:[a][b];>");

    auto fromString = NSObject::alloc<ZAKCSVParser>()->initWithCSVString("a,b"_ns, NSUTF8StringEncoding, nullptr);
    fromString->setParserDelegate(transcript);
    transcript->text.clear();
    fromString->parse();
    fromString->parse();
    EXPECT_EQ(transcript->text, "<1:[a][b];><>");
}
