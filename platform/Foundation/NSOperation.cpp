#include "Foundation/NSOperation.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSOperation)

void NSOperation::start()
{
    {
        std::lock_guard guard(m_lock);
        if (m_started)
            NSException::raise(NSInvalidArgumentException, "-[NSOperation start]: the operation has already started");
        m_started = true;
    }
    Ref<NSOperation> self(this);
    try {
        if (!isCancelled()) {
            m_executing.store(true);
            main();
        }
    } catch (...) {
        // Finished all the same, or waiters would hang.
        markFinished();
        throw;
    }
    if (auto completion = markFinished()) completion();
}

std::function<void()> NSOperation::markFinished()
{
    std::function<void()> completion;
    {
        std::lock_guard guard(m_lock);
        m_executing.store(false);
        m_finished.store(true);
        completion.swap(m_completionBlock);
    }
    m_finishedChanged.notify_all();
    return completion;
}

void NSOperation::setCompletionBlock(std::function<void()> block)
{
    std::lock_guard guard(m_lock);
    m_completionBlock = std::move(block);
}

std::function<void()> NSOperation::completionBlock() const
{
    std::lock_guard guard(m_lock);
    return m_completionBlock;
}

void NSOperation::waitUntilFinished()
{
    std::unique_lock lock(m_lock);
    m_finishedChanged.wait(lock, [&] { return m_finished.load(); });
}
