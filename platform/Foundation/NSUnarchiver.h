#pragma once
// Reads what NSArchiver wrote. Every count, length and reference is checked
// against the bytes left before it is used, and only the classes the caller
// allows are instantiated; anything else raises
// NSInconsistentArchiveException naming the fault and its byte offset.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"

class NSUnarchiver : public NSCoder {
    NS_OBJECT(NSUnarchiver, NSCoder)
protected:
    NSUnarchiver() = default;

public:
    // The root object of an archive that holds only property-list classes
    // (NSCoder::propertyListClasses). nil data answers nil.
    static Id unarchiveObjectWithData(const Ref<NSData>& data);
    // The root object, instantiating only the allowed classes (and their
    // subclasses). The archive must hold exactly one root value.
    static Id unarchiveObjectWithData(const Ref<NSData>& data, const NSClassList& allowedClasses);
    // An unarchiver positioned at the first top-level value; raises when the
    // header or checksum is wrong.
    static Ref<NSUnarchiver> unarchiverForReadingWithData(const Ref<NSData>& data, const NSClassList& allowedClasses);

    bool isAtEnd() const { return m_position == m_limit; }

    using NSCoder::decodeObject;
    Id decodeObject() override;
    void decodeValueOfObjCType(const char* type, void* address) override;
    // The version recorded in the archive for a class decoded so far (its
    // superclasses included); NSNotFound for a class absent from it.
    NSInteger versionForClassName(const Ref<NSString>& className) const override;

private:
    struct Slot {
        Id object;
        bool ready = false;  // false while its body is read
    };

    [[noreturn]] void fail(const std::string& what) const { failAt(what, m_position); }
    [[noreturn]] void failAt(const std::string& what, size_t offset) const;
    size_t left() const { return m_limit - m_position; }
    void need(size_t bytes, const char* what) const;
    uint64_t takeLE(int size, const char* what);
    uint32_t takeCount(size_t bytesPerElement, const char* what);
    std::string takeName();
    const NSClass& takeClass();
    Id takeNewObject();
    Id takeStandardObject(const NSClass& cls);
    Id takeNumber();
    Id takeIndexSet(const NSClass& cls);
    Id takeValue();
    Id takeElement(const char* container);

    std::vector<uint8_t> m_bytes;
    size_t m_position = 0;
    size_t m_limit = 0;  // the end of the object body being read
    NSClassList m_allowed;
    std::vector<Slot> m_objects;
    std::vector<const NSClass*> m_classes;
    std::unordered_map<std::string, NSInteger> m_versions;
    int m_depth = 0;
};
