#include "CoreData/NSEntityDescription.h"

#include "CoreData/NSManagedObjectModel.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSEntityDescription)

Ref<NSEntityDescription> NSEntityDescription::entityWithName(const Ref<NSString>& name)
{
    auto entity = make<NSEntityDescription>();
    entity->setName(name);
    return entity;
}

void NSEntityDescription::setName(const Ref<NSString>& name)
{
    m_name = name ? static_ref_cast<NSString>(name->copy()) : nullptr;
}

Ref<NSManagedObjectModel> NSEntityDescription::managedObjectModel() const { return m_model.get(); }
