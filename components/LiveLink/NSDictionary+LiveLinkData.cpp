#include "LiveLink/NSDictionary+LiveLinkData.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>

#include "Foundation/NSBundle.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSProcessInfo.h"

namespace {

const Ref<NSString> kBundleId = "bundleId"_ns;
const Ref<NSString> kServerName = "serverName"_ns;
const Ref<NSString> kVersion = "version"_ns;
const Ref<NSString> kServerAppName = "serverAppName"_ns;
const Ref<NSString> kServerActionKey = "serverActionKey"_ns;
const Ref<NSString> kAppData = "appData"_ns;
const Ref<NSString> kApplicationURL = "ApplicationURL"_ns;
const Ref<NSString> kRefresh = "refresh"_ns;

Ref<NSString> stringFor(const Ref<NSDictionary>& data, const Ref<NSString>& key)
{
    return data ? dynamic_ref_cast<NSString>(data->objectForKey(key)) : nullptr;
}

}

namespace LiveLinkData {

Ref<NSString> localizedString(const char* key, const char* defaultValue)
{
    return NSBundle::bundleForClassNamed("LiveLink")
        ->localizedStringForKey(NSString::stringWithUTF8String(key), NSString::stringWithUTF8String(defaultValue),
                                "ZAKLiveLinkLocalized"_ns);
}

Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData,
                                             const Ref<NSString>& actionName, float suggestedRefreshRate)
{
    if (!serverName)
        NSException::raise(NSInvalidArgumentException, "LiveLink Data cannot be created without a server name.");
    auto bundle = NSBundle::mainBundle();
    auto data = NSMutableDictionary::dictionary();
    if (auto identifier = bundle->bundleIdentifier()) data->setObject(identifier, kBundleId);
    data->setObject(serverName->copy(), kServerName);
    data->setObject("A"_ns, kVersion);
    if (auto process = NSProcessInfo::processInfo()->processName()) data->setObject(process, kServerAppName);
    if (actionName) data->setObject(actionName, kServerActionKey);
    if (appData) data->setObject(appData, kAppData);
    if (auto url = dynamic_ref_cast<NSString>(bundle->objectForInfoDictionaryKey("LiveLinkApplicationURL"_ns)))
        data->setObject(url, kApplicationURL);
    data->setObject(NSNumber::numberWithFloat(suggestedRefreshRate), kRefresh);
    return data;
}

Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData)
{
    return liveLinkDataWithServerName(serverName, appData, nullptr, 0);
}

Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData,
                                             float suggestedRefreshRate)
{
    return liveLinkDataWithServerName(serverName, appData, "_Refresh"_ns, suggestedRefreshRate);
}

bool liveLinkDataBelongsToActiveApplication(const Ref<NSDictionary>& data)
{
    auto identifier = stringFor(data, kBundleId);
    auto own = NSBundle::mainBundle()->bundleIdentifier();
    return identifier && own && identifier->isEqualToString(own);
}

Id liveLinkAppData(const Ref<NSDictionary>& data) { return data ? data->objectForKey(kAppData) : nullptr; }

Ref<NSString> liveLinkSourceApplicationName(const Ref<NSDictionary>& data) { return stringFor(data, kServerAppName); }

Ref<NSString> liveLinkActionName(const Ref<NSDictionary>& data)
{
    auto key = stringFor(data, kServerActionKey);
    const std::string action = key ? key->UTF8String() : "_Edit";
    return localizedString(action.c_str(), action.c_str());
}

Ref<NSString> liveLinkEditMenuTitle(const Ref<NSDictionary>& data)
{
    auto application = liveLinkSourceApplicationName(data);
    return NSString::stringWithFormat(localizedString("_EditPattern", "%@ in %@"), liveLinkActionName(data),
                                      application ? application : ""_ns);
}

Ref<NSString> liveLinkVersion(const Ref<NSDictionary>& data) { return stringFor(data, kVersion); }

float liveLinkSuggestedRefreshRate(const Ref<NSDictionary>& data)
{
    auto rate = data ? dynamic_ref_cast<NSNumber>(data->objectForKey(kRefresh)) : nullptr;
    return rate ? rate->floatValue() : 0;
}

Ref<NSURL> liveLinkApplicationURL(const Ref<NSDictionary>& data)
{
    auto text = stringFor(data, kApplicationURL);
    return text ? NSURL::URLWithString(text) : nullptr;
}

}

Ref<NSDictionary> LiveLinkDataCreate(const Ref<NSString>& serverName, const Id& appData)
{
    return LiveLinkData::liveLinkDataWithServerName(serverName, appData);
}

Id LiveLinkDataAppData(const Ref<NSDictionary>& data) { return LiveLinkData::liveLinkAppData(data); }

bool LiveLinkDataIsOwnApplication(const Ref<NSDictionary>& data)
{
    return LiveLinkData::liveLinkDataBelongsToActiveApplication(data);
}

Ref<NSString> LiveLinkNewItemKey()
{
    static std::atomic<uint32_t> counter{0};
    auto identifier = NSBundle::mainBundle()->bundleIdentifier();
    const auto seconds = uint64_t(NSDate::date()->timeIntervalSinceReferenceDate());
    char tail[64];
    std::snprintf(tail, sizeof tail, "%" PRIu64 ".%.4x", seconds, unsigned(counter++));
    return NSString::stringWithUTF8String((identifier ? identifier->UTF8String() : std::string("(null)")) + tail);
}

Ref<NSString> LiveLinkMultipleItemsMenuTitle()
{
    return LiveLinkData::localizedString("_EditMultiple", "Edit LiveLink Items");
}

Ref<NSString> LiveLinkNoItemMenuTitle() { return LiveLinkData::localizedString("_EditNone", "Edit LiveLink Item"); }
