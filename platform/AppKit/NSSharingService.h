#pragma once
// Services that share items elsewhere (mail, messages, social sites). This
// system has none of its own: programs register providers, each answering the
// services it offers for a set of items, and the answer is empty until one
// does.
#include <functional>

#include "AppKit/NSImage.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSString.h"

class NSSharingService : public NSObject {
    NS_OBJECT(NSSharingService, NSObject)
protected:
    NSSharingService() = default;

public:
    using Handler = std::function<void()>;
    // A provider's answer for the items: its services that take them (empty
    // or nil for none).
    using Provider = std::function<Ref<NSArray>(const Ref<NSArray>& items)>;

    // initWithTitle:image:alternateImage:handler:
    static Ref<NSSharingService> initWithTitle(const Ref<NSString>& title, const Ref<NSImage>& image,
                                               const Ref<NSImage>& alternateImage, Handler handler);

    // The services of every provider, in the order the providers were added.
    static Ref<NSArray> sharingServicesForItems(const Ref<NSArray>& items);
    // Adds a provider; the token removes it again.
    static NSUInteger addServiceProvider(Provider provider);
    static void removeServiceProvider(NSUInteger token);

    Ref<NSString> title() const { return m_title; }
    Ref<NSImage> image() const { return m_image; }
    Ref<NSImage> alternateImage() const { return m_alternateImage; }
    // Held weakly, as the platform holds delegates.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // Runs the service's handler.
    void performWithItems(const Ref<NSArray>& items);

private:
    Ref<NSString> m_title;
    Ref<NSImage> m_image;
    Ref<NSImage> m_alternateImage;
    Handler m_handler;
    Weak<NSObject> m_delegate;
};
