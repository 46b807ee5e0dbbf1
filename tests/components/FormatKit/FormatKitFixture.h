#pragma once
// Pins the current locale (en_US unless a test names another) and restores
// the environment's afterwards.
#include <gtest/gtest.h>

#include "Foundation/NSLocale.h"
#include "Foundation/NSNumber.h"

class FormatKitTest : public testing::Test {
protected:
    void SetUp() override { useLocale("en_US"); }
    void TearDown() override { NSLocale::setCurrentLocale(nullptr); }
    static void useLocale(const char* identifier)
    {
        NSLocale::setCurrentLocale(NSLocale::localeWithLocaleIdentifier(NSString::stringWithUTF8String(identifier)));
    }
};

inline std::string utf8(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }
