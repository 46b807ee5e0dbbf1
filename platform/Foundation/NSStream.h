#pragma once
// Byte streams: the states every stream passes through and its error.
#include "Foundation/NSError.h"
#include "Foundation/NSObject.h"

enum NSStreamStatus : NSUInteger {
    NSStreamStatusNotOpen = 0,
    NSStreamStatusOpening = 1,
    NSStreamStatusOpen = 2,
    NSStreamStatusReading = 3,
    NSStreamStatusWriting = 4,
    NSStreamStatusAtEnd = 5,
    NSStreamStatusClosed = 6,
    NSStreamStatusError = 7,
};

class NSStream : public NSObject {
    NS_OBJECT(NSStream, NSObject)
protected:
    NSStream() = default;

public:
    virtual void open() { setStreamStatus(NSStreamStatusOpen); }
    virtual void close() { setStreamStatus(NSStreamStatusClosed); }
    NSStreamStatus streamStatus() const { return m_status; }
    // The failure that put the stream into NSStreamStatusError, else nil.
    const Ref<NSError>& streamError() const { return m_error; }

protected:
    // For subclasses: the state they are in, and a failure (which also moves
    // the stream into the error state).
    void setStreamStatus(NSStreamStatus status) { m_status = status; }
    void setStreamError(const Ref<NSError>& error)
    {
        m_error = error;
        m_status = NSStreamStatusError;
    }

private:
    NSStreamStatus m_status = NSStreamStatusNotOpen;
    Ref<NSError> m_error;
};
