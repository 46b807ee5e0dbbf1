#include "Foundation/NSInputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSInputStream)

NSInputStream::~NSInputStream()
{
    if (m_fd >= 0) ::close(m_fd);
}

Ref<NSInputStream> NSInputStream::inputStreamWithFileAtPath(const Ref<NSString>& path)
{
    return alloc<NSInputStream>()->initWithFileAtPath(path);
}

Ref<NSInputStream> NSInputStream::inputStreamWithData(const Ref<NSData>& data)
{
    return alloc<NSInputStream>()->initWithData(data);
}

Ref<NSInputStream> NSInputStream::initWithFileAtPath(const Ref<NSString>& path)
{
    if (!path) return nullptr;
    m_source = Source::File;
    m_path = FileSupport::fsPath(path);
    return this;
}

Ref<NSInputStream> NSInputStream::initWithData(const Ref<NSData>& data)
{
    if (!data) return nullptr;
    m_source = Source::Data;
    m_data = data;
    return this;
}

void NSInputStream::open()
{
    if (streamStatus() != NSStreamStatusNotOpen) return;
    if (m_source != Source::File) {
        setStreamStatus(NSStreamStatusOpen);
        return;
    }
    int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        setStreamError(NSError::errorWithPOSIXCode(errno));
        return;
    }
    // A folder opens, but nothing can be read from it: say so at once.
    struct stat info { };
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        setStreamError(NSError::errorWithPOSIXCode(EISDIR));
        return;
    }
    m_fd = fd;
    setStreamStatus(NSStreamStatusOpen);
}

void NSInputStream::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    NSStream::close();
}

NSInteger NSInputStream::read(uint8_t* buffer, NSUInteger maxLength)
{
    NSStreamStatus status = streamStatus();
    if (status == NSStreamStatusAtEnd) return 0;
    if (status != NSStreamStatusOpen && status != NSStreamStatusReading) return -1;
    if (maxLength == 0) return 0;
    if (m_source == Source::Data) {
        NSUInteger count = std::min<NSUInteger>(maxLength, m_data->length() - m_offset);
        if (count) std::memcpy(buffer, m_data->bytes() + m_offset, count);
        m_offset += count;
        setStreamStatus(count ? NSStreamStatusOpen : NSStreamStatusAtEnd);
        return static_cast<NSInteger>(count);
    }
    if (m_fd < 0) return -1;
    ssize_t count;
    do {
        count = ::read(m_fd, buffer, maxLength);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        setStreamError(NSError::errorWithPOSIXCode(errno));
        return -1;
    }
    setStreamStatus(count ? NSStreamStatusOpen : NSStreamStatusAtEnd);
    return count;
}

bool NSInputStream::hasBytesAvailable() const
{
    NSStreamStatus status = streamStatus();
    if (status != NSStreamStatusOpen && status != NSStreamStatusReading) return false;
    if (m_source == Source::Data) return m_offset < m_data->length();
    return true;
}
