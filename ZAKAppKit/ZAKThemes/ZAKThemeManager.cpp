#include "ZAKAppKit/ZAKThemes/ZAKThemeManager.h"

#include <mutex>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "ZAKAppKit/ZAKThemes/ZAKFlatDarkTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKGlassTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKGrayTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKHUDTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKLightGrayTheme.h"
#include "ZAKAppKit/ZAKThemes/ZAKWhiteTheme.h"

NS_CLASS_DEFINE(ZAKThemeManager)

namespace {

std::mutex& classLock()
{
    static std::mutex lock;
    return lock;
}

// Both are read and written under the class lock.
Ref<ZAKThemeManager>& sharedManager()
{
    static auto* manager = new Ref<ZAKThemeManager>;
    return *manager;
}

Ref<NSString>& defaultKey()
{
    static auto* key = new Ref<NSString>;
    return *key;
}

}

void ZAKThemeManager::initialize()
{
    Ref<ZAKThemeManager> manager;
    {
        std::lock_guard guard(classLock());
        if (!sharedManager()) {
            // Not through alloc: that would wait for this very initialisation.
            sharedManager() = Ref<ZAKThemeManager>::adopt(new ZAKThemeManager);
            sharedManager()->init();
        }
        manager = sharedManager();
    }
    manager->registerDefaultThemes();
}

Ref<ZAKThemeManager> ZAKThemeManager::sharedThemeManager()
{
    staticClass();
    std::lock_guard guard(classLock());
    return sharedManager();
}

Ref<ZAKThemeManager> ZAKThemeManager::allocWithZone()
{
    staticClass();
    std::lock_guard guard(classLock());
    if (sharedManager()) return nullptr;
    sharedManager() = Ref<ZAKThemeManager>::adopt(new ZAKThemeManager);
    return sharedManager();
}

Id ZAKThemeManager::init()
{
    m_themes = NSMutableDictionary::dictionary();
    return this;
}

void ZAKThemeManager::registerDefaultThemes()
{
    setTheme(make<ZAKGlassTheme>(), "ZAKGlassTheme"_ns);
    setTheme(make<ZAKFlatDarkTheme>(), "ZAKFlatDarkTheme"_ns);
    setTheme(make<ZAKHUDTheme>(), "ZAKHUDTheme"_ns);
    setTheme(make<ZAKGrayTheme>(), "ZAKGrayTheme"_ns);
    setTheme(make<ZAKLightGrayTheme>(), "ZAKLightGrayTheme"_ns);
    setTheme(make<ZAKWhiteTheme>(), "ZAKWhiteTheme"_ns);
}

Ref<ZAKTheme> ZAKThemeManager::themeForKey(const Ref<NSString>& key) const
{
    Ref<ZAKTheme> theme = key ? dynamic_ref_cast<ZAKTheme>(m_themes->objectForKey(key)) : nullptr;
    if (theme) return theme;
    auto fallback = keyOfDefaultTheme();
    return fallback ? dynamic_ref_cast<ZAKTheme>(m_themes->objectForKey(fallback)) : nullptr;
}

void ZAKThemeManager::setTheme(const Ref<ZAKTheme>& theme, const Ref<NSString>& key)
{
    if (!theme) NSException::raise(NSInvalidArgumentException, "-[ZAKThemeManager setTheme:forKey:]: nil theme");
    m_themes->setObject(theme, key);
}

Ref<NSString> ZAKThemeManager::keyOfDefaultTheme()
{
    std::lock_guard guard(classLock());
    return defaultKey();
}

void ZAKThemeManager::setKeyOfDefaultThemeKey(const Ref<NSString>& key)
{
    auto copy = key ? static_ref_cast<NSString>(key->copy()) : nullptr;
    std::lock_guard guard(classLock());
    defaultKey() = copy;
}
