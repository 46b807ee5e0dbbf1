#include "Foundation/NSUserDefaultsController.h"

#include <mutex>

#include "Foundation/NSClass.h"

namespace {

// The `values` proxy: every key is a defaults key.
class UserDefaultsValues : public NSObject {
    NS_OBJECT(UserDefaultsValues, NSObject)
protected:
    UserDefaultsValues() = default;

public:
    Ref<NSUserDefaults> defaults;

    // The defaults report their changes (from any side) to this object.
    Id valueForKey(const Ref<NSString>& key) override { return defaults->objectForKey(key); }
    void setValueForKey(const Id& value, const Ref<NSString>& key) override { defaults->setObject(value, key); }
};
NS_CLASS_DEFINE(UserDefaultsValues)

}

NS_CLASS_DEFINE(NSUserDefaultsController)

void NSUserDefaultsController::describeClass(NSClassMembers<NSUserDefaultsController>& m)
{
    m.property("values", &NSUserDefaultsController::values);
    m.property("defaults", &NSUserDefaultsController::defaults);
}

Ref<NSUserDefaultsController> NSUserDefaultsController::sharedUserDefaultsController()
{
    static std::mutex lock;
    static auto* shared = new Ref<NSUserDefaultsController>;
    std::lock_guard guard(lock);
    auto standard = NSUserDefaults::standardUserDefaults();
    // After resetStandardUserDefaults the controller follows the new object.
    if (!*shared || (*shared)->m_defaults != standard)
        *shared = alloc<NSUserDefaultsController>()->initWithDefaults(standard);
    return *shared;
}

Ref<NSUserDefaultsController> NSUserDefaultsController::initWithDefaults(const Ref<NSUserDefaults>& defaults)
{
    m_defaults = defaults ? defaults : NSUserDefaults::standardUserDefaults();
    auto values = alloc<UserDefaultsValues>();
    values->defaults = m_defaults;
    m_defaults->addChangeListener(values.get());
    m_values = values;
    return this;
}
