#pragma once
// An operation that runs blocks, in the order they were added.
#include <functional>
#include <vector>

#include "Foundation/NSOperation.h"

class NSBlockOperation : public NSOperation {
    NS_OBJECT(NSBlockOperation, NSOperation)
protected:
    NSBlockOperation() = default;

public:
    static Ref<NSBlockOperation> blockOperationWithBlock(std::function<void()> block);
    void addExecutionBlock(std::function<void()> block);
    void main() override;

private:
    std::mutex m_blocksLock;
    std::vector<std::function<void()>> m_blocks;
};
