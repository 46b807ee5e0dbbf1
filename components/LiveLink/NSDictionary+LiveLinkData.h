#pragma once
// NSDictionary(LiveLinkData): the link data a client keeps for an item that
// a server application edits, as the "LiveLinkData" pasteboard type carries
// it, and the plain functions over it.
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"
#include "Foundation/NSURL.h"

inline const Ref<NSString> LiveLinkDataPboardType = "LiveLinkData"_ns;

namespace LiveLinkData {

// The keys in the order they are written: "bundleId", "serverName",
// "version" ("A"), "serverAppName", "serverActionKey" (when given),
// "appData" (when given), "ApplicationURL" (when the application's Info
// has "LiveLinkApplicationURL") and "refresh" (a float, 0 by default). A
// nil server name raises NSInvalidArgumentException.
Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData,
                                             const Ref<NSString>& actionName, float suggestedRefreshRate);
Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData);
// With the action "_Refresh".
Ref<NSDictionary> liveLinkDataWithServerName(const Ref<NSString>& serverName, const Id& appData,
                                             float suggestedRefreshRate);

bool liveLinkDataBelongsToActiveApplication(const Ref<NSDictionary>& data);
Id liveLinkAppData(const Ref<NSDictionary>& data);
Ref<NSString> liveLinkSourceApplicationName(const Ref<NSDictionary>& data);
// The localized action ("_Edit" when the data names none).
Ref<NSString> liveLinkActionName(const Ref<NSDictionary>& data);
// "<action> in <application>" by the localized "_EditPattern".
Ref<NSString> liveLinkEditMenuTitle(const Ref<NSDictionary>& data);
Ref<NSString> liveLinkVersion(const Ref<NSDictionary>& data);
float liveLinkSuggestedRefreshRate(const Ref<NSDictionary>& data);
// nil when the data has no application URL or it is not a URL.
Ref<NSURL> liveLinkApplicationURL(const Ref<NSDictionary>& data);

// A text of the "ZAKLiveLinkLocalized" table in the bundle of LiveLink.
Ref<NSString> localizedString(const char* key, const char* defaultValue);

}

Ref<NSDictionary> LiveLinkDataCreate(const Ref<NSString>& serverName, const Id& appData);
Id LiveLinkDataAppData(const Ref<NSDictionary>& data);
bool LiveLinkDataIsOwnApplication(const Ref<NSDictionary>& data);
// The application's bundle identifier, the whole seconds since the
// reference date and a process-wide counter: "<id><seconds>.<counter>" with
// at least four hexadecimal digits of counter.
Ref<NSString> LiveLinkNewItemKey();
Ref<NSString> LiveLinkMultipleItemsMenuTitle();
Ref<NSString> LiveLinkNoItemMenuTitle();
