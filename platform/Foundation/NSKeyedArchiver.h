#pragma once
// The keyed archiver: writes an object graph as a JSON document with an
// object table, the format interface files share (docs/ARCHIVES.md). Each
// object is written once; later encodings refer to it by id.
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"

class NSKeyedArchiver : public NSCoder {
    NS_OBJECT(NSKeyedArchiver, NSCoder)
protected:
    NSKeyedArchiver() = default;

public:
    // The graph under root, stored under the top-level key "root".
    static Ref<NSData> archivedDataWithRootObject(const Id& root);
    // An archiver whose encode...ForKey calls outside any object write the
    // document's top-level keys.
    static Ref<NSKeyedArchiver> create() { return alloc<NSKeyedArchiver>(); }

    // Resolves conditional objects; encoding afterwards raises
    // NSInvalidArchiveOperationException. Runs once.
    void finishEncoding();
    // The finished document, as JSON text (UTF-8) or as parsed JSON.
    Ref<NSData> encodedData();
    const nlohmann::ordered_json& encodedJSON();

    bool allowsKeyedCoding() const override { return true; }

    using NSCoder::encodeDouble;
    using NSCoder::encodeFloat;
    using NSCoder::encodeInt;
    using NSCoder::encodeInt64;
    using NSCoder::encodeObject;
    void encodeObject(const Id& object, const Ref<NSString>& key) override;
    void encodeConditionalObject(const Id& object, const Ref<NSString>& key) override;
    void encodeBool(bool v, const Ref<NSString>& key) override;
    void encodeInt(int v, const Ref<NSString>& key) override;
    void encodeInt32(int32_t v, const Ref<NSString>& key) override;
    void encodeInt64(int64_t v, const Ref<NSString>& key) override;
    void encodeInteger(NSInteger v, const Ref<NSString>& key) override;
    void encodeFloat(float v, const Ref<NSString>& key) override;
    void encodeDouble(double v, const Ref<NSString>& key) override;
    void encodePoint(NSPoint v, const Ref<NSString>& key) override;
    void encodeSize(NSSize v, const Ref<NSString>& key) override;
    void encodeRect(const NSRect& v, const Ref<NSString>& key) override;
    void encodeBytes(const void* bytes, NSUInteger length, const Ref<NSString>& key) override;
    void encodeString(const Ref<NSString>& v, const Ref<NSString>& key) override;

    // Nesting deeper than this is refused on both sides.
    static constexpr int maximumDepth = 256;

private:
    static constexpr size_t topScope = SIZE_MAX;
    nlohmann::ordered_json& keysOf(size_t scope);
    void set(const Ref<NSString>& key, nlohmann::ordered_json value);
    nlohmann::ordered_json referenceTo(const Id& object);
    void encodeStandard(const NSObject& object, const NSClass& cls);

    struct Conditional {
        size_t scope;
        std::string key;
        Id object;
    };
    nlohmann::ordered_json m_top = nlohmann::ordered_json::object();
    std::vector<nlohmann::ordered_json> m_objects;  // entry n has id n + 1
    std::unordered_map<const NSObject*, int64_t> m_ids;
    // Keeps every written object alive, so no address is reused while the
    // archive is made.
    std::vector<Id> m_written;
    std::vector<size_t> m_scopes;
    std::vector<Conditional> m_conditionals;
    std::optional<nlohmann::ordered_json> m_document;
};

// Value forms shared by the keyed archiver and unarchiver.
namespace KeyedArchiveFormat {
// A double as a JSON number, or {"$double": "nan" | "inf" | "-inf"}.
nlohmann::ordered_json doubleValue(double v);
// The shortest decimal that reads back as the same float.
nlohmann::ordered_json floatValue(float v);
}
