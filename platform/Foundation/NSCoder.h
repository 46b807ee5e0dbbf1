#pragma once
// The abstract coder. Non-keyed coders (NSArchiver, NSUnarchiver) write and
// read a sequence of typed values; keyed coders (NSKeyedArchiver,
// NSKeyedUnarchiver) store values by key. A coder answers the forms it does
// not support with NSInvalidArgumentException.
#include <string>
#include <vector>

#include "Foundation/NSCoding.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// The classes a decoder may instantiate; a class is allowed when it is one of
// them or a subclass of one.
using NSClassList = std::vector<const NSClass*>;

class NSCoder : public NSObject {
    NS_OBJECT(NSCoder, NSObject)
protected:
    NSCoder() = default;

public:
    // Strings, numbers, data, dates, arrays and dictionaries (with their
    // mutable forms): what unarchiving allows when the caller names nothing.
    // Sets, index sets, index paths, values and NSNull are coded by the
    // coders too, but decode only when the caller names them.
    static NSClassList propertyListClasses();
    static bool classIsAllowed(const NSClass& cls, const NSClassList& allowed);

    virtual bool allowsKeyedCoding() const { return false; }
    // The version of a class as the data being decoded records it (an encoder
    // answers the running class's version); NSNotFound when unknown.
    virtual NSInteger versionForClassName(const Ref<NSString>& className) const;

    // --- Non-keyed coding ---
    virtual void encodeObject(const Id& object);
    // Written only when the object is already in the archive (encoded
    // unconditionally before); nil otherwise. Read back with decodeObject.
    virtual void encodeConditionalObject(const Id& object);
    virtual Id decodeObject();
    // Type codes "c" (int8_t), "s" (int16_t), "i" (int32_t), "q" (int64_t),
    // "f" (float), "d" (double) and "@" (Id).
    virtual void encodeValueOfObjCType(const char* type, const void* address);
    virtual void decodeValueOfObjCType(const char* type, void* address);

    void encodeChar(int8_t v) { encodeValueOfObjCType("c", &v); }
    void encodeShort(int16_t v) { encodeValueOfObjCType("s", &v); }
    void encodeInt(int32_t v) { encodeValueOfObjCType("i", &v); }
    void encodeInt64(int64_t v) { encodeValueOfObjCType("q", &v); }
    void encodeFloat(float v) { encodeValueOfObjCType("f", &v); }
    void encodeDouble(double v) { encodeValueOfObjCType("d", &v); }
    int8_t decodeChar() { return decodeScalar<int8_t>("c"); }
    int16_t decodeShort() { return decodeScalar<int16_t>("s"); }
    int32_t decodeInt() { return decodeScalar<int32_t>("i"); }
    int64_t decodeInt64() { return decodeScalar<int64_t>("q"); }
    float decodeFloat() { return decodeScalar<float>("f"); }
    double decodeDouble() { return decodeScalar<double>("d"); }

    // --- Keyed coding ---
    virtual void encodeObject(const Id& object, const Ref<NSString>& key);
    // Written only when the object is also encoded unconditionally somewhere
    // in the same archive; otherwise the key is absent.
    virtual void encodeConditionalObject(const Id& object, const Ref<NSString>& key);
    virtual void encodeBool(bool v, const Ref<NSString>& key);
    virtual void encodeInt(int v, const Ref<NSString>& key);
    virtual void encodeInt32(int32_t v, const Ref<NSString>& key);
    virtual void encodeInt64(int64_t v, const Ref<NSString>& key);
    virtual void encodeInteger(NSInteger v, const Ref<NSString>& key);
    virtual void encodeFloat(float v, const Ref<NSString>& key);
    virtual void encodeDouble(double v, const Ref<NSString>& key);
    virtual void encodePoint(NSPoint v, const Ref<NSString>& key);
    virtual void encodeSize(NSSize v, const Ref<NSString>& key);
    virtual void encodeRect(const NSRect& v, const Ref<NSString>& key);
    virtual void encodeBytes(const void* bytes, NSUInteger length, const Ref<NSString>& key);
    virtual void encodeString(const Ref<NSString>& v, const Ref<NSString>& key);

    // A missing key decodes as nil, NO, 0 or zero geometry.
    virtual bool containsValueForKey(const Ref<NSString>& key) const;
    virtual Id decodeObjectForKey(const Ref<NSString>& key);
    virtual bool decodeBoolForKey(const Ref<NSString>& key);
    virtual int decodeIntForKey(const Ref<NSString>& key);
    virtual int32_t decodeInt32ForKey(const Ref<NSString>& key);
    virtual int64_t decodeInt64ForKey(const Ref<NSString>& key);
    virtual NSInteger decodeIntegerForKey(const Ref<NSString>& key);
    virtual float decodeFloatForKey(const Ref<NSString>& key);
    virtual double decodeDoubleForKey(const Ref<NSString>& key);
    virtual NSPoint decodePointForKey(const Ref<NSString>& key);
    virtual NSSize decodeSizeForKey(const Ref<NSString>& key);
    virtual NSRect decodeRectForKey(const Ref<NSString>& key);
    virtual std::vector<uint8_t> decodeBytesForKey(const Ref<NSString>& key);
    virtual Ref<NSString> decodeStringForKey(const Ref<NSString>& key);

protected:
    // The class an archive records for an object: the coding class of an
    // NSCoding adopter (classForCoder, else its class), else the standard
    // class it belongs to (NSMutableArray, NSString, ...), else null when the
    // object cannot be archived.
    static const NSClass* codingClassForObject(const NSObject& object);
    // Whether a class is one the coders encode and decode themselves.
    static bool isStandardClass(const NSClass& cls);
    // Raises NSInvalidArgumentException naming the coder and the selector.
    [[noreturn]] void unsupported(const char* selector) const;

private:
    template <class T> T decodeScalar(const char* type)
    {
        T v{};
        decodeValueOfObjCType(type, &v);
        return v;
    }
};
