#pragma once
// Errors with a domain, a code and user information.
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

// Error domains.
Ref<NSString> NSCocoaErrorDomain();
Ref<NSString> NSPOSIXErrorDomain();

// Codes of the Cocoa domain used by file reading.
inline constexpr NSInteger NSFileNoSuchFileError = 4;
inline constexpr NSInteger NSFileReadUnknownError = 256;
inline constexpr NSInteger NSFileReadNoPermissionError = 257;
inline constexpr NSInteger NSFileReadCorruptFileError = 259;
inline constexpr NSInteger NSFileReadNoSuchFileError = 260;

// User-information keys.
Ref<NSString> NSLocalizedDescriptionKey();
Ref<NSString> NSLocalizedFailureReasonErrorKey();
Ref<NSString> NSLocalizedRecoverySuggestionErrorKey();
Ref<NSString> NSLocalizedRecoveryOptionsErrorKey();
Ref<NSString> NSUnderlyingErrorKey();
Ref<NSString> NSFilePathErrorKey();

class NSError : public NSObject {
    NS_OBJECT(NSError, NSObject)
protected:
    NSError() = default;

public:
    static Ref<NSError> errorWithDomain(const Ref<NSString>& domain, NSInteger code, const Ref<NSDictionary>& userInfo);
    // An error of the POSIX domain for errno.
    static Ref<NSError> errorWithPOSIXCode(int code);

    const Ref<NSString>& domain() const { return m_domain; }
    NSInteger code() const { return m_code; }
    const Ref<NSDictionary>& userInfo() const { return m_userInfo; }
    // The user information's description, or a text made of domain and code.
    Ref<NSString> localizedDescription() const;
    Ref<NSString> localizedFailureReason() const;
    Ref<NSString> localizedRecoverySuggestion() const;
    Ref<NSArray> localizedRecoveryOptions() const;
    Ref<NSError> underlyingError() const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return static_cast<NSUInteger>(m_code); }
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSError*>(this); }

private:
    Ref<NSString> m_domain;
    NSInteger m_code = 0;
    Ref<NSDictionary> m_userInfo;
};
