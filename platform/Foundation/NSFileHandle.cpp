#include "Foundation/NSFileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSError.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSFileHandle)

NSFileHandle::~NSFileHandle()
{
    if (m_closeOnDealloc && m_fd >= 0) ::close(m_fd);
}

Ref<NSFileHandle> NSFileHandle::fileHandleForWritingAtPath(const Ref<NSString>& path)
{
    if (!path) return nullptr;
    int fd = ::open(FileSupport::fsPath(path).c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return alloc<NSFileHandle>()->initWithFileDescriptor(fd, true);
}

Ref<NSFileHandle> NSFileHandle::fileHandleWithFileDescriptor(int fd)
{
    return alloc<NSFileHandle>()->initWithFileDescriptor(fd, false);
}

Ref<NSFileHandle> NSFileHandle::initWithFileDescriptor(int fd, bool closeOnDealloc)
{
    m_fd = fd;
    m_closeOnDealloc = closeOnDealloc;
    return this;
}

void NSFileHandle::raiseOperationFailure(const char* operation, int error) const
{
    auto info = NSDictionary::dictionaryWithObjectForKey(NSError::errorWithPOSIXCode(error), NSUnderlyingErrorKey());
    NSException::raise(NSFileHandleOperationException,
                       std::string("*** -[NSFileHandle ") + operation + "]: " + FileSupport::errnoText(error), info);
}

void NSFileHandle::writeData(const Ref<NSData>& data)
{
    if (!data) return;
    const uint8_t* bytes = data->bytes();
    NSUInteger left = data->length();
    while (left > 0) {
        ssize_t written = ::write(m_fd, bytes, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            raiseOperationFailure("writeData:", errno);
        }
        bytes += written;
        left -= static_cast<NSUInteger>(written);
    }
}

void NSFileHandle::closeFile()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}
