#pragma once
// For the value classes: the current locale pinned (en_US unless a test
// names another) and the standard user defaults in a fresh temporary folder,
// with the measurement centre's defaults registered there.
#include <gtest/gtest.h>

#include "Foundation/NSLocale.h"
#include "Foundation/NSUserDefaults.h"
#include "TemporaryFolder.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"

inline void useLocale(const char* identifier)
{
    NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(identifier)));
}

class ValueEnvironment {
public:
    ValueEnvironment()
    {
        useLocale("en_US");
        NSUserDefaults::resetStandardUserDefaults();
        ZAKApplicationMeasurementCenter::initializeInformationCenter();
    }
    ~ValueEnvironment()
    {
        NSLocale::setCurrentLocale(nullptr);
        NSUserDefaults::resetStandardUserDefaults();
    }
    ValueEnvironment(const ValueEnvironment&) = delete;
    ValueEnvironment& operator=(const ValueEnvironment&) = delete;

private:
    TemporaryFolder m_config;
    ScopedEnvironment m_configHome{"XDG_CONFIG_HOME", m_config.path()};
};

class ValueTest : public testing::Test {
private:
    ValueEnvironment m_environment;
};

inline std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }
