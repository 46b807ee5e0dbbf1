#pragma once
// A handle on an open file descriptor, here for writing.
#include "Foundation/NSData.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

inline constexpr const char* NSFileHandleOperationException = "NSFileHandleOperationException";

class NSFileHandle : public NSObject {
    NS_OBJECT(NSFileHandle, NSObject)
protected:
    NSFileHandle() = default;

public:
    ~NSFileHandle() override;

    // An existing file opened for writing at its start, without truncating
    // it; nil when it cannot be opened. The handle owns the descriptor and
    // closes it when it dies.
    static Ref<NSFileHandle> fileHandleForWritingAtPath(const Ref<NSString>& path);
    // A handle on a descriptor the caller keeps: it is not closed when the
    // handle dies.
    static Ref<NSFileHandle> fileHandleWithFileDescriptor(int fd);
    Ref<NSFileHandle> initWithFileDescriptor(int fd, bool closeOnDealloc = false);

    int fileDescriptor() const { return m_fd; }
    // Writes every byte (retrying short writes); on a failure raises
    // NSFileHandleOperationException whose reason names the POSIX error,
    // which also stands under NSUnderlyingErrorKey of the user information.
    void writeData(const Ref<NSData>& data);
    void closeFile();

private:
    [[noreturn]] void raiseOperationFailure(const char* operation, int error) const;

    int m_fd = -1;
    bool m_closeOnDealloc = false;
};
