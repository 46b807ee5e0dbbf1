#include "CoreData/NSManagedObjectModel.h"

#include "CoreData/NSEntityDescription.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSManagedObjectModel)

void NSManagedObjectModel::setLocalizationDictionary(const Ref<NSDictionary>& dictionary)
{
    m_localizationDictionary = dictionary ? static_ref_cast<NSDictionary>(dictionary->copy()) : nullptr;
}

void NSManagedObjectModel::setEntities(const Ref<NSArray>& entities)
{
    for (const Id& old : *m_entities)
        if (auto entity = dynamic_ref_cast<NSEntityDescription>(old)) entity->m_model = nullptr;
    m_entities = entities ? NSArray::arrayWithArray(entities) : NSArray::array();
    for (const Id& item : *m_entities)
        if (auto entity = dynamic_ref_cast<NSEntityDescription>(item)) entity->m_model = this;
}

Ref<NSEntityDescription> NSManagedObjectModel::entityNamed(const Ref<NSString>& name) const
{
    for (const Id& item : *m_entities) {
        auto entity = dynamic_ref_cast<NSEntityDescription>(item);
        if (entity && entity->name() && entity->name()->isEqual(name.get())) return entity;
    }
    return nullptr;
}
