#pragma once
// The process-wide registry of themes by key. It comes into being with the
// class (the six built-in themes registered) and is never destroyed; a second
// allocation is refused.
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKThemeManager : public NSObject {
    NS_OBJECT(ZAKThemeManager, NSObject)
protected:
    ZAKThemeManager() = default;

public:
    static void initialize();
    static Ref<ZAKThemeManager> sharedThemeManager();
    // nil once the shared manager exists, which class initialisation ensures.
    static Ref<ZAKThemeManager> allocWithZone();
    Id init() override;
    Id copy() const override { return const_cast<ZAKThemeManager*>(this); }

    // Glass, flat dark, HUD, gray, light gray, white, in this order.
    void registerDefaultThemes();
    // The theme under the key; for an unknown or nil key the default theme
    // when a default key is set, otherwise nil.
    Ref<ZAKTheme> themeForKey(const Ref<NSString>& key) const;
    // Stores or replaces; a nil theme or key raises NSInvalidArgumentException.
    void setTheme(const Ref<ZAKTheme>& theme, const Ref<NSString>& key);

    static Ref<NSString> keyOfDefaultTheme();
    static void setKeyOfDefaultThemeKey(const Ref<NSString>& key);

private:
    Ref<NSMutableDictionary> m_themes;
};
