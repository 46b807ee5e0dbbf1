#include "FoundationExtensions/NSManagedObjectModel+ZAKExtensions.h"

namespace {

Ref<NSString> missingLocalization() { return "missing localization"_ns; }

// The entry for the first key that has one, or nil.
Ref<NSString> lookUp(const Ref<NSManagedObjectModel>& model, std::initializer_list<Ref<NSString>> keys)
{
    Ref<NSDictionary> table = model ? model->localizationDictionary() : nullptr;
    if (!table) return nullptr;
    for (const Ref<NSString>& key : keys)
        if (auto text = dynamic_ref_cast<NSString>(table->objectForKey(key))) return text;
    return nullptr;
}

Ref<NSString> entityName(const Ref<NSEntityDescription>& entity) { return entity ? entity->name() : nullptr; }

// The entity-specific key, then the general one.
Ref<NSString> lookUpForProperty(const Ref<NSManagedObjectModel>& model, const char* prefix,
                                const Ref<NSString>& property, const Ref<NSEntityDescription>& entity)
{
    return lookUp(model, {NSString::stringWithFormat("%sProperty/%@/Entity/%@", prefix, property, entityName(entity)),
                          NSString::stringWithFormat("%sProperty/%@", prefix, property)});
}

}

namespace NSManagedObjectModelExt {

Ref<NSString> localizedEntityNameOfEntity(const Ref<NSManagedObjectModel>& model,
                                          const Ref<NSEntityDescription>& entity)
{
    Ref<NSString> name = lookUp(model, {NSString::stringWithFormat("Entity/%@", entityName(entity))});
    return name ? name : missingLocalization();
}

Ref<NSString> localizedPropertyNameForPropertyName(const Ref<NSManagedObjectModel>& model,
                                                   const Ref<NSString>& propertyName,
                                                   const Ref<NSEntityDescription>& entity)
{
    Ref<NSString> name = lookUpForProperty(model, "", propertyName, entity);
    return name ? name : missingLocalization();
}

Ref<NSString> localizedLabelForPropertyName(const Ref<NSManagedObjectModel>& model, const Ref<NSString>& propertyName,
                                            const Ref<NSEntityDescription>& entity)
{
    Ref<NSString> label = lookUpForProperty(model, "Label/", propertyName, entity);
    if (!label) label = localizedPropertyNameForPropertyName(model, propertyName, entity);
    return label->stringByAppendingString(":"_ns);
}

Ref<NSString> localizedPlaceholderForPropertyName(const Ref<NSManagedObjectModel>& model,
                                                  const Ref<NSString>& propertyName,
                                                  const Ref<NSEntityDescription>& entity)
{
    Ref<NSString> placeholder = lookUpForProperty(model, "Placeholder/", propertyName, entity);
    return placeholder ? placeholder : localizedPropertyNameForPropertyName(model, propertyName, entity);
}

}
