#include "Foundation/NSArchiver.h"

#include <bit>
#include <cstring>

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

NS_CLASS_DEFINE(NSArchiver)

// Scalars are copied byte for byte into little-endian fields.
static_assert(std::endian::native == std::endian::little);

uint32_t ArchiveFormat::checksum(std::span<const uint8_t> bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

Ref<NSData> NSArchiver::archivedDataWithRootObject(const Id& root)
{
    auto archiver = create();
    archiver->encodeRootObject(root);
    return archiver->archiverData();
}

Ref<NSData> NSArchiver::archiverData() const
{
    std::vector<uint8_t> out;
    out.reserve(ArchiveFormat::headerSize + m_body.size());
    out.insert(out.end(), std::begin(ArchiveFormat::magic), std::end(ArchiveFormat::magic));
    auto le32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    le32(ArchiveFormat::version);
    le32(static_cast<uint32_t>(m_body.size()));
    le32(ArchiveFormat::checksum(m_body));
    out.insert(out.end(), m_body.begin(), m_body.end());
    return NSData::dataWithVector(std::move(out));
}

void NSArchiver::putLE(uint64_t value, int size)
{
    for (int i = 0; i < size; ++i) put(static_cast<uint8_t>(value >> (8 * i)));
}

void NSArchiver::putCount(NSUInteger count)
{
    if (count > UINT32_MAX)
        NSException::raise(NSInvalidArchiveOperationException,
                           "NSArchiver: more than 2^32-1 elements or bytes in one value");
    putLE(count, 4);
}

void NSArchiver::putName(const std::string& name)
{
    putCount(name.size());
    m_body.insert(m_body.end(), name.begin(), name.end());
}

void NSArchiver::putClass(const NSClass& cls)
{
    if (auto it = m_classIndex.find(&cls); it != m_classIndex.end()) {
        put(ArchiveFormat::classReference);
        putLE(it->second, 4);
        return;
    }
    uint32_t index = static_cast<uint32_t>(m_classIndex.size());
    m_classIndex.emplace(&cls, index);
    put(ArchiveFormat::newClass);
    // The whole superclass chain with its versions, so that a decoder can ask
    // for the version of any class its object was written by.
    uint32_t chain = 0;
    for (const NSClass* c = &cls; c; c = c->superclass()) ++chain;
    putLE(chain, 4);
    for (const NSClass* c = &cls; c; c = c->superclass()) {
        putName(c->name());
        putLE(static_cast<uint64_t>(c->version()), 8);
    }
}

void NSArchiver::encodeConditionalObject(const Id& object)
{
    if (object && m_objectIndex.contains(object.get()) && !m_unfinished.contains(object.get()))
        return encodeObject(object);
    encodeObject(nullptr);
}

void NSArchiver::encodeObject(const Id& object)
{
    put('@');
    if (!object) {
        put(ArchiveFormat::nilObject);
        return;
    }
    if (auto it = m_objectIndex.find(object.get()); it != m_objectIndex.end()) {
        // A reader could only resolve this with an object not yet made.
        if (m_unfinished.contains(object.get()))
            NSException::raise(NSInvalidArchiveOperationException,
                               "NSArchiver: " + object->classObject().name() +
                                   " is reached again while it is being encoded; cycles cannot be archived");
        put(ArchiveFormat::objectReference);
        putLE(it->second, 4);
        return;
    }
    const NSClass* cls = codingClassForObject(*object);
    if (!cls)
        NSException::raise(NSInvalidArgumentException,
                           "NSArchiver: " + object->classObject().name() + " does not adopt NSCoding");
    if (m_depth >= maximumDepth)
        NSException::raise(NSInvalidArchiveOperationException, "NSArchiver: objects nested too deeply");

    // The index is taken before the body, so that an object reached again
    // while its own body is written becomes a reference.
    m_objectIndex.emplace(object.get(), static_cast<uint32_t>(m_objectIndex.size()));
    m_written.push_back(object);
    put(ArchiveFormat::newObject);
    putClass(*cls);
    size_t lengthAt = m_body.size();
    putLE(0, 4);
    ++m_depth;
    m_unfinished.insert(object.get());
    try {
        if (auto* coding = dynamic_cast<const NSCoding*>(object.get())) coding->encodeWithCoder(this);
        else putStandardBody(*object, *cls);
    } catch (...) {
        --m_depth;
        m_unfinished.erase(object.get());
        throw;
    }
    --m_depth;
    m_unfinished.erase(object.get());
    size_t length = m_body.size() - lengthAt - 4;
    if (length > UINT32_MAX)
        NSException::raise(NSInvalidArchiveOperationException, "NSArchiver: object larger than 4 GB");
    for (int i = 0; i < 4; ++i) m_body[lengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
}

void NSArchiver::encodeValueOfObjCType(const char* type, const void* address)
{
    std::string_view t = type ? type : "";
    if (t == "@") {
        encodeObject(*static_cast<const Id*>(address));
        return;
    }
    auto scalar = [&](char code, int size) {
        uint64_t bits = 0;
        std::memcpy(&bits, address, size);  // little-endian host
        put(static_cast<uint8_t>(code));
        putLE(bits, size);
    };
    if (t == "c") return scalar('c', 1);
    if (t == "s") return scalar('s', 2);
    if (t == "i") return scalar('i', 4);
    if (t == "q") return scalar('q', 8);
    if (t == "f") return scalar('f', 4);
    if (t == "d") return scalar('d', 8);
    NSException::raise(NSInvalidArgumentException, "NSArchiver: unsupported type code \"" + std::string(t) + "\"");
}

void NSArchiver::putStandardBody(const NSObject& object, const NSClass& cls)
{
    if (cls.isSubclassOf(NSString::classRecord())) {
        auto& s = static_cast<const NSString&>(object);
        std::u16string units(s.length(), u'\0');
        s.getCharacters(units.data(), NSMakeRange(0, units.size()));
        putCount(units.size());
        for (char16_t u : units) putLE(u, 2);
        return;
    }
    if (cls.isSubclassOf(NSNumber::classRecord())) return putNumber(object);
    if (cls.isSubclassOf(NSData::classRecord())) {
        auto& d = static_cast<const NSData&>(object);
        putCount(d.length());
        m_body.insert(m_body.end(), d.bytes(), d.bytes() + d.length());
        return;
    }
    if (cls.isSubclassOf(NSArray::classRecord())) {
        auto elements = static_cast<const NSArray&>(object).snapshot();
        putCount(elements.size());
        for (const Id& e : elements) encodeObject(e);
        return;
    }
    if (cls.isSubclassOf(NSDictionary::classRecord())) {
        auto entries = static_cast<const NSDictionary&>(object).entries();
        putCount(entries.size());
        for (const auto& [key, value] : entries) {
            encodeObject(key);
            encodeObject(value);
        }
        return;
    }
    if (cls.isSubclassOf(NSDate::classRecord())) {
        double t = static_cast<const NSDate&>(object).timeIntervalSinceReferenceDate();
        uint64_t bits;
        std::memcpy(&bits, &t, 8);
        putLE(bits, 8);
        return;
    }
    if (cls.isSubclassOf(NSValue::classRecord())) return putValue(object);
    if (cls.isSubclassOf(NSSet::classRecord())) {
        auto members = static_cast<const NSSet&>(object).snapshot();
        putCount(members.size());
        for (const Id& m : members) encodeObject(m);
        return;
    }
    if (cls.isSubclassOf(NSIndexSet::classRecord())) {
        const auto& ranges = static_cast<const NSIndexSet&>(object).ranges();
        putCount(ranges.size());
        for (NSRange r : ranges) putLE(r.location, 8), putLE(r.length, 8);
        return;
    }
    if (&cls == &NSIndexPath::classRecord()) {
        const auto& indexes = static_cast<const NSIndexPath&>(object).indexes();
        putCount(indexes.size());
        for (NSUInteger i : indexes) putLE(i, 8);
        return;
    }
    // NSNull has no body.
}

void NSArchiver::putNumber(const NSObject& object)
{
    auto& n = static_cast<const NSNumber&>(object);
    auto bitsOf = [](auto v) {
        uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof v);
        return bits;
    };
    switch (n.kind()) {
    case NSNumber::Kind::Bool:
        put('B');
        putLE(n.boolValue() ? 1 : 0, 1);
        return;
    case NSNumber::Kind::Char:
        put('c');
        putLE(static_cast<uint8_t>(n.charValue()), 1);
        return;
    case NSNumber::Kind::Short:
        put('s');
        putLE(static_cast<uint16_t>(n.integerValue()), 2);
        return;
    case NSNumber::Kind::Int:
        put('i');
        putLE(static_cast<uint32_t>(n.intValue()), 4);
        return;
    case NSNumber::Kind::Integer:
        put('q');
        putLE(static_cast<uint64_t>(n.integerValue()), 8);
        return;
    case NSNumber::Kind::Unsigned:
        put('Q');
        putLE(n.unsignedIntegerValue(), 8);
        return;
    case NSNumber::Kind::Float:
        put('f');
        putLE(bitsOf(n.floatValue()), 4);
        return;
    case NSNumber::Kind::Double:
        put('d');
        putLE(bitsOf(n.doubleValue()), 8);
        return;
    }
}

void NSArchiver::putValue(const NSObject& object)
{
    auto& v = static_cast<const NSValue&>(object);
    auto putDouble = [this](double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        putLE(bits, 8);
    };
    std::string_view type = v.objCType();
    if (type == "{CGPoint=dd}") {
        put('P');
        putDouble(v.pointValue().x), putDouble(v.pointValue().y);
    } else if (type == "{CGSize=dd}") {
        put('S');
        putDouble(v.sizeValue().width), putDouble(v.sizeValue().height);
    } else if (type == "{_NSRange=QQ}") {
        put('N');
        putLE(v.rangeValue().location, 8), putLE(v.rangeValue().length, 8);
    } else if (type.starts_with("{CGRect")) {
        NSRect r = v.rectValue();
        put('R');
        putDouble(r.origin.x), putDouble(r.origin.y), putDouble(r.size.width), putDouble(r.size.height);
    } else {
        put('0');  // an empty value
    }
}
