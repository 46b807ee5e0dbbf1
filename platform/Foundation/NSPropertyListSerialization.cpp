#include "Foundation/NSPropertyListSerialization.h"

#include <plist/plist.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"
#include "Foundation/NestingDepth.h"

NS_CLASS_DEFINE(NSPropertyListSerialization)

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

Ref<NSError> plistError(NSInteger code, const std::string& text)
{
    return NSError::errorWithDomain(
        NSCocoaErrorDomain(), code,
        NSDictionary::dictionaryWithObjectForKey(NSString::stringWithUTF8String(text), NSLocalizedDescriptionKey()));
}

// libplist takes C strings, so text holding U+0000 cannot be written.
bool isWritableString(const NSString& s) { return s.utf16().find(u'\0') == std::u16string::npos; }

// Why the value cannot go into an XML property list, or "" when it can.
// Containers deeper than a reader accepts are refused, so that what is
// written can be read back.
std::string invalidReason(const NSObject* value, size_t depth = 1)
{
    if (!value) return "nil is not a property-list value";
    const bool container = dynamic_cast<const NSArray*>(value) || dynamic_cast<const NSDictionary*>(value);
    if (container && depth > NestingDepth::maximum)
        return "containers nested more than " + std::to_string(NestingDepth::maximum) + " deep cannot be written";
    if (auto* s = dynamic_cast<const NSString*>(value))
        return isWritableString(*s) ? "" : "a string holding U+0000 cannot be written to an XML property list";
    if (dynamic_cast<const NSNumber*>(value) || dynamic_cast<const NSData*>(value) ||
        dynamic_cast<const NSDate*>(value))
        return "";
    if (auto* array = dynamic_cast<const NSArray*>(value)) {
        for (const Id& element : array->objects())
            if (std::string why = invalidReason(element.get(), depth + 1); !why.empty()) return why;
        return "";
    }
    if (auto* dictionary = dynamic_cast<const NSDictionary*>(value)) {
        for (const auto& [key, object] : dictionary->entries()) {
            auto* keyString = dynamic_cast<const NSString*>(key.get());
            if (!keyString) return "dictionary keys must be strings, not " + key->realClass().name();
            if (std::string why = invalidReason(keyString); !why.empty()) return why;
            if (std::string why = invalidReason(object.get(), depth + 1); !why.empty()) return why;
        }
        return "";
    }
    return "values of class " + value->realClass().name() + " are not property-list values";
}

plist_t nodeFor(const NSObject* value);

plist_t numberNode(const NSNumber& n)
{
    switch (n.kind()) {
    case NSNumber::Kind::Bool: return plist_new_bool(n.boolValue() ? 1 : 0);
    case NSNumber::Kind::Float:
    case NSNumber::Kind::Double: return plist_new_real(n.doubleValue());
    case NSNumber::Kind::Unsigned: return plist_new_uint(n.unsignedIntegerValue());
    default:
        // libplist keeps one 64-bit integer node and writes it signed, so a
        // negative value travels as its two's complement.
        return plist_new_uint(static_cast<uint64_t>(n.integerValue()));
    }
}

plist_t dateNode(const NSDate& d)
{
    // libplist holds whole seconds in 32 bits; XML dates carry whole seconds.
    double seconds = std::floor(d.timeIntervalSinceReferenceDate());
    seconds = std::clamp(seconds, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX));
    return plist_new_date(static_cast<int32_t>(seconds), 0);
}

plist_t nodeFor(const NSObject* value)
{
    if (auto* s = dynamic_cast<const NSString*>(value)) return plist_new_string(s->UTF8String().c_str());
    if (auto* n = dynamic_cast<const NSNumber*>(value)) return numberNode(*n);
    if (auto* d = dynamic_cast<const NSData*>(value))
        return plist_new_data(reinterpret_cast<const char*>(d->bytes()), d->length());
    if (auto* d = dynamic_cast<const NSDate*>(value)) return dateNode(*d);
    if (auto* array = dynamic_cast<const NSArray*>(value)) {
        plist_t node = plist_new_array();
        for (const Id& element : array->objects()) plist_array_append_item(node, nodeFor(element.get()));
        return node;
    }
    auto* dictionary = dynamic_cast<const NSDictionary*>(value);
    plist_t node = plist_new_dict();
    for (const auto& [key, object] : dictionary->entries())
        plist_dict_set_item(node, static_cast<NSString*>(key.get())->UTF8String().c_str(), nodeFor(object.get()));
    return node;
}

// The writer indents each level one tab more; past a few levels the tabs are
// dropped, so that the size of what is written grows with the value, not
// with the value times its depth.
std::string cappedIndentation(std::string_view xml)
{
    constexpr size_t maximumTabs = 16;
    std::string out;
    out.reserve(xml.size());
    size_t lineStart = 0;
    while (lineStart < xml.size()) {
        size_t lineEnd = xml.find('\n', lineStart);
        lineEnd = lineEnd == std::string_view::npos ? xml.size() : lineEnd + 1;
        std::string_view line = xml.substr(lineStart, lineEnd - lineStart);
        const size_t tabs = std::min(line.find_first_not_of('\t'), line.size());
        if (tabs > maximumTabs) line.remove_prefix(tabs - maximumTabs);
        out += line;
        lineStart = lineEnd;
    }
    return out;
}

// Reading: each node becomes its object, or nil with a reason.
struct Reader {
    NSUInteger options;
    std::string failure;
    size_t depth = 0;

    Id fail(std::string why)
    {
        if (failure.empty()) failure = std::move(why);
        return nullptr;
    }

    Ref<NSString> string(plist_t node)
    {
        char* text = nullptr;
        if (plist_get_node_type(node) == PLIST_KEY) plist_get_key_val(node, &text);
        else plist_get_string_val(node, &text);
        std::string utf8 = text ? text : "";
        std::free(text);
        return NSString::stringWithUTF8String(utf8);
    }

    Id leaf(Ref<NSString> s)
    {
        if (!s) return fail("a string is not valid UTF-8");
        if (options == NSPropertyListMutableContainersAndLeaves) return s->mutableCopy();
        return s;
    }

    // Counts one container level for as long as it lives.
    struct Level {
        size_t& depth;
        explicit Level(size_t& d)
            : depth(++d)
        { }
        ~Level() { --depth; }
    };

    Id object(plist_t node)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_STRING: return leaf(string(node));
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return NSNumber::numberWithBool(b != 0);
        }
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return NSNumber::numberWithInteger(static_cast<NSInteger>(v));
        }
        case PLIST_REAL: {
            double v = 0;
            plist_get_real_val(node, &v);
            return NSNumber::numberWithDouble(v);
        }
        case PLIST_DATE: {
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            return NSDate::dateWithTimeIntervalSinceReferenceDate(sec + usec / 1e6);
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            auto data = NSData::dataWithBytes(bytes, length);
            std::free(bytes);
            if (options == NSPropertyListMutableContainersAndLeaves) return data->mutableCopy();
            return data;
        }
        case PLIST_ARRAY: return array(node);
        case PLIST_DICT: return dictionary(node);
        default: return fail("the property list holds a value of an unsupported type");
        }
    }

    Id array(plist_t node)
    {
        Level level(depth);
        if (depth > NestingDepth::maximum) return fail("its containers are nested too deeply");
        auto result = NSMutableArray::array();
        uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            Id element = object(plist_array_get_item(node, i));
            if (!element) return nullptr;
            result->addObject(element);
        }
        if (options != NSPropertyListImmutable) return result;
        return NSArray::arrayWithArray(result);
    }

    Id dictionary(plist_t node)
    {
        Level level(depth);
        if (depth > NestingDepth::maximum) return fail("its containers are nested too deeply");
        auto result = NSMutableDictionary::dictionary();
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            std::string keyText = key ? key : "";
            std::free(key);
            auto keyString = NSString::stringWithUTF8String(keyText);
            if (!keyString) {
                std::free(it);
                return fail("a dictionary key is not valid UTF-8");
            }
            Id element = object(value);
            if (!element) {
                std::free(it);
                return nullptr;
            }
            result->setObject(element, keyString);
        }
        std::free(it);
        if (options != NSPropertyListImmutable) return result;
        return NSDictionary::dictionaryWithDictionary(result);
    }
};

}

bool NSPropertyListSerialization::propertyListIsValidForFormat(const Id& plist, NSPropertyListFormat format)
{
    return format == NSPropertyListXMLFormat_v1_0 && invalidReason(plist.get()).empty();
}

Ref<NSData> NSPropertyListSerialization::dataWithPropertyList(const Id& plist, NSPropertyListFormat format, NSUInteger,
                                                              Ref<NSError>* error)
{
    if (format != NSPropertyListXMLFormat_v1_0) {
        if (error) *error = plistError(NSPropertyListWriteInvalidError, "Only XML property lists can be written.");
        return nullptr;
    }
    if (std::string why = invalidReason(plist.get()); !why.empty()) {
        if (error)
            *error = plistError(NSPropertyListWriteInvalidError, "Property list invalid for format: " + why + ".");
        return nullptr;
    }
    PlistPtr root(nodeFor(plist.get()));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) {
        if (error) *error = plistError(NSPropertyListWriteInvalidError, "The property list could not be written.");
        return nullptr;
    }
    const std::string text = cappedIndentation(std::string_view(xml, length));
    auto data = NSData::dataWithBytes(text.data(), text.size());
    plist_to_xml_free(xml);
    return data;
}

Id NSPropertyListSerialization::propertyListWithData(const Ref<NSData>& data, NSUInteger options,
                                                     NSPropertyListFormat* format, Ref<NSError>* error)
{
    auto corrupt = [&](const std::string& why) -> Id {
        if (error) *error = plistError(NSPropertyListReadCorruptError, "The data couldn\u2019t be read: " + why + ".");
        return nullptr;
    };
    if (!data || data->length() == 0) return corrupt("it is empty");
    if (data->length() > UINT32_MAX) return corrupt("it is too large");
    // A private copy ends in NUL, so the parser never reads past the bytes.
    std::string text(data->view());
    if (text.find('\0') != std::string::npos) return corrupt("it is not an XML property list");
    // The root element and a leaf's element enclose the containers.
    if (NestingDepth::xmlExceeds(text, NestingDepth::maximum + 2))
        return corrupt("its containers are nested more than " + std::to_string(NestingDepth::maximum) + " deep");
    plist_t node = nullptr;
    plist_from_xml(text.c_str(), static_cast<uint32_t>(text.size()), &node);
    if (!node) return corrupt("it is not a well-formed XML property list");
    PlistPtr root(node);
    Reader reader{options, {}};
    Id result = reader.object(root.get());
    if (!result) return corrupt(reader.failure);
    if (format) *format = NSPropertyListXMLFormat_v1_0;
    return result;
}
