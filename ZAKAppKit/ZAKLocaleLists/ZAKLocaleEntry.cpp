#include "ZAKAppKit/ZAKLocaleLists/ZAKLocaleEntry.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLocaleEntry)

Ref<ZAKLocaleEntry> ZAKLocaleEntry::initWithLocaleIdentifier(const Ref<NSString>& identifier)
{
    storeIdentifier(identifier);
    return this;
}

Ref<NSString> ZAKLocaleEntry::displayName() const
{
    return NSLocale::currentLocale()->displayNameForKey(displayNameKey(), m_localeIdentifier);
}

Ref<NSString> ZAKLocaleEntry::description() const { return displayName(); }

bool ZAKLocaleEntry::isEqual(const NSObject* other) const
{
    if (!other || !m_localeIdentifier) return false;
    if (&other->realClass() == &NSString::staticClass())
        return m_localeIdentifier->isEqualToString(
            Ref<NSString>(const_cast<NSString*>(static_cast<const NSString*>(other))));
    if (&other->realClass() != &realClass()) return false;
    const Ref<NSString> theirs = static_cast<const ZAKLocaleEntry*>(other)->m_localeIdentifier;
    return theirs && m_localeIdentifier->isEqualToString(theirs);
}

NSComparisonResult ZAKLocaleEntry::caseInsensitiveDisplayNameCompare(const Ref<ZAKLocaleEntry>& other) const
{
    const Ref<NSString> mine = displayName();
    const Ref<NSString> theirs = other ? other->displayName() : nullptr;
    // A message to a nil name answers NSOrderedSame.
    if (!mine) return NSOrderedSame;
    return mine->localizedCaseInsensitiveCompare(theirs);
}

Ref<NSMutableArray> ZAKLocaleEntry::supportedEntries(SupportedList& list, const std::function<Ref<NSArray>()>& make)
{
    std::lock_guard guard(list.lock);
    if (!list.entries) list.entries = make();
    return NSMutableArray::arrayWithArray(list.entries);
}

Ref<NSArray> ZAKLocaleEntry::sortedByDisplayName(const Ref<NSArray>& entries)
{
    return entries->sortedArrayUsingComparator([](const Id& a, const Id& b) {
        return int(
            static_ref_cast<ZAKLocaleEntry>(a)->caseInsensitiveDisplayNameCompare(static_ref_cast<ZAKLocaleEntry>(b)));
    });
}
