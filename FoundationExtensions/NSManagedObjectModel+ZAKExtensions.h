#pragma once
// NSManagedObjectModel(ZAKExtensions): names for people of entities and
// properties, and the labels and placeholders of their fields, from the
// model's localization dictionary. Every lookup answers a string, never nil;
// a model without a dictionary acts as one with an empty dictionary.
//
//   entity name    "Entity/<entity>", else "missing localization"
//   property name  "Property/<property>/Entity/<entity>", "Property/<property>",
//                  else "missing localization"
//   label          "Label/Property/<property>/Entity/<entity>",
//                  "Label/Property/<property>", else the property name; ":" appended
//   placeholder    "Placeholder/Property/<property>/Entity/<entity>",
//                  "Placeholder/Property/<property>", else the property name
#include "CoreData/NSEntityDescription.h"
#include "CoreData/NSManagedObjectModel.h"

namespace NSManagedObjectModelExt {

Ref<NSString> localizedEntityNameOfEntity(const Ref<NSManagedObjectModel>& model,
                                          const Ref<NSEntityDescription>& entity);
Ref<NSString> localizedPropertyNameForPropertyName(const Ref<NSManagedObjectModel>& model,
                                                   const Ref<NSString>& propertyName,
                                                   const Ref<NSEntityDescription>& entity);
Ref<NSString> localizedLabelForPropertyName(const Ref<NSManagedObjectModel>& model, const Ref<NSString>& propertyName,
                                            const Ref<NSEntityDescription>& entity);
Ref<NSString> localizedPlaceholderForPropertyName(const Ref<NSManagedObjectModel>& model,
                                                  const Ref<NSString>& propertyName,
                                                  const Ref<NSEntityDescription>& entity);

}
