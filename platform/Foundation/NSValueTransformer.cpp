#include "Foundation/NSValueTransformer.h"

#include <map>
#include <mutex>

#include "Foundation/Boxing.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSValueTransformer)

namespace {

// NO for YES and YES for NO (nil counts as NO); its own inverse.
class NSNegateBooleanTransformer : public NSValueTransformer {
    NS_OBJECT(NSNegateBooleanTransformer, NSValueTransformer)
protected:
    NSNegateBooleanTransformer() = default;

public:
    const NSClass& transformedValueClass() const override { return NSNumber::staticClass(); }
    Id transformedValue(const Id& value) override { return NSNumber::numberWithBool(!UnboxBool(value)); }
    Id reverseTransformedValue(const Id& value) override { return transformedValue(value); }
};

// YES for any object, NO for nil; one-way.
class NSIsNotNilTransformer : public NSValueTransformer {
    NS_OBJECT(NSIsNotNilTransformer, NSValueTransformer)
protected:
    NSIsNotNilTransformer() = default;

public:
    bool allowsReverseTransformation() const override { return false; }
    const NSClass& transformedValueClass() const override { return NSNumber::staticClass(); }
    Id transformedValue(const Id& value) override { return NSNumber::numberWithBool(value != nullptr); }
};

}

NS_CLASS_DEFINE(NSNegateBooleanTransformer)
NS_CLASS_DEFINE(NSIsNotNilTransformer)

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::u16string, Ref<NSValueTransformer>> byName;
};

// Never destroyed: bindings may look names up while the process exits.
Registry& registry()
{
    static Registry* r = [] {
        auto* fresh = new Registry;
        fresh->byName[NSNegateBooleanTransformerName->utf16()] = NSObject::make<NSNegateBooleanTransformer>();
        fresh->byName[NSIsNotNilTransformerName->utf16()] = NSObject::make<NSIsNotNilTransformer>();
        return fresh;
    }();
    return *r;
}

}

Ref<NSValueTransformer> NSValueTransformer::valueTransformerForName(const Ref<NSString>& name)
{
    if (!name) return nullptr;
    Registry& r = registry();
    {
        std::lock_guard lock(r.lock);
        auto it = r.byName.find(name->utf16());
        if (it != r.byName.end()) return it->second;
    }
    const NSClass* cls = NSClassFromString(name);
    if (!cls || !cls->isSubclassOf(NSValueTransformer::staticClass())) return nullptr;
    auto made = dynamic_ref_cast<NSValueTransformer>(cls->newInstance());
    if (!made) return nullptr;
    std::lock_guard lock(r.lock);
    // Another thread may have registered the name meanwhile; the first one stays.
    return r.byName.try_emplace(name->utf16(), made).first->second;
}

void NSValueTransformer::setValueTransformer(const Ref<NSValueTransformer>& transformer, const Ref<NSString>& name)
{
    if (!name) return;
    Ref<NSValueTransformer> previous;  // released after the lock
    Registry& r = registry();
    std::lock_guard lock(r.lock);
    auto it = r.byName.find(name->utf16());
    if (it != r.byName.end()) {
        previous = std::move(it->second);
        r.byName.erase(it);
    }
    if (transformer) r.byName[name->utf16()] = transformer;
}

Ref<NSArray> NSValueTransformer::valueTransformerNames()
{
    std::vector<Id> names;
    Registry& r = registry();
    std::lock_guard lock(r.lock);
    for (auto& [name, _] : r.byName) names.push_back(NSString::stringWithUTF16(name));
    return NSArray::arrayWithVector(std::move(names));
}

const NSClass& NSValueTransformer::transformedValueClass() const { return NSObject::staticClass(); }

Id NSValueTransformer::transformedValue(const Id& value) { return value; }

Id NSValueTransformer::reverseTransformedValue(const Id& value)
{
    if (!allowsReverseTransformation())
        NSException::raise(NSInvalidArgumentException,
                           "-[" + realClass().name() +
                               " reverseTransformedValue:]: this transformer does not allow reverse transformation");
    return transformedValue(value);
}
