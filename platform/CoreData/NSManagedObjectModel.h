#pragma once
// A managed-object model as the framework reads it: its entities and the
// localization dictionary that names them for people.
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"

class NSEntityDescription;

class NSManagedObjectModel : public NSObject {
    NS_OBJECT(NSManagedObjectModel, NSObject)
protected:
    NSManagedObjectModel() = default;

public:
    // Localized names by key ("Entity/Person", "Property/name/Entity/Person"
    // ...); nil until set.
    const Ref<NSDictionary>& localizationDictionary() const { return m_localizationDictionary; }
    void setLocalizationDictionary(const Ref<NSDictionary>& dictionary);

    // The entities in the order given; each learns that it belongs to the
    // model.
    const Ref<NSArray>& entities() const { return m_entities; }
    void setEntities(const Ref<NSArray>& entities);
    // The entity of that name, or nil.
    Ref<NSEntityDescription> entityNamed(const Ref<NSString>& name) const;

private:
    Ref<NSDictionary> m_localizationDictionary;
    Ref<NSArray> m_entities = NSArray::array();
};
