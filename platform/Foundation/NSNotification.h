#pragma once
// A posted notice: a name, the object that posted it (or nil) and optional
// details.
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

class NSNotification : public NSObject {
    NS_OBJECT(NSNotification, NSObject)
protected:
    NSNotification() = default;

public:
    static Ref<NSNotification> notificationWithName(const Ref<NSString>& name, const Id& object,
                                                    const Ref<NSDictionary>& userInfo = nullptr);

    const Ref<NSString>& name() const { return m_name; }
    const Id& object() const { return m_object; }
    const Ref<NSDictionary>& userInfo() const { return m_userInfo; }

    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSNotification*>(this); }

private:
    Ref<NSString> m_name;
    Id m_object;
    Ref<NSDictionary> m_userInfo;
};
