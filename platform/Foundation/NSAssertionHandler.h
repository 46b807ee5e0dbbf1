#pragma once
// Assertions. A failed NSAssert, NSParameterAssert, NSCAssert or
// NSCParameterAssert reaches the calling thread's assertion handler, whose
// default logs the failure and raises NSInternalInconsistencyException with
// the description as the reason. Tests install handlers of their own.
//
// AbortProcess stops the process through a replaceable process-wide hook, so that
// code which must stop the process can be tested.
#include <functional>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class NSAssertionHandler : public NSObject {
    NS_OBJECT(NSAssertionHandler, NSObject)
protected:
    NSAssertionHandler() = default;

public:
    // The calling thread's handler, made on first use.
    static Ref<NSAssertionHandler> currentHandler();
    // Installs a handler for the calling thread (nil restores the default)
    // and answers the one it replaces.
    static Ref<NSAssertionHandler> setCurrentHandler(const Ref<NSAssertionHandler>& handler);

    // Logs "*** Assertion failure in -[Class selector], file:line" and raises.
    virtual void handleFailureInMethod(const SEL& selector, const NSObject* object, const Ref<NSString>& fileName,
                                       NSInteger line, const Ref<NSString>& description);
    // Logs "*** Assertion failure in function(), file:line" and raises.
    virtual void handleFailureInFunction(const Ref<NSString>& functionName, const Ref<NSString>& fileName,
                                         NSInteger line, const Ref<NSString>& description);
};

using AbortHook = std::function<void()>;
// Installs the hook AbortProcess calls and answers the previous one; an empty hook
// restores the default, which aborts the process.
AbortHook SetAbortHook(AbortHook hook);
// Stops the process through the hook. A hook that tests install may return.
void AbortProcess();

// In member functions of NSObject classes: the method's name and the
// receiver are reported. The description is a format with its arguments.
#define NSAssert(condition, description, ...)                                                                          \
    do {                                                                                                               \
        if (!(condition)) [[unlikely]]                                                                                 \
            NSAssertionHandler::currentHandler()->handleFailureInMethod(                                               \
                __func__, this, NSString::stringWithUTF8String(__FILE__), __LINE__,                                    \
                NSString::stringWithFormat(description __VA_OPT__(, ) __VA_ARGS__));                                   \
    } while (0)

#define NSParameterAssert(condition)                                                                                   \
    NSAssert((condition), "Invalid parameter not satisfying: %@", NSString::stringWithUTF8String(#condition))

// In free and static functions.
#define NSCAssert(condition, description, ...)                                                                         \
    do {                                                                                                               \
        if (!(condition)) [[unlikely]]                                                                                 \
            NSAssertionHandler::currentHandler()->handleFailureInFunction(                                             \
                NSString::stringWithUTF8String(__func__), NSString::stringWithUTF8String(__FILE__), __LINE__,          \
                NSString::stringWithFormat(description __VA_OPT__(, ) __VA_ARGS__));                                   \
    } while (0)

#define NSCParameterAssert(condition)                                                                                  \
    NSCAssert((condition), "Invalid parameter not satisfying: %@", NSString::stringWithUTF8String(#condition))
