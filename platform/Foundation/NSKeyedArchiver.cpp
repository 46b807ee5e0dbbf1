#include "Foundation/NSKeyedArchiver.h"

#include <charconv>
#include <cmath>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexPath.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSValue.h"

NS_CLASS_DEFINE(NSKeyedArchiver)

using json = nlohmann::ordered_json;

// --- Value forms ---

json KeyedArchiveFormat::doubleValue(double v)
{
    // JSON has no NaN or infinities.
    if (std::isnan(v)) return {{"$double", "nan"}};
    if (std::isinf(v)) return {{"$double", v > 0 ? "inf" : "-inf"}};
    return v;
}

json KeyedArchiveFormat::floatValue(float v)
{
    if (!std::isfinite(v)) return doubleValue(v);
    // The shortest text for the float, kept as the double it reads as, so the
    // document shows 0.1 rather than 0.100000001490116; the reader narrows it
    // back. Where that double would narrow to another float, the float's
    // exact value is written instead.
    std::string text = ShortestDecimalText(v, true);
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    if (static_cast<float>(d) == v && std::signbit(d) == std::signbit(v)) return d;
    return static_cast<double>(v);
}

// --- Archiver ---

Ref<NSData> NSKeyedArchiver::archivedDataWithRootObject(const Id& root)
{
    auto archiver = create();
    archiver->encodeObject(root, "root"_ns);
    return archiver->encodedData();
}

void NSKeyedArchiver::finishEncoding()
{
    if (m_document) return;
    // A conditional object counts only when something encoded it outright.
    for (const Conditional& c : m_conditionals) {
        json& keys = keysOf(c.scope);
        auto it = keys.find(c.key);
        if (it == keys.end() || !it->is_null()) continue;  // overwritten since
        if (auto id = m_ids.find(c.object.get()); id != m_ids.end()) *it = json{{"$ref", id->second}};
        else keys.erase(c.key);
    }
    m_conditionals.clear();
    json document = json::object();
    document["archiver"] = "NSKeyedArchiver";
    document["version"] = 1;
    document["top"] = std::move(m_top);
    document["objects"] = json::array();
    for (json& entry : m_objects) document["objects"].push_back(std::move(entry));
    m_objects.clear();
    m_document = std::move(document);
}

const json& NSKeyedArchiver::encodedJSON()
{
    finishEncoding();
    return *m_document;
}

Ref<NSData> NSKeyedArchiver::encodedData()
{
    // Text that is not valid UTF-8 (a lone surrogate) becomes U+FFFD rather
    // than failing the whole archive.
    std::string text = encodedJSON().dump(2, ' ', false, json::error_handler_t::replace);
    text += '\n';
    return NSData::dataWithBytes(text.data(), text.size());
}

json& NSKeyedArchiver::keysOf(size_t scope) { return scope == topScope ? m_top : m_objects[scope]["keys"]; }

void NSKeyedArchiver::set(const Ref<NSString>& key, json value)
{
    if (m_document)
        NSException::raise(NSInvalidArchiveOperationException, "NSKeyedArchiver: encoding after finishEncoding");
    if (!key) NSException::raise(NSInvalidArgumentException, "NSKeyedArchiver: nil key");
    keysOf(m_scopes.empty() ? topScope : m_scopes.back())[key->UTF8String()] = std::move(value);
}

json NSKeyedArchiver::referenceTo(const Id& object)
{
    if (!object) return nullptr;
    if (auto it = m_ids.find(object.get()); it != m_ids.end()) return {{"$ref", it->second}};
    const NSClass* cls = codingClassForObject(*object);
    if (!cls)
        NSException::raise(NSInvalidArgumentException,
                           "NSKeyedArchiver: " + object->classObject().name() + " does not adopt NSCoding");
    // Immutable strings are values: written in place, as hand-written files
    // write them.
    if (cls == &NSString::classRecord() && !dynamic_cast<const NSCoding*>(object.get()))
        return static_cast<const NSString&>(*object).UTF8String();
    if (m_scopes.size() >= static_cast<size_t>(maximumDepth))
        NSException::raise(NSInvalidArchiveOperationException, "NSKeyedArchiver: objects nested too deeply");

    int64_t id = static_cast<int64_t>(m_objects.size()) + 1;
    m_ids.emplace(object.get(), id);
    m_written.push_back(object);
    json entry = json::object();
    entry["id"] = id;
    entry["class"] = cls->name();
    entry["keys"] = json::object();
    m_objects.push_back(std::move(entry));
    m_scopes.push_back(static_cast<size_t>(id - 1));
    struct Pop {
        std::vector<size_t>& scopes;
        ~Pop() { scopes.pop_back(); }
    } pop{m_scopes};
    if (auto* coding = dynamic_cast<const NSCoding*>(object.get())) coding->encodeWithCoder(this);
    else encodeStandard(*object, *cls);
    return {{"$ref", id}};
}

void NSKeyedArchiver::encodeStandard(const NSObject& object, const NSClass& cls)
{
    if (cls.isSubclassOf(NSString::classRecord()))
        return set("NS.string"_ns, static_cast<const NSString&>(object).UTF8String());
    if (cls.isSubclassOf(NSNumber::classRecord())) {
        auto& n = static_cast<const NSNumber&>(object);
        switch (n.kind()) {
        case NSNumber::Kind::Bool: set("NS.type"_ns, "B"), set("NS.value"_ns, n.boolValue()); return;
        case NSNumber::Kind::Char: set("NS.type"_ns, "c"), set("NS.value"_ns, n.integerValue()); return;
        case NSNumber::Kind::Short: set("NS.type"_ns, "s"), set("NS.value"_ns, n.integerValue()); return;
        case NSNumber::Kind::Int: set("NS.type"_ns, "i"), set("NS.value"_ns, n.integerValue()); return;
        case NSNumber::Kind::Integer: set("NS.type"_ns, "q"), set("NS.value"_ns, n.integerValue()); return;
        case NSNumber::Kind::Unsigned: set("NS.type"_ns, "Q"), set("NS.value"_ns, n.unsignedIntegerValue()); return;
        case NSNumber::Kind::Float:
            set("NS.type"_ns, "f"), set("NS.value"_ns, KeyedArchiveFormat::floatValue(n.floatValue()));
            return;
        case NSNumber::Kind::Double:
            set("NS.type"_ns, "d"), set("NS.value"_ns, KeyedArchiveFormat::doubleValue(n.doubleValue()));
            return;
        }
        return;
    }
    if (cls.isSubclassOf(NSData::classRecord())) {
        auto& d = static_cast<const NSData&>(object);
        return encodeBytes(d.bytes(), d.length(), "NS.bytes"_ns);
    }
    if (cls.isSubclassOf(NSArray::classRecord())) {
        json elements = json::array();
        for (const Id& e : static_cast<const NSArray&>(object).snapshot()) elements.push_back(referenceTo(e));
        return set("NS.objects"_ns, std::move(elements));
    }
    if (cls.isSubclassOf(NSDictionary::classRecord())) {
        json keys = json::array(), values = json::array();
        for (const auto& [k, v] : static_cast<const NSDictionary&>(object).entries()) {
            keys.push_back(referenceTo(k));
            values.push_back(referenceTo(v));
        }
        set("NS.keys"_ns, std::move(keys));
        return set("NS.objects"_ns, std::move(values));
    }
    if (cls.isSubclassOf(NSDate::classRecord()))
        return encodeDouble(static_cast<const NSDate&>(object).timeIntervalSinceReferenceDate(), "NS.time"_ns);
    if (cls.isSubclassOf(NSValue::classRecord())) {
        auto& v = static_cast<const NSValue&>(object);
        std::string_view type = v.objCType();
        if (type == "{CGPoint=dd}") return encodePoint(v.pointValue(), "NS.point"_ns);
        if (type == "{CGSize=dd}") return encodeSize(v.sizeValue(), "NS.size"_ns);
        if (type == "{_NSRange=QQ}")
            return set("NS.range"_ns, json{{"$range", {v.rangeValue().location, v.rangeValue().length}}});
        if (type.starts_with("{CGRect")) return encodeRect(v.rectValue(), "NS.rect"_ns);
    }
    if (cls.isSubclassOf(NSSet::classRecord())) {
        json members = json::array();
        for (const Id& m : static_cast<const NSSet&>(object).snapshot()) members.push_back(referenceTo(m));
        return set("NS.objects"_ns, std::move(members));
    }
    if (cls.isSubclassOf(NSIndexSet::classRecord())) {
        json ranges = json::array();
        for (NSRange r : static_cast<const NSIndexSet&>(object).ranges())
            ranges.push_back(r.location), ranges.push_back(r.length);
        return set("NS.ranges"_ns, std::move(ranges));
    }
    if (&cls == &NSIndexPath::classRecord())
        return set("NS.indexes"_ns, static_cast<const NSIndexPath&>(object).indexes());
    // NSNull and an empty NSValue have no keys.
}

void NSKeyedArchiver::encodeObject(const Id& object, const Ref<NSString>& key)
{
    if (m_document)
        NSException::raise(NSInvalidArchiveOperationException, "NSKeyedArchiver: encoding after finishEncoding");
    set(key, referenceTo(object));
}

void NSKeyedArchiver::encodeConditionalObject(const Id& object, const Ref<NSString>& key)
{
    if (!object || m_ids.contains(object.get()) ||
        (codingClassForObject(*object) == &NSString::classRecord() && !dynamic_cast<const NSCoding*>(object.get())))
        return encodeObject(object, key);
    // Decided at the end, when it is known whether the object was encoded
    // outright; the placeholder keeps the key's place among its neighbours.
    set(key, nullptr);
    m_conditionals.push_back({m_scopes.empty() ? topScope : m_scopes.back(), key->UTF8String(), object});
}

void NSKeyedArchiver::encodeBool(bool v, const Ref<NSString>& key) { set(key, v); }
void NSKeyedArchiver::encodeInt(int v, const Ref<NSString>& key) { set(key, v); }
void NSKeyedArchiver::encodeInt32(int32_t v, const Ref<NSString>& key) { set(key, v); }
void NSKeyedArchiver::encodeInt64(int64_t v, const Ref<NSString>& key) { set(key, v); }
void NSKeyedArchiver::encodeInteger(NSInteger v, const Ref<NSString>& key) { set(key, v); }
void NSKeyedArchiver::encodeFloat(float v, const Ref<NSString>& key) { set(key, KeyedArchiveFormat::floatValue(v)); }
void NSKeyedArchiver::encodeDouble(double v, const Ref<NSString>& key) { set(key, KeyedArchiveFormat::doubleValue(v)); }

void NSKeyedArchiver::encodePoint(NSPoint v, const Ref<NSString>& key)
{
    using KeyedArchiveFormat::doubleValue;
    set(key, json{{"$point", {doubleValue(v.x), doubleValue(v.y)}}});
}

void NSKeyedArchiver::encodeSize(NSSize v, const Ref<NSString>& key)
{
    using KeyedArchiveFormat::doubleValue;
    set(key, json{{"$size", {doubleValue(v.width), doubleValue(v.height)}}});
}

void NSKeyedArchiver::encodeRect(const NSRect& v, const Ref<NSString>& key)
{
    using KeyedArchiveFormat::doubleValue;
    set(key, json{{"$rect",
                   {doubleValue(v.origin.x), doubleValue(v.origin.y), doubleValue(v.size.width),
                    doubleValue(v.size.height)}}});
}

void NSKeyedArchiver::encodeBytes(const void* bytes, NSUInteger length, const Ref<NSString>& key)
{
    set(key, json{{"$bytes", Base64Encode({static_cast<const uint8_t*>(bytes), length})}});
}

void NSKeyedArchiver::encodeString(const Ref<NSString>& v, const Ref<NSString>& key)
{
    set(key, v ? json(v->UTF8String()) : json(nullptr));
}
