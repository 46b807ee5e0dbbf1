// How a run ends when its input cannot be opened, read or decoded, when a
// quote stays open and when a field outgrows the limit.
#include <gtest/gtest.h>

#include <cstring>

#include "CSVTranscript.h"
#include "TemporaryFolder.h"

namespace {

// Gives the bytes it was made with, then fails with EIO.
class FailingStream : public NSInputStream {
    NS_OBJECT(FailingStream, NSInputStream)
protected:
    FailingStream() = default;

public:
    std::string bytes;
    void open() override { setStreamStatus(NSStreamStatusOpen); }
    NSInteger read(uint8_t* buffer, NSUInteger maxLength) override
    {
        if (bytes.empty()) {
            setStreamError(NSError::errorWithPOSIXCode(EIO));
            return -1;
        }
        NSUInteger n = std::min<NSUInteger>(maxLength, bytes.size());
        std::memcpy(buffer, bytes.data(), n);
        bytes.erase(0, n);
        return static_cast<NSInteger>(n);
    }
};

// An endless field: a quote, then "x" for ever; counts what was read.
class EndlessFieldStream : public NSInputStream {
    NS_OBJECT(EndlessFieldStream, NSInputStream)
protected:
    EndlessFieldStream() = default;

public:
    uint64_t delivered = 0;
    void open() override { setStreamStatus(NSStreamStatusOpen); }
    NSInteger read(uint8_t* buffer, NSUInteger maxLength) override
    {
        std::memset(buffer, 'x', maxLength);
        if (delivered == 0) buffer[0] = '"';
        delivered += maxLength;
        return static_cast<NSInteger>(maxLength);
    }
};

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : "<nil>"; }

}

NS_CLASS_DEFINE(FailingStream)
NS_CLASS_DEFINE(EndlessFieldStream)

TEST(ZAKCSVParserFailure, AFileThatCannotBeOpenedGivesNoParser)
{
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "folder.csv");
    for (const char* name : {"missing.csv", "folder.csv"}) {
        Ref<NSError> error;
        auto parser =
            NSObject::alloc<ZAKCSVParser>()->initWithContentsOfCSVFile(folder.ns(name), NSUTF8StringEncoding, &error);
        EXPECT_FALSE(parser) << name;
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(text(error->domain()), text(ZAKCSVParserErrorDomain()));
        EXPECT_EQ(error->code(), 1);
        EXPECT_EQ(text(error->localizedDescription()), "Unable to open file for reading");
    }
    EXPECT_FALSE(NSObject::alloc<ZAKCSVParser>()->initWithContentsOfCSVFile(folder.ns("missing.csv"),
                                                                            NSUTF8StringEncoding, nullptr));
}

TEST(ZAKCSVParserFailure, AReadFailureComesAfterEverythingReadBeforeIt)
{
    auto stream = NSObject::make<FailingStream>();
    stream->bytes = "a,b\nc";
    auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
    auto transcript = NSObject::make<CSVTranscript>();
    parser->setParserDelegate(transcript);
    parser->setChunkSize(2);
    parser->parse();
    EXPECT_EQ(transcript->text, "<1:[a][b];2:[c];!1");
    ASSERT_TRUE(transcript->error);
    EXPECT_EQ(text(transcript->error->localizedDescription()), "Unable to read from input stream");
    ASSERT_TRUE(transcript->error->underlyingError());
    EXPECT_EQ(transcript->error->underlyingError()->code(), EIO);
}

TEST(ZAKCSVParserFailure, UndecodableBytesNameTheirLineAndOffset)
{
    struct Case {
        std::string input;
        std::string transcript;
        std::string reason;
    };
    const Case cases[] = {
        {"a,b\nc,\xFF,d\n", "<1:[a][b];2:[c];!1",
         "Line 2 cannot be read in the encoding Unicode (UTF-8): the byte "
         "at offset 6 begins no character."},
        {"a\n\xC3", "<1:[a];!1",
         "Line 2 cannot be read in the encoding Unicode (UTF-8): the byte at offset 2 "
         "begins no character."},  // cut short by the end of the input
    };
    for (const auto& c : cases) {
        for (NSUInteger chunk : {1u, 16384u}) {
            auto stream = NSInputStream::inputStreamWithData(NSData::dataWithBytes(c.input.data(), c.input.size()));
            auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
            auto transcript = NSObject::make<CSVTranscript>();
            parser->setParserDelegate(transcript);
            parser->setChunkSize(chunk);
            parser->parse();
            EXPECT_EQ(transcript->text, c.transcript) << c.input << " in chunks of " << chunk;
            EXPECT_TRUE(parser->encodingErrorOccured());
            ASSERT_TRUE(parser->error());
            EXPECT_EQ(text(parser->error()->localizedDescription()), "unable to interpret current chunk as a string");
            EXPECT_EQ(text(parser->error()->localizedFailureReason()), c.reason);
        }
    }
}

TEST(ZAKCSVParserFailure, AQuoteStillOpenAtTheEndNamesTheLineItBeganOn)
{
    Ref<NSError> error;
    EXPECT_EQ(transcriptOf("a\n\"b\nc\nd", NSUTF8StringEncoding, 16384, &error), "<1:[a];2:[\"b\\nc\\nd];!2");
    ASSERT_TRUE(error);
    EXPECT_EQ(text(error->localizedFailureReason()),
              "The quoted field that begins on line 2 is still open at the end of the input.");
}

TEST(ZAKCSVParserFailure, AnEndlessFieldStopsTheReadingAtTheLimit)
{
    auto stream = NSObject::make<EndlessFieldStream>();
    auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, NSUTF8StringEncoding, nullptr);
    auto transcript = NSObject::make<CSVTranscript>();
    parser->setParserDelegate(transcript);
    parser->parse();
    EXPECT_EQ(transcript->text, "<1:!4");
    ASSERT_TRUE(transcript->error);
    EXPECT_EQ(text(transcript->error->localizedFailureReason()),
              "The field on line 1 is longer than 16777216 characters.");
    EXPECT_LE(stream->delivered, ZAKCSVParser::kDefaultMaximumFieldLength + 2 * ZAKCSVParser::kDefaultChunkSize);
}
