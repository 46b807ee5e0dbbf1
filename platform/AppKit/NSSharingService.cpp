#include "AppKit/NSSharingService.h"

#include <mutex>
#include <utility>
#include <vector>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSSharingService)

namespace {

struct ProviderRegistry {
    std::mutex lock;
    NSUInteger nextToken = 1;
    std::vector<std::pair<NSUInteger, NSSharingService::Provider>> providers;
};

ProviderRegistry& registry()
{
    static auto* providers = new ProviderRegistry;
    return *providers;
}

}  // namespace

Ref<NSSharingService> NSSharingService::initWithTitle(const Ref<NSString>& title, const Ref<NSImage>& image,
                                                      const Ref<NSImage>& alternateImage, Handler handler)
{
    auto service = make<NSSharingService>();
    service->m_title = title ? NSString::stringWithString(title) : ""_ns;
    service->m_image = image;
    service->m_alternateImage = alternateImage;
    service->m_handler = std::move(handler);
    return service;
}

Ref<NSArray> NSSharingService::sharingServicesForItems(const Ref<NSArray>& items)
{
    std::vector<Provider> providers;
    {
        std::lock_guard guard(registry().lock);
        for (const auto& entry : registry().providers) providers.push_back(entry.second);
    }
    auto services = NSMutableArray::array();
    // Asked outside the lock: a provider may add or remove providers.
    for (const Provider& provider : providers)
        if (auto offered = provider(items)) services->addObjectsFromArray(offered);
    return services;
}

NSUInteger NSSharingService::addServiceProvider(Provider provider)
{
    std::lock_guard guard(registry().lock);
    const NSUInteger token = registry().nextToken++;
    registry().providers.emplace_back(token, std::move(provider));
    return token;
}

void NSSharingService::removeServiceProvider(NSUInteger token)
{
    std::lock_guard guard(registry().lock);
    std::erase_if(registry().providers, [token](const auto& entry) { return entry.first == token; });
}

void NSSharingService::performWithItems(const Ref<NSArray>&)
{
    if (m_handler) m_handler();
}
