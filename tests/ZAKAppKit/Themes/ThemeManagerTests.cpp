#include <gtest/gtest.h>

#include "AppKitExtensions/NSGradient+ZAKNSGradientExtensions.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "ZAKAppKit/ZAKThemes/ZAKAbstractTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKGrayTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

namespace {

// The default key is class-wide: every test leaves it unset.
struct ThemeManager : testing::Test {
    void TearDown() override { ZAKThemeManager::setKeyOfDefaultThemeKey(nullptr); }
    static Ref<ZAKTheme> theme(const char* key)
    {
        return ZAKThemeManager::sharedThemeManager()->themeForKey(key ? NSString::stringWithUTF8String(key) : nullptr);
    }
};

TEST_F(ThemeManager, RegistersTheSixBuiltInThemesUnderTheirClassNames)
{
    const char* keys[] = {"ZAKGlassTheme", "ZAKFlatDarkTheme",  "ZAKHUDTheme",
                          "ZAKGrayTheme",  "ZAKLightGrayTheme", "ZAKWhiteTheme"};
    for (const char* key : keys) {
        auto found = theme(key);
        ASSERT_TRUE(found) << key;
        EXPECT_EQ(found->className()->UTF8String(), std::string(key));
    }
}

TEST_F(ThemeManager, IsOneManagerThatRefusesASecondAllocation)
{
    auto manager = ZAKThemeManager::sharedThemeManager();
    EXPECT_FALSE(ZAKThemeManager::allocWithZone());
    EXPECT_EQ(manager->copy().get(), manager.get());
    Ref<ZAKThemeManager> dropped = ZAKThemeManager::sharedThemeManager();
    dropped = nullptr;
    EXPECT_EQ(ZAKThemeManager::sharedThemeManager().get(), manager.get());
    EXPECT_TRUE(theme("ZAKWhiteTheme"));
}

TEST_F(ThemeManager, UnknownAndNilKeysAnswerTheDefaultThemeOnlyOnceOneIsSet)
{
    EXPECT_FALSE(theme("NoSuchTheme"));
    EXPECT_FALSE(theme(nullptr));
    EXPECT_FALSE(ZAKThemeManager::keyOfDefaultTheme());

    auto key = NSMutableString::stringWithString("ZAKGrayTheme"_ns);
    ZAKThemeManager::setKeyOfDefaultThemeKey(key);
    key->appendString("Changed"_ns);  // the manager keeps its own copy
    auto gray = theme("ZAKGrayTheme");
    ASSERT_TRUE(gray);
    EXPECT_TRUE(gray->isKindOfClass(ZAKGrayTheme::staticClass()));
    EXPECT_EQ(theme("NoSuchTheme").get(), gray.get());
    EXPECT_EQ(theme(nullptr).get(), gray.get());
    EXPECT_EQ(theme("ZAKWhiteTheme")->className()->UTF8String(), std::string("ZAKWhiteTheme"));
}

class PlainTheme : public ZAKAbstractTheme {
    NS_OBJECT(PlainTheme, ZAKAbstractTheme)
};
NS_CLASS_DEFINE(PlainTheme)

TEST_F(ThemeManager, AThemeRegisteredLaterAnswersAtTheNextLookUpAndNilIsRefused)
{
    auto manager = ZAKThemeManager::sharedThemeManager();
    auto theirs = NSObject::make<PlainTheme>();
    manager->setTheme(theirs, "TestTheme"_ns);
    EXPECT_EQ(theme("TestTheme").get(), theirs.get());
    auto replacement = NSObject::make<PlainTheme>();
    manager->setTheme(replacement, "TestTheme"_ns);
    EXPECT_EQ(theme("TestTheme").get(), replacement.get());
    EXPECT_THROW(manager->setTheme(nullptr, "Other"_ns), NSException);
    EXPECT_FALSE(theme("Other"));
}

TEST_F(ThemeManager, TheLightThemesFillFlatOrOverTheLightGrayPreset)
{
    auto white = theme("ZAKWhiteTheme");
    auto lightGray = theme("ZAKLightGrayTheme");
    for (NSUInteger mask : {0u, 1u, 4u}) {
        EXPECT_TRUE(white->fillColorForStateMask(mask)->isEqual(NSColor::whiteColor().get())) << mask;
        EXPECT_FALSE(white->gradientForStateMask(mask)) << mask;
        EXPECT_TRUE(lightGray->fillColorForStateMask(mask)->isEqual(NSColor::lightGrayColor().get())) << mask;
        EXPECT_EQ(lightGray->gradientForStateMask(mask).get(), NSGradientExt::gradientByType(100).get()) << mask;
    }
}

}
