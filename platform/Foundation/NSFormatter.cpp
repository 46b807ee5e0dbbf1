#include "Foundation/NSFormatter.h"

#include "Foundation/NSAttributedString.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSFormatter)

Ref<NSString> NSFormatter::stringForObjectValue(const Id&) { return nullptr; }

Ref<NSString> NSFormatter::editingStringForObjectValue(const Id& object) { return stringForObjectValue(object); }

Ref<NSAttributedString> NSFormatter::attributedStringForObjectValue(const Id&, const Ref<NSDictionary>&)
{
    return nullptr;
}

bool NSFormatter::getObjectValue(Id* object, const Ref<NSString>&, Ref<NSString>* error)
{
    if (object) *object = nullptr;
    if (error) *error = nullptr;
    return false;
}

Id NSFormatter::copy() const
{
    auto clone = dynamic_ref_cast<NSFormatter>(realClass().allocInstance());
    if (!clone) return nullptr;
    clone->copySettingsFrom(*this);
    return clone;
}
