#pragma once
// The non-keyed archiver: a self-describing binary stream of typed values and
// objects (docs/ARCHIVES.md gives the byte layout). Objects shared within
// one archive are written once and referenced afterwards; a cycle (an object
// reached again from its own contents) raises, since it could not be read back.
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"

class NSArchiver : public NSCoder {
    NS_OBJECT(NSArchiver, NSCoder)
protected:
    NSArchiver() = default;

public:
    // Encodes the object graph under root into a complete archive. Raises
    // NSInvalidArgumentException for an object that cannot be archived.
    static Ref<NSData> archivedDataWithRootObject(const Id& root);
    // An archiver for several top-level values, read back in the same order by
    // an NSUnarchiver.
    static Ref<NSArchiver> create() { return alloc<NSArchiver>(); }

    void encodeRootObject(const Id& root) { encodeObject(root); }
    // The archive of everything encoded so far: header, then the values.
    Ref<NSData> archiverData() const;

    using NSCoder::encodeObject;
    void encodeObject(const Id& object) override;
    // A reference when the object was written before (and is complete),
    // else nil: the archive is written in one pass.
    void encodeConditionalObject(const Id& object) override;
    void encodeValueOfObjCType(const char* type, const void* address) override;

    // Nesting deeper than this is refused on both sides, so that decoding can
    // never exhaust the stack.
    static constexpr int maximumDepth = 256;

private:
    void put(uint8_t byte) { m_body.push_back(byte); }
    void putLE(uint64_t value, int size);
    void putCount(NSUInteger count);
    void putName(const std::string& name);
    void putClass(const NSClass& cls);
    void putStandardBody(const NSObject& object, const NSClass& cls);
    void putNumber(const NSObject& object);
    void putValue(const NSObject& object);

    std::vector<uint8_t> m_body;
    std::unordered_map<const NSObject*, uint32_t> m_objectIndex;
    std::unordered_map<const NSClass*, uint32_t> m_classIndex;
    // Keeps every written object alive, so a temporary's address is never
    // reused for another object and mistaken for a shared one.
    std::vector<Id> m_written;
    std::unordered_set<const NSObject*> m_unfinished;
    int m_depth = 0;
};

// The layout's constants and its checksum, shared with NSUnarchiver.
namespace ArchiveFormat {
inline constexpr uint8_t magic[4] = {'N', 'S', 'A', 'R'};
inline constexpr uint32_t version = 1;
inline constexpr size_t headerSize = 16;  // magic, version, body length, CRC-32
enum ObjectTag : uint8_t { nilObject = 0, newObject = 1, objectReference = 2 };
enum ClassTag : uint8_t { newClass = 1, classReference = 2 };
// CRC-32 (IEEE 802.3, as zlib computes it) of the body.
uint32_t checksum(std::span<const uint8_t> bytes);
}
