#include "Carbon/Processes.h"

#include "WindowServer/WindowServer.h"

OSStatus GetCurrentProcess(ProcessSerialNumber* psn)
{
    if (!psn) return paramErr;
    *psn = {0, kCurrentProcess};
    return noErr;
}

OSStatus TransformProcessType(const ProcessSerialNumber* psn, ProcessApplicationTransformState transformState)
{
    if (!psn || psn->highLongOfPSN != 0 || psn->lowLongOfPSN != kCurrentProcess) return procNotFound;
    WSActivationPolicy policy;
    switch (transformState) {
    case kProcessTransformToForegroundApplication: policy = WSActivationPolicy::regular; break;
    case kProcessTransformToUIElementApplication: policy = WSActivationPolicy::accessory; break;
    default: return paramErr;
    }
    if (WindowServer::registeredBackends().empty()) return procNotFound;
    WindowServer::shared().setActivationPolicy(policy);
    return noErr;
}
