#pragma once
// For the value classes: the current locale pinned (en_US unless a test
// names another) and the standard user defaults in a fresh temporary folder,
// with the measurement centre's defaults registered there.
#include <gtest/gtest.h>

#include "Foundation/NSLocale.h"
#include "Foundation/NSUserDefaults.h"
#include "TemporaryFolder.h"
#include "ZAKAppKit/ZAKMeasurement/ZAKApplicationMeasurementCenter.h"

class ValueTest : public testing::Test {
protected:
    void SetUp() override
    {
        useLocale("en_US");
        NSUserDefaults::resetStandardUserDefaults();
        ZAKApplicationMeasurementCenter::initializeInformationCenter();
    }
    void TearDown() override
    {
        NSLocale::setCurrentLocale(nullptr);
        NSUserDefaults::resetStandardUserDefaults();
    }
    static void useLocale(const char* identifier)
    {
        NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(identifier)));
    }

private:
    TemporaryFolder m_config;
    ScopedEnvironment m_environment{"XDG_CONFIG_HOME", m_config.path()};
};

inline std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }
