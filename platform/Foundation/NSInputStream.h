#pragma once
// A stream of bytes read from a file or from data in memory. Subclasses
// override open, read and close to supply bytes of their own (and use
// setStreamStatus / setStreamError to report how they fare).
#include <cstdint>

#include "Foundation/NSData.h"
#include "Foundation/NSStream.h"
#include "Foundation/NSString.h"

class NSInputStream : public NSStream {
    NS_OBJECT(NSInputStream, NSStream)
protected:
    NSInputStream() = default;

public:
    ~NSInputStream() override;

    // A stream is made even for a path that cannot be read; opening it then
    // fails with the POSIX error (a folder fails with EISDIR). nil for a nil
    // path or data.
    static Ref<NSInputStream> inputStreamWithFileAtPath(const Ref<NSString>& path);
    static Ref<NSInputStream> inputStreamWithData(const Ref<NSData>& data);
    Ref<NSInputStream> initWithFileAtPath(const Ref<NSString>& path);
    Ref<NSInputStream> initWithData(const Ref<NSData>& data);

    void open() override;
    void close() override;
    // Up to maxLength bytes into the buffer: the number read, 0 at the end of
    // the stream (which then reports NSStreamStatusAtEnd), or -1 on a failure
    // (streamError tells which). Reading a stream that is not open is -1.
    virtual NSInteger read(uint8_t* buffer, NSUInteger maxLength);
    // Whether a read may give bytes (YES also when only a read can tell).
    virtual bool hasBytesAvailable() const;

private:
    enum class Source { None, File, Data };
    Source m_source = Source::None;
    std::string m_path;
    int m_fd = -1;
    Ref<NSData> m_data;
    NSUInteger m_offset = 0;
};
