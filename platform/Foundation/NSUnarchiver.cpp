#include "Foundation/NSUnarchiver.h"

#include <cstring>

#include "Foundation/NSArchiver.h"
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

NS_CLASS_DEFINE(NSUnarchiver)

namespace {

std::string typeName(uint8_t tag)
{
    if (tag >= 0x20 && tag < 0x7F) return std::string("'") + static_cast<char>(tag) + "'";
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", tag);
    return buffer;
}

double doubleFromBits(uint64_t bits)
{
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

}

Id NSUnarchiver::unarchiveObjectWithData(const Ref<NSData>& data)
{
    return unarchiveObjectWithData(data, propertyListClasses());
}

Id NSUnarchiver::unarchiveObjectWithData(const Ref<NSData>& data, const NSClassList& allowedClasses)
{
    if (!data) return nullptr;
    auto unarchiver = unarchiverForReadingWithData(data, allowedClasses);
    Id root = unarchiver->decodeObject();
    if (!unarchiver->isAtEnd()) unarchiver->fail(std::to_string(unarchiver->left()) + " bytes follow the root object");
    return root;
}

Ref<NSUnarchiver> NSUnarchiver::unarchiverForReadingWithData(const Ref<NSData>& data, const NSClassList& allowedClasses)
{
    auto u = alloc<NSUnarchiver>();
    if (data) u->m_bytes = data->vector();
    u->m_allowed = allowedClasses;
    const std::vector<uint8_t>& b = u->m_bytes;
    const size_t size = b.size();
    if (size < ArchiveFormat::headerSize) u->failAt("archive shorter than its 16-byte header", size);
    if (std::memcmp(b.data(), ArchiveFormat::magic, 4) != 0) u->failAt("not an archive (wrong signature)", 0);
    auto le32 = [&b](size_t at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
    };
    if (le32(4) != ArchiveFormat::version) u->failAt("unsupported format version " + std::to_string(le32(4)), 4);
    const size_t body = size - ArchiveFormat::headerSize;
    if (le32(8) != body)
        u->failAt("body length " + std::to_string(le32(8)) + " does not match the " + std::to_string(body) +
                      " bytes present",
                  8);
    if (le32(12) != ArchiveFormat::checksum(std::span(b).subspan(ArchiveFormat::headerSize)))
        u->failAt("checksum mismatch: the archive is damaged", 12);
    u->m_position = ArchiveFormat::headerSize;
    u->m_limit = size;
    return u;
}

void NSUnarchiver::failAt(const std::string& what, size_t offset) const
{
    NSException::raise(NSInconsistentArchiveException, "NSUnarchiver: " + what + " at byte " + std::to_string(offset));
}

void NSUnarchiver::need(size_t bytes, const char* what) const
{
    if (bytes > left())
        fail(std::string("truncated ") + what + ": needs " + std::to_string(bytes) + " bytes, " +
             std::to_string(left()) + " left");
}

uint64_t NSUnarchiver::takeLE(int size, const char* what)
{
    need(size, what);
    uint64_t v = 0;
    for (int i = 0; i < size; ++i) v |= uint64_t(m_bytes[m_position + i]) << (8 * i);
    m_position += size;
    return v;
}

uint32_t NSUnarchiver::takeCount(size_t bytesPerElement, const char* what)
{
    size_t at = m_position;
    uint64_t count = takeLE(4, what);
    // Checked before anything is allocated for it.
    if (count * bytesPerElement > left())
        failAt(std::string(what) + " of " + std::to_string(count) + " needs at least " +
                   std::to_string(count * bytesPerElement) + " bytes, " + std::to_string(left()) + " left",
               at);
    return static_cast<uint32_t>(count);
}

std::string NSUnarchiver::takeName()
{
    size_t at = m_position;
    uint32_t length = takeCount(1, "class name length");
    if (length == 0) failAt("empty class name", at);
    std::string name(reinterpret_cast<const char*>(m_bytes.data() + m_position), length);
    m_position += length;
    return name;
}

const NSClass& NSUnarchiver::takeClass()
{
    size_t at = m_position;
    uint8_t tag = static_cast<uint8_t>(takeLE(1, "class"));
    if (tag == ArchiveFormat::classReference) {
        uint32_t index = static_cast<uint32_t>(takeLE(4, "class reference"));
        if (index >= m_classes.size())
            failAt("reference to class #" + std::to_string(index) + " of " + std::to_string(m_classes.size()) +
                       " known",
                   at);
        return *m_classes[index];
    }
    if (tag != ArchiveFormat::newClass) failAt("unknown class marker " + typeName(tag), at);

    // Each chain entry holds a length, at least one name byte and a version.
    size_t chainAt = m_position;
    uint32_t chain = takeCount(4 + 1 + 8, "class chain");
    if (chain == 0) failAt("empty class chain", chainAt);
    const NSClass* cls = nullptr;
    for (uint32_t i = 0; i < chain; ++i) {
        size_t nameAt = m_position;
        std::string name = takeName();
        auto version = static_cast<NSInteger>(takeLE(8, "class version"));
        m_versions.emplace(name, version);
        if (i != 0) continue;
        // Resolved and checked before any object of the class is made.
        cls = NSClass::named(name);
        if (!cls) failAt("unknown class '" + name + "'", nameAt);
        if (!classIsAllowed(*cls, m_allowed)) failAt("class '" + name + "' is not among the allowed classes", nameAt);
    }
    m_classes.push_back(cls);
    return *cls;
}

Id NSUnarchiver::decodeObject()
{
    size_t at = m_position;
    uint8_t tag = static_cast<uint8_t>(takeLE(1, "value type"));
    if (tag != '@') failAt("expected an object ('@') but the archive holds " + typeName(tag), at);
    at = m_position;
    uint8_t marker = static_cast<uint8_t>(takeLE(1, "object"));
    switch (marker) {
    case ArchiveFormat::nilObject: return nullptr;
    case ArchiveFormat::newObject: return takeNewObject();
    case ArchiveFormat::objectReference: {
        uint32_t index = static_cast<uint32_t>(takeLE(4, "object reference"));
        if (index >= m_objects.size())
            failAt("reference to object #" + std::to_string(index) + " of " + std::to_string(m_objects.size()) +
                       " decoded so far",
                   at);
        if (!m_objects[index].ready) failAt("reference to object #" + std::to_string(index) + " inside itself", at);
        return m_objects[index].object;
    }
    }
    failAt("unknown object marker " + typeName(marker), at);
}

Id NSUnarchiver::takeNewObject()
{
    if (m_depth >= NSArchiver::maximumDepth)
        fail("objects nested more than " + std::to_string(NSArchiver::maximumDepth) + " deep");
    const NSClass& cls = takeClass();
    size_t lengthAt = m_position;
    uint32_t length = static_cast<uint32_t>(takeLE(4, "object length"));
    if (length > left())
        failAt("object of " + std::to_string(length) + " bytes exceeds the " + std::to_string(left()) + " bytes left",
               lengthAt);

    // The body is read within its own bounds, so a decoder can never read
    // into its neighbour's bytes.
    struct Bound {
        NSUnarchiver& u;
        size_t savedLimit;
        ~Bound() { u.m_limit = savedLimit, --u.m_depth; }
    } bound{*this, m_limit};
    m_limit = m_position + length;
    ++m_depth;

    size_t slot = m_objects.size();
    m_objects.push_back({});
    Id object;
    if (isStandardClass(cls)) {
        object = takeStandardObject(cls);
    } else {
        Id instance = cls.allocInstance();
        auto* coding = dynamic_cast<NSCoding*>(instance.get());
        if (!coding) failAt("class '" + cls.name() + "' does not adopt NSCoding", lengthAt);
        // Not reachable from its own body: decoding never builds a cycle of
        // owning references, whatever the bytes say.
        object = coding->initWithCoder(this);
    }
    m_objects[slot] = {object, true};
    if (m_position != m_limit)
        fail("object of class '" + cls.name() + "' left " + std::to_string(m_limit - m_position) + " of its " +
             std::to_string(length) + " bytes unread");
    return object;
}

Id NSUnarchiver::takeElement(const char* container)
{
    size_t at = m_position;
    Id element = decodeObject();
    if (!element) failAt(std::string("nil element in ") + container, at);
    return element;
}

Id NSUnarchiver::takeStandardObject(const NSClass& cls)
{
    if (cls.isSubclassOf(NSString::classRecord())) {
        uint32_t length = takeCount(2, "string length");
        std::u16string units(length, u'\0');
        for (auto& u : units) u = static_cast<char16_t>(takeLE(2, "string"));
        if (&cls == &NSMutableString::classRecord())
            return NSMutableString::stringWithString(NSString::stringWithUTF16(std::move(units)));
        return NSString::stringWithUTF16(std::move(units));
    }
    if (&cls == &NSNumber::classRecord()) return takeNumber();
    if (cls.isSubclassOf(NSData::classRecord())) {
        uint32_t length = takeCount(1, "data length");
        auto data = NSMutableData::dataWithLength(length);
        if (length) std::memcpy(data->mutableBytes(), m_bytes.data() + m_position, length);
        m_position += length;
        if (&cls == &NSMutableData::classRecord()) return data;
        return NSData::dataWithVector(data->vector());
    }
    if (cls.isSubclassOf(NSArray::classRecord())) {
        // Each element takes at least a type byte and an object marker.
        uint32_t count = takeCount(2, "array count");
        auto array = NSMutableArray::array();
        for (uint32_t i = 0; i < count; ++i) array->addObject(takeElement("an array"));
        if (&cls == &NSMutableArray::classRecord()) return array;
        return NSArray::arrayWithArray(array);
    }
    if (cls.isSubclassOf(NSDictionary::classRecord())) {
        uint32_t count = takeCount(4, "dictionary count");
        auto dictionary = NSMutableDictionary::dictionary();
        for (uint32_t i = 0; i < count; ++i) {
            size_t keyAt = m_position;
            Id key = takeElement("a dictionary");
            Id value = takeElement("a dictionary");
            try {
                dictionary->setObject(value, key);
            } catch (const NSException&) {
                failAt("dictionary key of class '" + key->classObject().name() + "' cannot be copied", keyAt);
            }
        }
        if (&cls == &NSMutableDictionary::classRecord()) return dictionary;
        return NSDictionary::dictionaryWithDictionary(dictionary);
    }
    if (&cls == &NSDate::classRecord())
        return NSDate::dateWithTimeIntervalSinceReferenceDate(doubleFromBits(takeLE(8, "date")));
    if (&cls == &NSValue::classRecord()) return takeValue();
    if (cls.isSubclassOf(NSSet::classRecord())) {
        uint32_t count = takeCount(2, "set count");
        auto set = NSMutableSet::set();
        for (uint32_t i = 0; i < count; ++i) set->addObject(takeElement("a set"));
        if (&cls == &NSMutableSet::classRecord()) return set;
        return NSSet::setWithSet(set);
    }
    if (cls.isSubclassOf(NSIndexSet::classRecord())) return takeIndexSet(cls);
    if (&cls == &NSIndexPath::classRecord()) {
        uint32_t length = takeCount(8, "index path length");
        std::vector<NSUInteger> indexes(length);
        for (auto& i : indexes) i = takeLE(8, "index path");
        return NSIndexPath::indexPathWithIndexes(std::move(indexes));
    }
    return NSNull::null();
}

Id NSUnarchiver::takeIndexSet(const NSClass& cls)
{
    uint32_t count = takeCount(16, "index set range count");
    auto indexes = NSMutableIndexSet::indexSet();
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = m_position;
        uint64_t location = takeLE(8, "index range"), length = takeLE(8, "index range");
        try {
            indexes->addIndexesInRange(NSMakeRange(location, length));
        } catch (const NSException&) {
            failAt("index range {" + std::to_string(location) + ", " + std::to_string(length) + "} reaches NSNotFound",
                   at);
        }
    }
    if (&cls == &NSMutableIndexSet::classRecord()) return indexes;
    return NSIndexSet::indexSetWithIndexSet(indexes);
}

Id NSUnarchiver::takeNumber()
{
    size_t at = m_position;
    uint8_t code = static_cast<uint8_t>(takeLE(1, "number type"));
    switch (code) {
    case 'B': {
        uint8_t v = static_cast<uint8_t>(takeLE(1, "number"));
        if (v > 1) failAt("boolean number holds " + std::to_string(v), at + 1);
        return NSNumber::numberWithBool(v == 1);
    }
    case 'c': return NSNumber::numberWithChar(static_cast<int8_t>(takeLE(1, "number")));
    case 's': return NSNumber::numberWithShort(static_cast<int16_t>(takeLE(2, "number")));
    case 'i': return NSNumber::numberWithInt(static_cast<int32_t>(takeLE(4, "number")));
    case 'q': return NSNumber::numberWithInteger(static_cast<int64_t>(takeLE(8, "number")));
    case 'Q': return NSNumber::numberWithUnsignedInteger(takeLE(8, "number"));
    case 'f': {
        auto bits = static_cast<uint32_t>(takeLE(4, "number"));
        float f;
        std::memcpy(&f, &bits, 4);
        return NSNumber::numberWithFloat(f);
    }
    case 'd': return NSNumber::numberWithDouble(doubleFromBits(takeLE(8, "number")));
    }
    failAt("unknown number type " + typeName(code), at);
}

Id NSUnarchiver::takeValue()
{
    size_t at = m_position;
    uint8_t code = static_cast<uint8_t>(takeLE(1, "value type"));
    auto d = [this] { return doubleFromBits(takeLE(8, "value")); };
    switch (code) {
    case 'P': {
        double x = d(), y = d();
        return NSValue::valueWithPoint(NSMakePoint(x, y));
    }
    case 'S': {
        double w = d(), h = d();
        return NSValue::valueWithSize(NSMakeSize(w, h));
    }
    case 'R': {
        double x = d(), y = d(), w = d(), h = d();
        return NSValue::valueWithRect(NSMakeRect(x, y, w, h));
    }
    case 'N': {
        uint64_t location = takeLE(8, "value"), length = takeLE(8, "value");
        return NSValue::valueWithRange(NSMakeRange(location, length));
    }
    case '0': return make<NSValue>();
    }
    failAt("unknown value type " + typeName(code), at);
}

void NSUnarchiver::decodeValueOfObjCType(const char* type, void* address)
{
    std::string_view t = type ? type : "";
    if (t == "@") {
        *static_cast<Id*>(address) = decodeObject();
        return;
    }
    int size = t == "c" ? 1 : t == "s" ? 2 : t == "i" ? 4 : t == "q" ? 8 : t == "f" ? 4 : t == "d" ? 8 : 0;
    if (size == 0 || t.size() != 1)
        NSException::raise(NSInvalidArgumentException,
                           "NSUnarchiver: unsupported type code \"" + std::string(t) + "\"");
    size_t at = m_position;
    uint8_t tag = static_cast<uint8_t>(takeLE(1, "value type"));
    if (tag != static_cast<uint8_t>(t[0]))
        failAt("expected type '" + std::string(t) + "' but the archive holds " + typeName(tag), at);
    uint64_t bits = takeLE(size, "value");
    std::memcpy(address, &bits, size);  // little-endian host, as NSArchiver checks
}

NSInteger NSUnarchiver::versionForClassName(const Ref<NSString>& className) const
{
    if (!className) return NSNotFound;
    auto it = m_versions.find(className->UTF8String());
    return it == m_versions.end() ? NSNotFound : it->second;
}
