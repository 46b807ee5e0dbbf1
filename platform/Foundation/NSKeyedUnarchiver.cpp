#include "Foundation/NSKeyedUnarchiver.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexPath.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSValue.h"
#include "Foundation/NestingDepth.h"

NS_CLASS_DEFINE(NSKeyedUnarchiver)

using json = nlohmann::ordered_json;

namespace {

std::string keyText(const Ref<NSString>& key) { return key ? key->UTF8String() : std::string(); }

const char* typeName(const json& v) { return v.type_name(); }

// Values of a single tagged member: {"$ref": 3}, {"$double": "nan"}, ...
const json* tagged(const json& v, const char* tag)
{
    if (!v.is_object() || v.size() != 1) return nullptr;
    auto it = v.find(tag);
    return it == v.end() ? nullptr : &*it;
}

}

// --- Making an unarchiver ---

Id NSKeyedUnarchiver::unarchiveObjectWithData(const Ref<NSData>& data)
{
    if (!data) return nullptr;
    return unarchiverForReadingWithData(data)->decodeObjectForKey("root"_ns);
}

Id NSKeyedUnarchiver::unarchiveObjectWithData(const Ref<NSData>& data, const NSClassList& allowedClasses)
{
    if (!data) return nullptr;
    auto unarchiver = unarchiverForReadingWithData(data);
    unarchiver->setAllowedClasses(allowedClasses);
    return unarchiver->decodeObjectForKey("root"_ns);
}

Ref<NSKeyedUnarchiver> NSKeyedUnarchiver::unarchiverForReadingWithData(const Ref<NSData>& data)
{
    const std::string_view text = data ? data->view() : std::string_view();
    if (NestingDepth::jsonExceeds(text))
        NSException::raise(NSInconsistentArchiveException, "NSKeyedUnarchiver: values nested too deeply (more than " +
                                                               std::to_string(NestingDepth::maximum) + " levels)");
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded())
        NSException::raise(NSInconsistentArchiveException, "NSKeyedUnarchiver: the data is not a valid JSON document");
    return unarchiverForReadingWithJSON(std::move(document));
}

Ref<NSKeyedUnarchiver> NSKeyedUnarchiver::unarchiverForReadingWithJSON(json document)
{
    auto u = alloc<NSKeyedUnarchiver>();
    u->m_document = std::move(document);
    u->load();
    return u;
}

void NSKeyedUnarchiver::fail(const std::string& what, const std::string& key) const
{
    std::string where;
    if (!m_scopes.empty() && m_scopes.back().id != 0) where = "object " + std::to_string(m_scopes.back().id);
    if (!key.empty()) where += (where.empty() ? "key '" : ", key '") + key + "'";
    NSException::raise(NSInconsistentArchiveException,
                       "NSKeyedUnarchiver: " + what + (where.empty() ? "" : " (" + where + ")"));
}

// Checks the shape of the document up front, so that decoding meets only
// well-formed entries.
void NSKeyedUnarchiver::load()
{
    const json& d = m_document;
    if (!d.is_object()) fail(std::string("the document is ") + typeName(d) + ", not an object");
    if (auto v = d.find("version"); v != d.end() && !(v->is_number_integer() && v->get<int64_t>() == 1))
        fail("unsupported archive version " + v->dump());
    const json* top = &m_emptyKeys;
    if (auto t = d.find("top"); t != d.end()) {
        if (!t->is_object()) fail("\"top\" is not an object");
        top = &*t;
    }
    m_scopes.push_back({top, 0});

    auto objects = d.find("objects");
    if (objects == d.end()) return;
    if (!objects->is_array()) fail("\"objects\" is not an array");
    for (const json& entry : *objects) {
        if (!entry.is_object()) fail(std::string("an object entry is ") + typeName(entry));
        auto id = entry.find("id");
        if (id == entry.end() || !id->is_number_integer() ||
            (id->is_number_unsigned() && id->get<uint64_t>() > INT64_MAX))
            fail("an object entry without an integer \"id\"");
        int64_t n = id->get<int64_t>();
        if (n == 0) fail("object id 0 is reserved");
        auto cls = entry.find("class");
        auto placeholder = entry.find("placeholder");
        if ((cls == entry.end()) == (placeholder == entry.end()))
            fail("object " + std::to_string(n) + " needs exactly one of \"class\" and \"placeholder\"");
        if (!(cls != entry.end() ? cls : placeholder)->is_string())
            fail("object " + std::to_string(n) + ": the class is not a string");
        if (auto keys = entry.find("keys"); keys != entry.end() && !keys->is_object())
            fail("object " + std::to_string(n) + ": \"keys\" is not an object");
        if (!m_slots.emplace(n, Slot{&entry, State::pending, nullptr}).second)
            fail("object id " + std::to_string(n) + " appears twice");
    }
}

void NSKeyedUnarchiver::checkAllowed(const NSClass& cls)
{
    if (m_allowed && !classIsAllowed(cls, *m_allowed))
        fail("class '" + cls.name() + "' is not among the allowed classes");
}

// --- Objects ---

Id NSKeyedUnarchiver::objectWithID(int64_t id) { return objectWithID(id, {}); }

Id NSKeyedUnarchiver::objectWithID(int64_t id, const std::string& key)
{
    auto it = m_slots.find(id);
    if (it == m_slots.end())
        fail("reference to object " + std::to_string(id) + ", which the archive does not hold", key);
    Slot& slot = it->second;
    switch (slot.state) {
    case State::done: return slot.object;
    case State::decoding:
        // A back-pointer to an object whose initWithCoder is running answers
        // that instance; a standard object cannot contain itself.
        if (slot.object) return slot.object;
        fail("object " + std::to_string(id) + " contains itself", key);
    case State::pending: break;
    }
    return decodeEntry(id, slot);
}

Id NSKeyedUnarchiver::decodeEntry(int64_t id, Slot& slot)
{
    const json& entry = *slot.entry;
    if (auto placeholder = entry.find("placeholder"); placeholder != entry.end()) {
        std::string name = placeholder->get<std::string>();
        if (!m_resolver)
            fail("object " + std::to_string(id) + " is the placeholder '" + name + "', which nothing resolves");
        slot.object = m_resolver(name);
        slot.state = State::done;
        return slot.object;
    }

    std::string name = entry.find("class")->get<std::string>();
    const NSClass* cls = NSClass::named(name);
    if (!cls) fail("unknown class '" + name + "' for object " + std::to_string(id));
    checkAllowed(*cls);
    if (m_depth >= NSKeyedArchiver::maximumDepth)
        fail("objects nested more than " + std::to_string(NSKeyedArchiver::maximumDepth) + " deep");

    auto keys = entry.find("keys");
    m_scopes.push_back({keys == entry.end() ? &m_emptyKeys : &*keys, id});
    ++m_depth;
    slot.state = State::decoding;
    // On failure the entry goes back to pending, so nothing half-made is
    // handed out later.
    struct Guard {
        NSKeyedUnarchiver& u;
        Slot& slot;
        ~Guard()
        {
            u.m_scopes.pop_back();
            --u.m_depth;
            if (slot.state == State::decoding) slot = Slot{slot.entry, State::pending, nullptr};
        }
    } guard{*this, slot};

    Id object;
    if (isStandardClass(*cls)) {
        object = decodeStandard(*cls);
    } else {
        Id instance = cls->allocInstance();
        auto* coding = dynamic_cast<NSCoding*>(instance.get());
        if (!coding) fail("class '" + name + "' does not adopt NSCoding");
        slot.object = instance;
        object = coding->initWithCoder(this);
    }
    slot.object = object;
    slot.state = State::done;
    return object;
}

Id NSKeyedUnarchiver::elementAt(const json& array, size_t index, const std::string& key)
{
    Id element = decodeValue(array[index], key);
    if (!element) fail("null element " + std::to_string(index), key);
    return element;
}

// A JSON value read as an object: strings, numbers and inline arrays stand
// for themselves, tagged values for numbers, geometry and data.
Id NSKeyedUnarchiver::decodeValue(const json& v, const std::string& key)
{
    switch (v.type()) {
    case json::value_t::null: return nullptr;
    case json::value_t::string: {
        checkAllowed(NSString::classRecord());
        auto s = NSString::stringWithUTF8String(v.get_ref<const std::string&>());
        if (!s) fail("invalid UTF-8", key);
        return s;
    }
    case json::value_t::boolean: checkAllowed(NSNumber::classRecord()); return NSNumber::numberWithBool(v.get<bool>());
    case json::value_t::number_integer:
        checkAllowed(NSNumber::classRecord());
        return NSNumber::numberWithInteger(v.get<int64_t>());
    case json::value_t::number_unsigned:
        checkAllowed(NSNumber::classRecord());
        return NSNumber::numberWithUnsignedInteger(v.get<uint64_t>());
    case json::value_t::number_float:
        checkAllowed(NSNumber::classRecord());
        return NSNumber::numberWithDouble(v.get<double>());
    case json::value_t::array: {
        checkAllowed(NSArray::classRecord());
        if (m_depth >= NSKeyedArchiver::maximumDepth) fail("values nested too deeply", key);
        ++m_depth;
        struct Depth {
            int& d;
            ~Depth() { --d; }
        } depth{m_depth};
        std::vector<Id> elements;
        for (size_t i = 0; i < v.size(); ++i) elements.push_back(elementAt(v, i, key));
        return NSArray::arrayWithVector(std::move(elements));
    }
    case json::value_t::object: {
        if (const json* ref = tagged(v, "$ref")) {
            if (!ref->is_number_integer() || (ref->is_number_unsigned() && ref->get<uint64_t>() > INT64_MAX))
                fail("\"$ref\" is not an integer id", key);
            return objectWithID(ref->get<int64_t>(), key);
        }
        if (tagged(v, "$double")) {
            checkAllowed(NSNumber::classRecord());
            return NSNumber::numberWithDouble(toDouble(v, key));
        }
        if (tagged(v, "$point") || tagged(v, "$size") || tagged(v, "$rect") || tagged(v, "$range"))
            checkAllowed(NSValue::classRecord());
        if (tagged(v, "$point")) {
            auto g = toGeometry(v, "$point", 2, key);
            return NSValue::valueWithPoint(NSMakePoint(g[0], g[1]));
        }
        if (tagged(v, "$size")) {
            auto g = toGeometry(v, "$size", 2, key);
            return NSValue::valueWithSize(NSMakeSize(g[0], g[1]));
        }
        if (tagged(v, "$rect")) {
            auto g = toGeometry(v, "$rect", 4, key);
            return NSValue::valueWithRect(NSMakeRect(g[0], g[1], g[2], g[3]));
        }
        if (const json* range = tagged(v, "$range")) {
            if (!range->is_array() || range->size() != 2) fail("\"$range\" needs [location, length]", key);
            auto part = [&](size_t i) {
                const json& p = (*range)[i];
                if (p.is_number_unsigned()) return p.get<uint64_t>();
                return static_cast<uint64_t>(toInteger(p, key, 0, INT64_MAX));
            };
            return NSValue::valueWithRange(NSMakeRange(part(0), part(1)));
        }
        if (tagged(v, "$bytes")) {
            checkAllowed(NSData::classRecord());
            return NSData::dataWithVector(toBytes(v, key));
        }
        fail("unknown value " + v.dump(-1, ' ', false, json::error_handler_t::replace).substr(0, 60), key);
    }
    default: fail(std::string("unexpected ") + typeName(v), key);
    }
}

// --- Typed values ---

const json* NSKeyedUnarchiver::lookup(const Ref<NSString>& key) const
{
    const json& keys = *m_scopes.back().keys;
    auto it = keys.find(keyText(key));
    return it == keys.end() ? nullptr : &*it;
}

double NSKeyedUnarchiver::toDouble(const json& v, const std::string& key) const
{
    if (v.is_number()) return v.get<double>();
    if (const json* tag = tagged(v, "$double"); tag && tag->is_string()) {
        const std::string& s = tag->get_ref<const std::string&>();
        if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
        if (s == "inf") return std::numeric_limits<double>::infinity();
        if (s == "-inf") return -std::numeric_limits<double>::infinity();
    }
    fail(std::string("expected a number, found ") +
             (v.is_object() ? v.dump(-1, ' ', false, json::error_handler_t::replace).substr(0, 60) : typeName(v)),
         key);
}

int64_t NSKeyedUnarchiver::toInteger(const json& v, const std::string& key, int64_t min, int64_t max) const
{
    auto inRange = [&](int64_t n) {
        if (n < min || n > max) fail("integer " + std::to_string(n) + " out of range", key);
        return n;
    };
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    if (v.is_number_unsigned()) {
        if (v.get<uint64_t>() > static_cast<uint64_t>(max)) fail("integer " + v.dump() + " out of range", key);
        return static_cast<int64_t>(v.get<uint64_t>());
    }
    if (v.is_number_integer()) return inRange(v.get<int64_t>());
    // A floating-point value is truncated, as a narrowing conversion does.
    double d = toDouble(v, key);
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) fail("number out of the integer range", key);
    return inRange(static_cast<int64_t>(d));
}

bool NSKeyedUnarchiver::toBool(const json& v, const std::string& key) const
{
    if (v.is_boolean()) return v.get<bool>();
    if (v.is_number()) return v.get<double>() != 0;
    fail(std::string("expected a boolean, found ") + typeName(v), key);
}

std::vector<double> NSKeyedUnarchiver::toGeometry(const json& v, const char* tag, size_t count,
                                                  const std::string& key) const
{
    const json* parts = tagged(v, tag);
    if (!parts || !parts->is_array() || parts->size() != count)
        fail(std::string("expected {\"") + tag + "\": [" + std::to_string(count) + " numbers]}", key);
    std::vector<double> out;
    for (const json& p : *parts) out.push_back(toDouble(p, key));
    return out;
}

std::vector<uint8_t> NSKeyedUnarchiver::toBytes(const json& v, const std::string& key) const
{
    const json* text = tagged(v, "$bytes");
    std::vector<uint8_t> out;
    if (!text || !text->is_string() || !Base64Decode(text->get_ref<const std::string&>(), out))
        fail("expected {\"$bytes\": base64 text}", key);
    return out;
}

bool NSKeyedUnarchiver::containsValueForKey(const Ref<NSString>& key) const { return lookup(key) != nullptr; }

Id NSKeyedUnarchiver::decodeObjectForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? decodeValue(*v, keyText(key)) : nullptr;
}

bool NSKeyedUnarchiver::decodeBoolForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? toBool(*v, keyText(key)) : false;
}

int NSKeyedUnarchiver::decodeIntForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? static_cast<int>(toInteger(*v, keyText(key), INT_MIN, INT_MAX)) : 0;
}

int32_t NSKeyedUnarchiver::decodeInt32ForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? static_cast<int32_t>(toInteger(*v, keyText(key), INT32_MIN, INT32_MAX)) : 0;
}

int64_t NSKeyedUnarchiver::decodeInt64ForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? toInteger(*v, keyText(key), INT64_MIN, INT64_MAX) : 0;
}

NSInteger NSKeyedUnarchiver::decodeIntegerForKey(const Ref<NSString>& key) { return decodeInt64ForKey(key); }

float NSKeyedUnarchiver::decodeFloatForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    if (!v) return 0;
    double d = toDouble(*v, keyText(key));
    if (std::isfinite(d) && std::fabs(d) > FLT_MAX) {
        // Beyond the largest float by at least half a step rounds to infinity;
        // closer, to the largest float (written explicitly: the conversion
        // itself is undefined there).
        if (std::fabs(d) >= 0x1.ffffffp127) fail("number out of the float range", keyText(key));
        return std::copysign(FLT_MAX, static_cast<float>(d > 0 ? 1 : -1));
    }
    return static_cast<float>(d);
}

double NSKeyedUnarchiver::decodeDoubleForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? toDouble(*v, keyText(key)) : 0;
}

NSPoint NSKeyedUnarchiver::decodePointForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    if (!v) return NSZeroPoint;
    auto g = toGeometry(*v, "$point", 2, keyText(key));
    return NSMakePoint(g[0], g[1]);
}

NSSize NSKeyedUnarchiver::decodeSizeForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    if (!v) return NSZeroSize;
    auto g = toGeometry(*v, "$size", 2, keyText(key));
    return NSMakeSize(g[0], g[1]);
}

NSRect NSKeyedUnarchiver::decodeRectForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    if (!v) return NSZeroRect;
    auto g = toGeometry(*v, "$rect", 4, keyText(key));
    return NSMakeRect(g[0], g[1], g[2], g[3]);
}

std::vector<uint8_t> NSKeyedUnarchiver::decodeBytesForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    return v ? toBytes(*v, keyText(key)) : std::vector<uint8_t>();
}

Ref<NSString> NSKeyedUnarchiver::decodeStringForKey(const Ref<NSString>& key)
{
    const json* v = lookup(key);
    if (!v || v->is_null()) return nullptr;
    if (!v->is_string() && !tagged(*v, "$ref"))
        fail(std::string("expected a string, found ") + typeName(*v), keyText(key));
    Id object = decodeValue(*v, keyText(key));
    auto s = dynamic_ref_cast<NSString>(object);
    if (!s && object) fail("expected a string, found a " + object->classObject().name(), keyText(key));
    return s;
}
