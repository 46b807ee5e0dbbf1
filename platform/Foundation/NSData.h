#pragma once
// Byte buffers.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/NSObject.h"

class NSError;

// Standard base64 with padding, the one implementation of the layer (data,
// keyed archives). Decoding answers false on anything but padded base64.
std::string Base64Encode(std::span<const uint8_t> bytes);
bool Base64Decode(std::string_view text, std::vector<uint8_t>& out);

class NSData : public NSObject {
    NS_OBJECT(NSData, NSObject)
protected:
    NSData() = default;

public:
    static Ref<NSData> data();
    static Ref<NSData> dataWithBytes(const void* bytes, NSUInteger length);
    static Ref<NSData> dataWithVector(std::vector<uint8_t> bytes);
    // nil when the file cannot be read (a directory cannot).
    static Ref<NSData> dataWithContentsOfFile(const Ref<NSString>& path);
    // As above; on failure *error (when given) says why: NSCocoaErrorDomain
    // with NSFileReadNoSuchFileError, NSFileReadNoPermissionError or
    // NSFileReadUnknownError, the path and the underlying POSIX error.
    static Ref<NSData> dataWithContentsOfFile(const Ref<NSString>& path, NSUInteger options, Ref<NSError>* error);
    // Standard base64 with padding; nil when the text is not valid base64.
    Ref<NSData> initWithBase64EncodedString(const Ref<NSString>& text);

    NSUInteger length() const { return m_bytes.size(); }
    const uint8_t* bytes() const { return m_bytes.data(); }
    const std::vector<uint8_t>& vector() const { return m_bytes; }
    std::string_view view() const { return {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()}; }
    Ref<NSData> subdataWithRange(NSRange range) const;
    // Copies the bytes of the range; past the end raises NSRangeException.
    void getBytes(void* buffer, NSRange range) const;
    void getBytes(void* buffer, NSUInteger length) const;
    Ref<NSString> base64EncodedString() const;
    // Writes through a temporary file and a rename when atomically is set.
    bool writeToFile(const Ref<NSString>& path, bool atomically) const;

    bool isEqual(const NSObject* other) const override;
    bool isEqualToData(const Ref<NSData>& other) const { return other && other->m_bytes == m_bytes; }
    NSUInteger hash() const override;
    Ref<NSString> description() const override;
    Id copy() const override { return const_cast<NSData*>(this); }
    Id mutableCopy() const override;

protected:
    std::vector<uint8_t> m_bytes;
};

class NSMutableData : public NSData {
    NS_OBJECT(NSMutableData, NSData)
protected:
    NSMutableData() = default;

public:
    static Ref<NSMutableData> data();
    static Ref<NSMutableData> dataWithLength(NSUInteger length);  // zero-filled
    static Ref<NSMutableData> dataWithData(const Ref<NSData>& other);

    uint8_t* mutableBytes() { return m_bytes.data(); }
    void setLength(NSUInteger length) { m_bytes.resize(length, 0); }
    void appendBytes(const void* bytes, NSUInteger length);
    void appendData(const Ref<NSData>& other);
    void replaceBytesInRange(NSRange range, const void* bytes, NSUInteger length);
    Id copy() const override;
};
