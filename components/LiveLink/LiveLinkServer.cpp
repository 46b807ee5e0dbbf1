#include "LiveLink/LiveLinkServer.h"

#include <map>

#include "AppKit/NSAlert.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/Clock.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSError.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "LiveLink/LiveLink.h"
#include "LiveLink/LiveLinkBus.h"
#include "LiveLink/LiveLinkRemote.h"
#include "LiveLink/NSDictionary+LiveLinkData.h"

NS_CLASS_DEFINE(LiveLinkServer)

namespace {

constexpr NSTimeInterval kPublishWait = 10;
constexpr NSTimeInterval kAskInterval = 0.1;
constexpr int kDeepestFolder = 4;

// The published servers by name; they stay until retracted.
std::map<std::string, Ref<LiveLinkServer>>& publishedServers()
{
    static auto* servers = new std::map<std::string, Ref<LiveLinkServer>>();
    return *servers;
}

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : ""; }

std::string registeredName(const Ref<NSString>& bundleIdentifier, const Ref<NSString>& name)
{
    return text(bundleIdentifier) + ":" + text(name);
}

bool busNameHasOwner(LiveLinkBus* bus, const std::string& busName) { return bus->nameHasOwner(busName); }

}

LiveLinkServer::~LiveLinkServer()
{
    if (isPublished()) retract();
}

bool LiveLinkServer::publishServerWithName(const Ref<NSString>& name, const Id& delegate)
{
    auto server = alloc<LiveLinkServer>()->initWithName(name, delegate);
    return server->publish();
}

Ref<LiveLinkServer> LiveLinkServer::LiveLinkServerWithName(const Ref<NSString>& name)
{
    auto it = publishedServers().find(text(name));
    return it == publishedServers().end() ? nullptr : it->second;
}

Ref<LiveLinkServer> LiveLinkServer::initWithName(const Ref<NSString>& name, const Id& delegate)
{
    m_name = name ? dynamic_ref_cast<NSString>(name->copy()) : nullptr;
    m_delegate = delegate;
    return this;
}

bool LiveLinkServer::publish()
{
    if (isPublished() || !m_name) return isPublished();
    auto* bus = LiveLinkBus::shared();
    if (!bus) return false;
    const std::string busName =
        LiveLinkBus::busNameFor(registeredName(NSBundle::mainBundle()->bundleIdentifier(), m_name));
    if (busName.empty() || publishedServers().count(text(m_name))) return false;
    Weak<LiveLinkServer> weak(this);
    LiveLinkBus::ServerHandlers handlers;
    handlers.initiate = [weak](const LiveLinkBus::InitiateRequest& request) -> std::string {
        auto server = weak.get();
        if (!server) return {};
        auto client = LiveLinkRemoteLink::linkAt(request.sender, request.clientPath);
        auto link = alloc<LiveLink>()->initServerWithClient(
            client, NSString::stringWithUTF8String(request.sourceName),
            NSString::stringWithUTF8String(request.sourceApplicationName),
            NSString::stringWithUTF8String(request.itemKey), server->delegate());
        return link->exportOnBus();
    };
    m_path = bus->exportServer(busName, std::move(handlers));
    if (m_path.empty()) return false;
    if (!bus->requestName(busName)) {
        bus->unexport(m_path);
        m_path.clear();
        return false;
    }
    m_busName = busName;
    publishedServers()[text(m_name)] = this;
    return true;
}

void LiveLinkServer::retract()
{
    if (!isPublished()) return;
    Ref<LiveLinkServer> self(this);
    if (auto* bus = LiveLinkBus::shared()) {
        bus->releaseName(m_busName);
        bus->unexport(m_path);
    }
    m_busName.clear();
    m_path.clear();
    auto it = publishedServers().find(text(m_name));
    if (it != publishedServers().end() && it->second.get() == this) publishedServers().erase(it);
}

Id LiveLinkServer::initiateLiveLinkFromClient(const Ref<LiveLink>& client)
{
    if (!client) return nullptr;
    return alloc<LiveLink>()->initServerWithClient(client, client->sourceName(), client->sourceApplicationName(),
                                                   client->itemKey(), delegate());
}

Id LiveLinkServer::LiveLinkServerWithName(const Ref<NSString>& name, const Ref<NSString>& bundleIdentifier,
                                          bool launchIfNeeded, const Ref<NSURL>& fallbackURL,
                                          const Ref<NSString>& appName)
{
    // A server of this process is called directly.
    auto own = NSBundle::mainBundle()->bundleIdentifier();
    if (own && bundleIdentifier && own->isEqualToString(bundleIdentifier))
        if (auto local = LiveLinkServerWithName(name)) return local;
    auto* bus = LiveLinkBus::shared();
    const std::string busName = LiveLinkBus::busNameFor(registeredName(bundleIdentifier, name));
    if (!bus || busName.empty()) return nullptr;
    if (busNameHasOwner(bus, busName)) return LiveLinkRemoteServer::serverNamed(busName);
    if (launchIfNeeded) {
        auto workspace = NSWorkspace::sharedWorkspace();
        Ref<NSString> path = workspace->absolutePathForAppBundleWithIdentifier(bundleIdentifier);
        if (path) {
            auto bundle = NSBundle::bundleWithPath(path);
            if (!bundle ||
                !LiveLinkServerListContainsName(bundle->objectForInfoDictionaryKey("LiveLinkServer"_ns), name))
                path = nullptr;
        }
        for (const auto& folder : NSWorkspace::applicationFolders()) {
            if (path) break;
            path = LiveLinkFindServerApplication(NSString::stringWithUTF8String(folder), name, bundleIdentifier, 0);
        }
        // The application found is started from its path, never by name.
        if (!path || !workspace->launchApplicationAtPath(path)) {
            LiveLinkShowApplicationNotFound(appName, fallbackURL);
            return nullptr;
        }
    }
    // Ask every 0.1 s while the run loop serves the default mode, so the
    // interface stays alive during the wait.
    const NSTimeInterval start = Clock::now();
    while (!busNameHasOwner(bus, busName)) {
        if (Clock::now() - start >= kPublishWait) return nullptr;
        NSRunLoop::currentRunLoop()->runUntilDate(NSDate::dateWithTimeIntervalSinceNow(kAskInterval));
    }
    return LiveLinkRemoteServer::serverNamed(busName);
}

bool LiveLinkServerListContainsName(const Id& list, const Ref<NSString>& name)
{
    if (!name) return false;
    if (auto single = dynamic_ref_cast<NSString>(list)) return single->isEqualToString(name);
    if (auto many = dynamic_ref_cast<NSArray>(list))
        for (NSUInteger i = 0; i < many->count(); ++i)
            if (auto s = dynamic_ref_cast<NSString>(many->objectAtIndex(i)); s && s->isEqualToString(name)) return true;
    return false;
}

Ref<NSString> LiveLinkFindServerApplication(const Ref<NSString>& folder, const Ref<NSString>& serverName,
                                            const Ref<NSString>& bundleIdentifier, int depth)
{
    NSLog("searching for %@ in folder: %@", serverName, folder);
    auto path = folder->stringByExpandingTildeInPath()->stringByStandardizingPath();
    Ref<NSError> error;
    auto manager = NSFileManager::defaultManager();
    auto entries = manager->contentsOfDirectoryAtPath(path, &error);
    if (!entries) {
        // A missing folder is the usual case, not an error to show.
        if (manager->fileExistsAtPath(path)) NSLog("LiveLink: cannot list %@: %@", path, error);
        return nullptr;
    }
    for (NSUInteger i = entries->count(); i-- > 0;) {
        auto entry = dynamic_ref_cast<NSString>(entries->objectAtIndex(i));
        if (!entry || !entry->pathExtension()->isEqualToString("app"_ns)) continue;
        auto bundle = NSBundle::bundleWithPath(path->stringByAppendingPathComponent(entry));
        if (!bundle) continue;
        auto identifier = bundle->bundleIdentifier();
        if (identifier && bundleIdentifier && identifier->isEqualToString(bundleIdentifier) &&
            LiveLinkServerListContainsName(bundle->objectForInfoDictionaryKey("LiveLinkServer"_ns), serverName))
            return bundle->bundlePath();
    }
    if (depth >= kDeepestFolder) return nullptr;
    for (NSUInteger i = entries->count(); i-- > 0;) {
        auto entry = dynamic_ref_cast<NSString>(entries->objectAtIndex(i));
        if (!entry || entry->pathExtension()->isEqualToString("app"_ns)) continue;
        auto full = path->stringByAppendingPathComponent(entry);
        bool isFolder = false;
        if (!manager->fileExistsAtPath(full, &isFolder) || !isFolder) continue;
        if (auto found = LiveLinkFindServerApplication(full, serverName, bundleIdentifier, depth + 1)) return found;
    }
    return nullptr;
}

void LiveLinkShowApplicationNotFound(const Ref<NSString>& appName, const Ref<NSURL>& fallbackURL)
{
    auto alert = NSObject::make<NSAlert>();
    alert->setAlertStyle(NSCriticalAlertStyle);
    alert->setMessageText(
        NSString::stringWithFormat(LiveLinkData::localizedString("_AppNotFoundTitle", ""), appName ? appName : ""_ns));
    alert->setInformativeText(fallbackURL ? LiveLinkData::localizedString("_AppNotFoundMessageWithURL", "")
                                          : LiveLinkData::localizedString("_AppNotFoundMessageNoURL", ""));
    alert->addButtonWithTitle(LiveLinkData::localizedString("_OK", ""));
    if (fallbackURL) alert->addButtonWithTitle(LiveLinkData::localizedString("_GetApplication", ""));
    if (alert->runModal() == NSAlertSecondButtonReturn && fallbackURL)
        NSWorkspace::sharedWorkspace()->openURL(fallbackURL);
}
