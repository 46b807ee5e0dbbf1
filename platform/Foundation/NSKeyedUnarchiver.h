#pragma once
// Reads keyed archives and interface files (docs/ARCHIVES.md). Objects are
// decoded on first reference: standard classes by the unarchiver itself,
// every other class through initWithCoder on a fresh instance from the class
// registry. Malformed documents, values of the wrong type and classes outside
// the allowed set raise NSInconsistentArchiveException, the last before any
// object of the class is made.
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"

class NSKeyedUnarchiver : public NSCoder {
    NS_OBJECT(NSKeyedUnarchiver, NSCoder)
protected:
    NSKeyedUnarchiver() = default;

public:
    // Answers the object an entry {"id": n, "placeholder": name} stands for
    // (the owner of an interface file, the application...); nil is allowed.
    using PlaceholderResolver = std::function<Id(const std::string& name)>;

    // The object under the top-level key "root"; nil data answers nil. The
    // first form instantiates any registered class.
    static Id unarchiveObjectWithData(const Ref<NSData>& data);
    static Id unarchiveObjectWithData(const Ref<NSData>& data, const NSClassList& allowedClasses);
    // Unarchivers over JSON text or a parsed document; both check the object
    // table's shape at once. Outside any object, decode...ForKey reads the
    // document's top-level keys.
    static Ref<NSKeyedUnarchiver> unarchiverForReadingWithData(const Ref<NSData>& data);
    static Ref<NSKeyedUnarchiver> unarchiverForReadingWithJSON(nlohmann::ordered_json document);

    void setAllowedClasses(const NSClassList& allowedClasses) { m_allowed = allowedClasses; }
    void setPlaceholderResolver(PlaceholderResolver resolver) { m_resolver = std::move(resolver); }
    // The object with the given id, decoded on first use.
    Id objectWithID(int64_t id);

    bool allowsKeyedCoding() const override { return true; }

    bool containsValueForKey(const Ref<NSString>& key) const override;
    Id decodeObjectForKey(const Ref<NSString>& key) override;
    bool decodeBoolForKey(const Ref<NSString>& key) override;
    int decodeIntForKey(const Ref<NSString>& key) override;
    int32_t decodeInt32ForKey(const Ref<NSString>& key) override;
    int64_t decodeInt64ForKey(const Ref<NSString>& key) override;
    NSInteger decodeIntegerForKey(const Ref<NSString>& key) override;
    float decodeFloatForKey(const Ref<NSString>& key) override;
    double decodeDoubleForKey(const Ref<NSString>& key) override;
    NSPoint decodePointForKey(const Ref<NSString>& key) override;
    NSSize decodeSizeForKey(const Ref<NSString>& key) override;
    NSRect decodeRectForKey(const Ref<NSString>& key) override;
    std::vector<uint8_t> decodeBytesForKey(const Ref<NSString>& key) override;
    Ref<NSString> decodeStringForKey(const Ref<NSString>& key) override;

private:
    using json = nlohmann::ordered_json;
    enum class State { pending, decoding, done };
    struct Slot {
        const json* entry = nullptr;
        State state = State::pending;
        Id object;  // while decoding: the instance initWithCoder runs on
    };
    struct Scope {
        const json* keys;
        int64_t id;  // 0 for the top level
    };

    [[noreturn]] void fail(const std::string& what, const std::string& key = {}) const;
    const json* lookup(const Ref<NSString>& key) const;
    Id objectWithID(int64_t id, const std::string& key);
    void load();
    void checkAllowed(const NSClass& cls);
    Id decodeValue(const json& value, const std::string& key);
    Id decodeEntry(int64_t id, Slot& slot);
    // The platform's own classes, by family (NSKeyedUnarchiverStandard.cpp).
    Id decodeStandard(const NSClass& cls);
    Id decodeStandardNumber();
    Id decodeStandardCollection(const NSClass& cls);
    Id decodeStandardDictionary(const NSClass& cls);
    Id decodeStandardIndexes(const NSClass& cls);
    Id decodeStandardValue();
    Ref<NSString> standardStringAt(const char* key) const;
    const json* standardArrayAt(const char* key) const;
    Id elementAt(const json& array, size_t index, const std::string& key);
    double toDouble(const json& value, const std::string& key) const;
    int64_t toInteger(const json& value, const std::string& key, int64_t min, int64_t max) const;
    bool toBool(const json& value, const std::string& key) const;
    std::vector<double> toGeometry(const json& value, const char* tag, size_t count, const std::string& key) const;
    std::vector<uint8_t> toBytes(const json& value, const std::string& key) const;

    json m_document;
    json m_emptyKeys = json::object();
    std::unordered_map<int64_t, Slot> m_slots;
    std::vector<Scope> m_scopes;
    std::optional<NSClassList> m_allowed;
    PlaceholderResolver m_resolver;
    int m_depth = 0;
};
