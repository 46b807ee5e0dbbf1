#pragma once
// One entity of a managed-object model: its name and the model holding it.
#include "Foundation/NSString.h"

class NSManagedObjectModel;

class NSEntityDescription : public NSObject {
    NS_OBJECT(NSEntityDescription, NSObject)
protected:
    NSEntityDescription() = default;

public:
    static Ref<NSEntityDescription> entityWithName(const Ref<NSString>& name);

    const Ref<NSString>& name() const { return m_name; }
    void setName(const Ref<NSString>& name);
    // The model the entity was added to (not retained), or nil.
    Ref<NSManagedObjectModel> managedObjectModel() const;

private:
    friend class NSManagedObjectModel;
    Ref<NSString> m_name;
    Weak<NSManagedObjectModel> m_model;
};
