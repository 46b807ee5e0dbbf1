#include "Foundation/NSError.h"

#include "Foundation/FileSupport.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSError)

Ref<NSString> NSCocoaErrorDomain() { return "NSCocoaErrorDomain"_ns; }
Ref<NSString> NSPOSIXErrorDomain() { return "NSPOSIXErrorDomain"_ns; }
Ref<NSString> NSFilePathErrorKey() { return "NSFilePath"_ns; }
Ref<NSString> NSLocalizedDescriptionKey() { return "NSLocalizedDescription"_ns; }
Ref<NSString> NSLocalizedFailureReasonErrorKey() { return "NSLocalizedFailureReason"_ns; }
Ref<NSString> NSLocalizedRecoverySuggestionErrorKey() { return "NSLocalizedRecoverySuggestion"_ns; }
Ref<NSString> NSLocalizedRecoveryOptionsErrorKey() { return "NSLocalizedRecoveryOptions"_ns; }
Ref<NSString> NSUnderlyingErrorKey() { return "NSUnderlyingError"_ns; }

Ref<NSError> NSError::errorWithDomain(const Ref<NSString>& domain, NSInteger code, const Ref<NSDictionary>& userInfo)
{
    auto e = alloc<NSError>();
    e->m_domain = domain ? static_ref_cast<NSString>(domain->copy()) : nullptr;
    e->m_code = code;
    // A copy, so a mutable dictionary changed later leaves the error as made.
    e->m_userInfo = userInfo ? static_ref_cast<NSDictionary>(userInfo->copy()) : NSDictionary::dictionary();
    return e;
}

Ref<NSError> NSError::errorWithPOSIXCode(int code)
{
    auto info = NSDictionary::dictionaryWithObjectForKey(
        FileSupport::stringFromFileSystem(FileSupport::errnoText(code)), NSLocalizedDescriptionKey());
    return errorWithDomain(NSPOSIXErrorDomain(), code, info);
}

Ref<NSString> NSError::localizedDescription() const
{
    if (auto text = dynamic_ref_cast<NSString>(m_userInfo->objectForKey(NSLocalizedDescriptionKey()))) return text;
    return NSString::stringWithFormat("The operation couldn\u2019t be completed. (%@ error %ld.)", m_domain, m_code);
}

Ref<NSString> NSError::localizedFailureReason() const
{
    return dynamic_ref_cast<NSString>(m_userInfo->objectForKey(NSLocalizedFailureReasonErrorKey()));
}

Ref<NSString> NSError::localizedRecoverySuggestion() const
{
    return dynamic_ref_cast<NSString>(m_userInfo->objectForKey(NSLocalizedRecoverySuggestionErrorKey()));
}

Ref<NSArray> NSError::localizedRecoveryOptions() const
{
    return dynamic_ref_cast<NSArray>(m_userInfo->objectForKey(NSLocalizedRecoveryOptionsErrorKey()));
}

Ref<NSError> NSError::underlyingError() const
{
    return dynamic_ref_cast<NSError>(m_userInfo->objectForKey(NSUnderlyingErrorKey()));
}

bool NSError::isEqual(const NSObject* other) const
{
    auto* e = dynamic_cast<const NSError*>(other);
    return e && e->m_code == m_code && e->m_domain && m_domain && e->m_domain->isEqual(m_domain.get()) &&
           e->m_userInfo->isEqual(m_userInfo.get());
}

Ref<NSString> NSError::description() const
{
    return NSString::stringWithFormat("Error Domain=%@ Code=%ld \"%@\"", m_domain, m_code, localizedDescription());
}
