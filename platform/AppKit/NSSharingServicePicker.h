#pragma once
// A picker of the sharing services for a set of items.
#include "AppKit/NSSharingService.h"

class NSSharingServicePicker : public NSObject {
    NS_OBJECT(NSSharingServicePicker, NSObject)
protected:
    NSSharingServicePicker() = default;

public:
    // initWithItems:
    static Ref<NSSharingServicePicker> initWithItems(const Ref<NSArray>& items);

    Ref<NSArray> items() const { return m_items; }
    // The services it would offer: NSSharingService's answer for its items.
    Ref<NSArray> sharingServices() const { return NSSharingService::sharingServicesForItems(m_items); }
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

private:
    Ref<NSArray> m_items;
    Weak<NSObject> m_delegate;
};
