#pragma once
// The one exception type of the layer: a name, a reason and user information.
#include <exception>
#include <string>

#include "Foundation/NSObject.h"

#include "Foundation/NSDictionary.h"

inline constexpr const char* NSGenericException = "NSGenericException";
inline constexpr const char* NSInvalidArgumentException = "NSInvalidArgumentException";
inline constexpr const char* NSRangeException = "NSRangeException";
inline constexpr const char* NSInternalInconsistencyException = "NSInternalInconsistencyException";
inline constexpr const char* NSInconsistentArchiveException = "NSInconsistentArchiveException";
inline constexpr const char* NSInvalidArchiveOperationException = "NSInvalidArchiveOperationException";
inline constexpr const char* NSUndefinedKeyException = "NSUnknownKeyException";
inline constexpr const char* NSMallocException = "NSMallocException";

class NSException : public std::exception {
public:
    NSException(std::string name, std::string reason, Ref<NSDictionary> userInfo = nullptr);

    [[noreturn]] static void raise(const std::string& name, const std::string& reason,
                                   Ref<NSDictionary> userInfo = nullptr);
    [[noreturn]] void raise() const { throw *this; }

    Ref<NSString> name() const;
    Ref<NSString> reason() const;
    const Ref<NSDictionary>& userInfo() const { return m_userInfo; }
    const std::string& nameUTF8() const { return m_name; }
    const std::string& reasonUTF8() const { return m_reason; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::string m_name;
    std::string m_reason;
    Ref<NSDictionary> m_userInfo;
    std::string m_what;
};
