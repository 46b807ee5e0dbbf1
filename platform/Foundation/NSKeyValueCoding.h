#pragma once
// Process-wide replaceable parts of key-value coding. A category that
// overrides valueForUndefinedKey: for every object, or NSMutableArray's
// valueForKey:, installs its behaviour here; each setter answers the previous
// hook so the new one can fall back to it. An empty hook restores the default.
#include <functional>

#include "Foundation/NSObject.h"

class NSMutableArray;

// Called by NSObject::valueForUndefinedKey. The default raises
// NSUndefinedKeyException ("NSUnknownKeyException").
using ValueForUndefinedKeyHook = std::function<Id(NSObject* receiver, const Ref<NSString>& key)>;
ValueForUndefinedKeyHook SetValueForUndefinedKeyHook(ValueForUndefinedKeyHook hook);

// NSMutableArray's valueForKey:. The default maps the key over the elements
// (nil results become NSNull) and answers "@"-operators such as "@count".
using MutableArrayValueForKeyHook = std::function<Id(NSMutableArray* receiver, const Ref<NSString>& key)>;
MutableArrayValueForKeyHook SetMutableArrayValueForKeyHook(MutableArrayValueForKeyHook hook);
