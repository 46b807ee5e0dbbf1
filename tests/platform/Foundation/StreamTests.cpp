// Input streams on files and data, file handles, and the decoding call that
// finds where a stream's bytes stop decoding.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "Foundation/NSError.h"
#include "Foundation/NSException.h"
#include "Foundation/NSFileHandle.h"
#include "Foundation/NSInputStream.h"
#include "Foundation/NSStringDecoding.h"
#include "TemporaryFolder.h"

namespace {

std::string readAll(const Ref<NSInputStream>& stream, NSUInteger chunk)
{
    std::string out;
    std::vector<uint8_t> buffer(chunk);
    for (;;) {
        NSInteger n = stream->read(buffer.data(), chunk);
        if (n <= 0) break;
        out.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(n));
    }
    return out;
}

}

TEST(InputStream, ReadsFilesAndDataToTheirEnd)
{
    TemporaryFolder folder;
    writeFile(folder / "a.csv", "hello, world");
    const Ref<NSInputStream> streams[] = {
        NSInputStream::inputStreamWithFileAtPath(folder.ns("a.csv")),
        NSInputStream::inputStreamWithData(NSData::dataWithBytes("hello, world", 12)),
    };
    for (const auto& stream : streams) {
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->streamStatus(), NSStreamStatusNotOpen);
        uint8_t byte;
        EXPECT_EQ(stream->read(&byte, 1), -1) << "not open yet";
        stream->open();
        EXPECT_EQ(stream->streamStatus(), NSStreamStatusOpen);
        EXPECT_EQ(readAll(stream, 5), "hello, world");
        EXPECT_EQ(stream->streamStatus(), NSStreamStatusAtEnd);
        EXPECT_EQ(stream->read(&byte, 1), 0);
        stream->close();
        EXPECT_EQ(stream->streamStatus(), NSStreamStatusClosed);
    }
}

TEST(InputStream, AMissingFileOrAFolderFailsToOpenWithThePOSIXError)
{
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "sub");
    const std::pair<std::string, int> cases[] = {{"missing.csv", ENOENT}, {"sub", EISDIR}};
    for (const auto& [name, code] : cases) {
        auto stream = NSInputStream::inputStreamWithFileAtPath(folder.ns(name));
        ASSERT_TRUE(stream) << name;
        stream->open();
        EXPECT_EQ(stream->streamStatus(), NSStreamStatusError) << name;
        ASSERT_TRUE(stream->streamError()) << name;
        EXPECT_EQ(stream->streamError()->domain()->UTF8String(), NSPOSIXErrorDomain()->UTF8String());
        EXPECT_EQ(stream->streamError()->code(), code) << name;
        uint8_t byte;
        EXPECT_EQ(stream->read(&byte, 1), -1) << name;
    }
    EXPECT_FALSE(NSInputStream::inputStreamWithFileAtPath(nullptr));
}

TEST(FileHandle, WritesEveryByteAndLeavesADescriptorItWasGivenOpen)
{
    TemporaryFolder folder;
    writeFile(folder / "out.txt", "");
    {
        auto handle = NSFileHandle::fileHandleForWritingAtPath(folder.ns("out.txt"));
        ASSERT_TRUE(handle);
        std::string big(1 << 20, 'x');
        handle->writeData(NSData::dataWithBytes("ab", 2));
        handle->writeData(NSData::dataWithBytes(big.data(), big.size()));
    }
    EXPECT_EQ(std::filesystem::file_size(folder / "out.txt"), (1u << 20) + 2);
    EXPECT_FALSE(NSFileHandle::fileHandleForWritingAtPath(folder.ns("missing.txt")));

    int fd = ::open((folder / "out.txt").c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    NSFileHandle::fileHandleWithFileDescriptor(fd)->writeData(NSData::dataWithBytes("c", 1));
    EXPECT_EQ(::write(fd, "d", 1), 1) << "the handle closed a descriptor it did not own";
    ::close(fd);
    EXPECT_EQ(std::filesystem::file_size(folder / "out.txt"), 2u);
}

TEST(FileHandle, AFailedWriteRaisesWithThePOSIXError)
{
    TemporaryFolder folder;
    writeFile(folder / "in.txt", "x");
    int fd = ::open((folder / "in.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    auto handle = NSFileHandle::fileHandleWithFileDescriptor(fd);
    try {
        handle->writeData(NSData::dataWithBytes("y", 1));
        ADD_FAILURE() << "no exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSFileHandleOperationException);
        auto underlying = dynamic_ref_cast<NSError>(e.userInfo()->objectForKey(NSUnderlyingErrorKey()));
        ASSERT_TRUE(underlying);
        EXPECT_EQ(underlying->code(), EBADF);
    }
    ::close(fd);
}

TEST(StringDecodablePrefix, FindsTheCutPointAndTheFirstBadByteInOnePass)
{
    constexpr auto none = static_cast<NSUInteger>(NSNotFound);
    struct Case {
        std::string bytes;
        NSStringEncoding encoding;
        std::u16string text;
        NSUInteger used;
        NSUInteger invalid;
    };
    const Case cases[] = {
        {"", NSUTF8StringEncoding, u"", 0, none},
        {"ab\xC3\xA9", NSUTF8StringEncoding, u"ab\u00E9", 4, none},
        {"ab\xE2\x82", NSUTF8StringEncoding, u"ab", 2, none},    // cut short: not an error
        {"a\xF0\x9F\x98", NSUTF8StringEncoding, u"a", 1, none},  // a 4-byte character cut short
        {"ab\xFF"
         "cd",
         NSUTF8StringEncoding, u"ab", 2, 2},                                // a byte nothing begins with
        {"a\xE2\x82x", NSUTF8StringEncoding, u"a", 1, 1},                   // a sequence broken off
        {"\xEF\xBB\xBFx", NSUTF8StringEncoding, u"\uFEFFx", 4, none},       // a mark stays text
        {std::string("\0a\0", 3), NSUnicodeStringEncoding, u"a", 2, none},  // big-endian, odd byte waits
        {std::string("\xFE\xFF\0a", 4), NSUnicodeStringEncoding, u"\uFEFFa", 4, none},
        {std::string("a\0\x00\xDC", 4), NSUTF16LittleEndianStringEncoding, u"a", 2, 2},  // lone trail surrogate
        {std::string("\0\0\0a\0\0", 6), NSUTF32BigEndianStringEncoding, u"a", 4, none},
        {"caf\xE9", NSWindowsCP1252StringEncoding, u"caf\u00E9", 4, none},
        {"a\x82\xA0", NSShiftJISStringEncoding, u"a\u3042", 3, none},
        {"a\x82", NSShiftJISStringEncoding, u"a", 1, none},
        {"abc", NSNonLossyASCIIStringEncoding, u"", 0, 0},  // no converter
    };
    for (const auto& c : cases) {
        std::u16string out = u"<";
        auto result = NSStringAppendDecodablePrefix(c.bytes.data(), c.bytes.size(), c.encoding, out);
        EXPECT_EQ(out, u"<" + c.text) << c.bytes;
        EXPECT_EQ(result.usedLength, c.used) << c.bytes;
        EXPECT_EQ(result.invalidOffset, c.invalid) << c.bytes;
    }
}
