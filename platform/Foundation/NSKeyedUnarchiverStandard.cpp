#include "Foundation/NSKeyedUnarchiver.h"

#include <climits>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexPath.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSValue.h"

// The platform's own classes, read from the keys their archiving writes:
// strings, numbers, data, collections, dates, values and index sets and
// paths. An immutable class gets an immutable copy of what was read.

Id NSKeyedUnarchiver::decodeStandard(const NSClass& cls)
{
    if (cls.isSubclassOf(NSString::classRecord())) {
        auto s = standardStringAt("NS.string");
        if (&cls == &NSMutableString::classRecord()) return NSMutableString::stringWithString(s);
        return s;
    }
    if (&cls == &NSNumber::classRecord()) return decodeStandardNumber();
    if (cls.isSubclassOf(NSData::classRecord())) {
        auto bytes = decodeBytesForKey("NS.bytes"_ns);
        if (&cls == &NSMutableData::classRecord())
            return NSMutableData::dataWithData(NSData::dataWithVector(std::move(bytes)));
        return NSData::dataWithVector(std::move(bytes));
    }
    if (cls.isSubclassOf(NSArray::classRecord()) || cls.isSubclassOf(NSSet::classRecord()))
        return decodeStandardCollection(cls);
    if (cls.isSubclassOf(NSDictionary::classRecord())) return decodeStandardDictionary(cls);
    if (&cls == &NSDate::classRecord())
        return NSDate::dateWithTimeIntervalSinceReferenceDate(decodeDoubleForKey("NS.time"_ns));
    if (&cls == &NSValue::classRecord()) return decodeStandardValue();
    if (cls.isSubclassOf(NSIndexSet::classRecord()) || &cls == &NSIndexPath::classRecord())
        return decodeStandardIndexes(cls);
    return NSNull::null();
}

Ref<NSString> NSKeyedUnarchiver::standardStringAt(const char* key) const
{
    const json* v = lookup(NSString::stringWithUTF8String(key));
    if (!v) return NSString::string();
    if (!v->is_string()) fail(std::string("expected a string, found ") + v->type_name(), key);
    auto s = NSString::stringWithUTF8String(v->get_ref<const std::string&>());
    if (!s) fail("invalid UTF-8", key);
    return s;
}

const NSKeyedUnarchiver::json* NSKeyedUnarchiver::standardArrayAt(const char* key) const
{
    const json* v = lookup(NSString::stringWithUTF8String(key));
    if (v && !v->is_array()) fail(std::string("expected an array, found ") + v->type_name(), key);
    return v;
}

Id NSKeyedUnarchiver::decodeStandardNumber()
{
    const json* type = lookup("NS.type"_ns);
    const json* v = lookup("NS.value"_ns);
    if (!type || !type->is_string() || !v) fail("a number needs \"NS.type\" and \"NS.value\"");
    const std::string& t = type->get_ref<const std::string&>();
    const std::string key = "NS.value";
    if (t == "B") return NSNumber::numberWithBool(toBool(*v, key));
    if (t == "c") return NSNumber::numberWithChar(static_cast<int8_t>(toInteger(*v, key, INT8_MIN, INT8_MAX)));
    if (t == "s") return NSNumber::numberWithShort(static_cast<int16_t>(toInteger(*v, key, INT16_MIN, INT16_MAX)));
    if (t == "i") return NSNumber::numberWithInt(static_cast<int32_t>(toInteger(*v, key, INT32_MIN, INT32_MAX)));
    if (t == "q") return NSNumber::numberWithInteger(toInteger(*v, key, INT64_MIN, INT64_MAX));
    if (t == "Q") {
        if (v->is_number_unsigned()) return NSNumber::numberWithUnsignedInteger(v->get<uint64_t>());
        return NSNumber::numberWithUnsignedInteger(static_cast<uint64_t>(toInteger(*v, key, 0, INT64_MAX)));
    }
    if (t == "f") return NSNumber::numberWithFloat(decodeFloatForKey("NS.value"_ns));
    if (t == "d") return NSNumber::numberWithDouble(toDouble(*v, key));
    fail("unknown number type '" + t + "'", "NS.type");
}

// Arrays and sets: "NS.objects".
Id NSKeyedUnarchiver::decodeStandardCollection(const NSClass& cls)
{
    const json* objects = standardArrayAt("NS.objects");
    const size_t count = objects ? objects->size() : 0;
    if (cls.isSubclassOf(NSSet::classRecord())) {
        auto set = NSMutableSet::set();
        for (size_t i = 0; i < count; ++i) set->addObject(elementAt(*objects, i, "NS.objects"));
        if (&cls == &NSMutableSet::classRecord()) return set;
        return NSSet::setWithSet(set);
    }
    auto array = NSMutableArray::array();
    for (size_t i = 0; i < count; ++i) array->addObject(elementAt(*objects, i, "NS.objects"));
    if (&cls == &NSMutableArray::classRecord()) return array;
    return NSArray::arrayWithArray(array);
}

Id NSKeyedUnarchiver::decodeStandardDictionary(const NSClass& cls)
{
    const json* keys = standardArrayAt("NS.keys");
    const json* objects = standardArrayAt("NS.objects");
    size_t count = keys ? keys->size() : 0;
    if (count != (objects ? objects->size() : 0)) fail("\"NS.keys\" and \"NS.objects\" differ in length");
    auto dictionary = NSMutableDictionary::dictionary();
    for (size_t i = 0; i < count; ++i) {
        Id key = elementAt(*keys, i, "NS.keys");
        Id value = elementAt(*objects, i, "NS.objects");
        try {
            dictionary->setObject(value, key);
        } catch (const NSException&) {
            fail("a key of class '" + key->classObject().name() + "' cannot be copied", "NS.keys");
        }
    }
    if (&cls == &NSMutableDictionary::classRecord()) return dictionary;
    return NSDictionary::dictionaryWithDictionary(dictionary);
}

Id NSKeyedUnarchiver::decodeStandardValue()
{
    if (containsValueForKey("NS.point"_ns)) return NSValue::valueWithPoint(decodePointForKey("NS.point"_ns));
    if (containsValueForKey("NS.size"_ns)) return NSValue::valueWithSize(decodeSizeForKey("NS.size"_ns));
    if (containsValueForKey("NS.rect"_ns)) return NSValue::valueWithRect(decodeRectForKey("NS.rect"_ns));
    if (const json* range = lookup("NS.range"_ns)) return decodeValue(*range, "NS.range");
    return make<NSValue>();
}

// Index sets: flat [location, length, location, length, ...] in "NS.ranges";
// index paths: "NS.indexes".
Id NSKeyedUnarchiver::decodeStandardIndexes(const NSClass& cls)
{
    if (&cls == &NSIndexPath::classRecord()) {
        std::vector<NSUInteger> path;
        if (const json* indexes = standardArrayAt("NS.indexes"))
            for (const json& i : *indexes)
                path.push_back(static_cast<NSUInteger>(toInteger(i, "NS.indexes", 0, INT64_MAX)));
        return NSIndexPath::indexPathWithIndexes(std::move(path));
    }
    auto indexes = NSMutableIndexSet::indexSet();
    if (const json* ranges = standardArrayAt("NS.ranges")) {
        if (ranges->size() % 2) fail("\"NS.ranges\" holds an odd number of integers", "NS.ranges");
        for (size_t i = 0; i < ranges->size(); i += 2) {
            auto location = static_cast<NSUInteger>(toInteger((*ranges)[i], "NS.ranges", 0, INT64_MAX));
            auto length = static_cast<NSUInteger>(toInteger((*ranges)[i + 1], "NS.ranges", 0, INT64_MAX));
            try {
                indexes->addIndexesInRange(NSMakeRange(location, length));
            } catch (const NSException&) {
                fail("index range {" + std::to_string(location) + ", " + std::to_string(length) +
                         "} reaches NSNotFound",
                     "NS.ranges");
            }
        }
    }
    if (&cls == &NSMutableIndexSet::classRecord()) return indexes;
    return NSIndexSet::indexSetWithIndexSet(indexes);
}
