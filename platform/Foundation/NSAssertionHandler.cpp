#include "Foundation/NSAssertionHandler.h"

#include <cstdlib>
#include <mutex>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"

NS_CLASS_DEFINE(NSAssertionHandler)

namespace {
thread_local Ref<NSAssertionHandler> t_handler;

std::mutex& abortLock()
{
    static std::mutex m;
    return m;
}
AbortHook& abortHook()
{
    static AbortHook hook;
    return hook;
}
}

Ref<NSAssertionHandler> NSAssertionHandler::currentHandler()
{
    if (!t_handler) t_handler = make<NSAssertionHandler>();
    return t_handler;
}

Ref<NSAssertionHandler> NSAssertionHandler::setCurrentHandler(const Ref<NSAssertionHandler>& handler)
{
    return std::exchange(t_handler, handler);
}

void NSAssertionHandler::handleFailureInMethod(const SEL& selector, const NSObject* object,
                                               const Ref<NSString>& fileName, NSInteger line,
                                               const Ref<NSString>& description)
{
    NSLog("*** Assertion failure in -[%@ %s], %@:%ld", object ? object->className() : nullptr, selector, fileName,
          line);
    NSException::raise(NSInternalInconsistencyException, description ? description->UTF8String() : "(null)");
}

void NSAssertionHandler::handleFailureInFunction(const Ref<NSString>& functionName, const Ref<NSString>& fileName,
                                                 NSInteger line, const Ref<NSString>& description)
{
    NSLog("*** Assertion failure in %@(), %@:%ld", functionName, fileName, line);
    NSException::raise(NSInternalInconsistencyException, description ? description->UTF8String() : "(null)");
}

AbortHook SetAbortHook(AbortHook hook)
{
    std::lock_guard lock(abortLock());
    return std::exchange(abortHook(), std::move(hook));
}

void AbortProcess()
{
    AbortHook hook;
    {
        std::lock_guard lock(abortLock());
        hook = abortHook();
    }
    if (hook) return hook();
    std::abort();
}
