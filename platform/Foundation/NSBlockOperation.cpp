#include "Foundation/NSBlockOperation.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSBlockOperation)

Ref<NSBlockOperation> NSBlockOperation::blockOperationWithBlock(std::function<void()> block)
{
    auto op = alloc<NSBlockOperation>();
    op->addExecutionBlock(std::move(block));
    return op;
}

void NSBlockOperation::addExecutionBlock(std::function<void()> block)
{
    if (!block) return;
    std::lock_guard guard(m_blocksLock);
    m_blocks.push_back(std::move(block));
}

void NSBlockOperation::main()
{
    std::vector<std::function<void()>> blocks;
    {
        std::lock_guard guard(m_blocksLock);
        blocks.swap(m_blocks);
    }
    for (const auto& block : blocks) block();
}
