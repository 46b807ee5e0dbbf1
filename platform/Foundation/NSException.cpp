#include "Foundation/NSException.h"

#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

NSException::NSException(std::string name, std::string reason, Ref<NSDictionary> userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what(m_name + ": " + m_reason)
{ }

void NSException::raise(const std::string& name, const std::string& reason, Ref<NSDictionary> userInfo)
{
    throw NSException(name, reason, std::move(userInfo));
}

Ref<NSString> NSException::name() const { return NSString::stringWithUTF8String(m_name); }
Ref<NSString> NSException::reason() const { return NSString::stringWithUTF8String(m_reason); }
