#pragma once
// What a country entry and a language entry share: one identifier, a
// display name in the current locale computed on every call, equality by
// class and identifier, and a process-wide list of every supported entry,
// built on the first request with the locale current then and never
// rebuilt. Each request answers a fresh mutable copy of that list, so no
// caller can change it for the others.
#include <functional>
#include <mutex>

#include "Foundation/NSArray.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSString.h"

class ZAKLocaleEntry : public NSObject {
    NS_OBJECT(ZAKLocaleEntry, NSObject)
protected:
    ZAKLocaleEntry() = default;

public:
    Ref<ZAKLocaleEntry> initWithLocaleIdentifier(const Ref<NSString>& identifier);
    Ref<NSString> localeIdentifier() const { return m_localeIdentifier; }
    // The current locale's name for the identifier; nil when ICU has none.
    Ref<NSString> displayName() const;
    // The identifier's UTF-8 text, where a C string of it is wanted.
    std::string UTF8String() const { return m_localeIdentifier ? m_localeIdentifier->UTF8String() : std::string(); }
    Ref<NSString> description() const override;
    // YES for a plain string (not of a subclass) equal to the identifier, or
    // an entry of exactly the same class with an equal identifier.
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_localeIdentifier ? m_localeIdentifier->hash() : 0; }
    // The localized case-insensitive order of the display names.
    NSComparisonResult caseInsensitiveDisplayNameCompare(const Ref<ZAKLocaleEntry>& other) const;

protected:
    // The display-name key of the class's identifiers (NSLocaleCountryCode or
    // NSLocaleIdentifier).
    virtual Ref<NSString> displayNameKey() const = 0;
    void storeIdentifier(const Ref<NSString>& identifier) { m_localeIdentifier = identifier; }

    // One class's kept list.
    struct SupportedList {
        std::mutex lock;
        Ref<NSArray> entries;
    };
    // A copy of the kept list, built first from `make` when there is none.
    static Ref<NSMutableArray> supportedEntries(SupportedList& list, const std::function<Ref<NSArray>()>& make);
    static Ref<NSArray> sortedByDisplayName(const Ref<NSArray>& entries);

private:
    Ref<NSString> m_localeIdentifier;
};
