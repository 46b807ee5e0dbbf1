#pragma once
// The controller that bindings use to reach the user defaults: its `values`
// object reads and writes the defaults by key (valueForKey,
// setValueForKey, valueForKeyPath) and reports changes made through either
// side to its key-value observers.
#include "Foundation/NSUserDefaults.h"

class NSUserDefaultsController : public NSObject {
    NS_OBJECT(NSUserDefaultsController, NSObject)
protected:
    NSUserDefaultsController() = default;

public:
    // The controller of the standard user defaults.
    static Ref<NSUserDefaultsController> sharedUserDefaultsController();
    Ref<NSUserDefaultsController> initWithDefaults(const Ref<NSUserDefaults>& defaults);

    Ref<NSUserDefaults> defaults() const { return m_defaults; }
    Id values() const { return m_values; }

    static void describeClass(NSClassMembers<NSUserDefaultsController>& m);

private:
    Ref<NSUserDefaults> m_defaults;
    Id m_values;
};
