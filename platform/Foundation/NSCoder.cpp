#include "Foundation/NSCoder.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCountedSet.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSIndexPath.h"
#include "Foundation/NSIndexSet.h"
#include "Foundation/NSNull.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSSet.h"
#include "Foundation/NSValue.h"

NS_CLASS_DEFINE(NSCoder)

NSClassList NSCoder::propertyListClasses()
{
    return {&NSString::classRecord(), &NSNumber::classRecord(), &NSData::classRecord(),
            &NSDate::classRecord(),   &NSArray::classRecord(),  &NSDictionary::classRecord()};
}

bool NSCoder::classIsAllowed(const NSClass& cls, const NSClassList& allowed)
{
    for (const NSClass* a : allowed)
        if (a && cls.isSubclassOf(*a)) return true;
    return false;
}

const NSClass* NSCoder::codingClassForObject(const NSObject& object)
{
    if (auto* coding = dynamic_cast<const NSCoding*>(&object)) {
        const NSClass* cls = coding->classForCoder();
        return cls ? cls : &object.classObject();
    }
    // By the C++ type rather than by what the object says its class is, since
    // the coders read the object through that type. Most specific first.
    const NSObject* o = &object;
    if (dynamic_cast<const NSMutableString*>(o)) return &NSMutableString::classRecord();
    if (dynamic_cast<const NSString*>(o)) return &NSString::classRecord();
    if (dynamic_cast<const NSNumber*>(o)) return &NSNumber::classRecord();
    if (dynamic_cast<const NSMutableData*>(o)) return &NSMutableData::classRecord();
    if (dynamic_cast<const NSData*>(o)) return &NSData::classRecord();
    if (dynamic_cast<const NSMutableArray*>(o)) return &NSMutableArray::classRecord();
    if (dynamic_cast<const NSArray*>(o)) return &NSArray::classRecord();
    if (dynamic_cast<const NSMutableDictionary*>(o)) return &NSMutableDictionary::classRecord();
    if (dynamic_cast<const NSDictionary*>(o)) return &NSDictionary::classRecord();
    if (dynamic_cast<const NSDate*>(o)) return &NSDate::classRecord();
    if (dynamic_cast<const NSValue*>(o)) return &NSValue::classRecord();
    if (dynamic_cast<const NSNull*>(o)) return &NSNull::classRecord();
    // A counted set would lose its counts as a plain set: not archivable.
    if (dynamic_cast<const NSCountedSet*>(o)) return nullptr;
    if (dynamic_cast<const NSMutableSet*>(o)) return &NSMutableSet::classRecord();
    if (dynamic_cast<const NSSet*>(o)) return &NSSet::classRecord();
    if (dynamic_cast<const NSMutableIndexSet*>(o)) return &NSMutableIndexSet::classRecord();
    if (dynamic_cast<const NSIndexSet*>(o)) return &NSIndexSet::classRecord();
    if (dynamic_cast<const NSIndexPath*>(o)) return &NSIndexPath::classRecord();
    return nullptr;
}

bool NSCoder::isStandardClass(const NSClass& cls)
{
    static const NSClass* const standard[] = {
        &NSString::classRecord(),
        &NSMutableString::classRecord(),
        &NSNumber::classRecord(),
        &NSData::classRecord(),
        &NSMutableData::classRecord(),
        &NSArray::classRecord(),
        &NSMutableArray::classRecord(),
        &NSDictionary::classRecord(),
        &NSMutableDictionary::classRecord(),
        &NSDate::classRecord(),
        &NSValue::classRecord(),
        &NSNull::classRecord(),
        &NSSet::classRecord(),
        &NSMutableSet::classRecord(),
        &NSIndexSet::classRecord(),
        &NSMutableIndexSet::classRecord(),
        &NSIndexPath::classRecord(),
    };
    for (const NSClass* c : standard)
        if (c == &cls) return true;
    return false;
}

NSInteger NSCoder::versionForClassName(const Ref<NSString>& className) const
{
    const NSClass* cls = NSClassFromString(className);
    return cls ? cls->version() : NSNotFound;
}

void NSCoder::unsupported(const char* selector) const
{
    NSException::raise(NSInvalidArgumentException,
                       "*** -[" + realClass().name() + " " + selector + "]: not supported by this coder");
}

void NSCoder::encodeObject(const Id&) { unsupported("encodeObject:"); }
void NSCoder::encodeConditionalObject(const Id&) { unsupported("encodeConditionalObject:"); }
Id NSCoder::decodeObject() { unsupported("decodeObject"); }
void NSCoder::encodeValueOfObjCType(const char*, const void*) { unsupported("encodeValueOfObjCType:at:"); }
void NSCoder::decodeValueOfObjCType(const char*, void*) { unsupported("decodeValueOfObjCType:at:"); }

void NSCoder::encodeObject(const Id&, const Ref<NSString>&) { unsupported("encodeObject:forKey:"); }
void NSCoder::encodeConditionalObject(const Id&, const Ref<NSString>&)
{
    unsupported("encodeConditionalObject:forKey:");
}
void NSCoder::encodeBool(bool, const Ref<NSString>&) { unsupported("encodeBool:forKey:"); }
void NSCoder::encodeInt(int, const Ref<NSString>&) { unsupported("encodeInt:forKey:"); }
void NSCoder::encodeInt32(int32_t, const Ref<NSString>&) { unsupported("encodeInt32:forKey:"); }
void NSCoder::encodeInt64(int64_t, const Ref<NSString>&) { unsupported("encodeInt64:forKey:"); }
void NSCoder::encodeInteger(NSInteger, const Ref<NSString>&) { unsupported("encodeInteger:forKey:"); }
void NSCoder::encodeFloat(float, const Ref<NSString>&) { unsupported("encodeFloat:forKey:"); }
void NSCoder::encodeDouble(double, const Ref<NSString>&) { unsupported("encodeDouble:forKey:"); }
void NSCoder::encodePoint(NSPoint, const Ref<NSString>&) { unsupported("encodePoint:forKey:"); }
void NSCoder::encodeSize(NSSize, const Ref<NSString>&) { unsupported("encodeSize:forKey:"); }
void NSCoder::encodeRect(const NSRect&, const Ref<NSString>&) { unsupported("encodeRect:forKey:"); }
void NSCoder::encodeBytes(const void*, NSUInteger, const Ref<NSString>&) { unsupported("encodeBytes:length:forKey:"); }
void NSCoder::encodeString(const Ref<NSString>&, const Ref<NSString>&) { unsupported("encodeString:forKey:"); }

bool NSCoder::containsValueForKey(const Ref<NSString>&) const { unsupported("containsValueForKey:"); }
Id NSCoder::decodeObjectForKey(const Ref<NSString>&) { unsupported("decodeObjectForKey:"); }
bool NSCoder::decodeBoolForKey(const Ref<NSString>&) { unsupported("decodeBoolForKey:"); }
int NSCoder::decodeIntForKey(const Ref<NSString>&) { unsupported("decodeIntForKey:"); }
int32_t NSCoder::decodeInt32ForKey(const Ref<NSString>&) { unsupported("decodeInt32ForKey:"); }
int64_t NSCoder::decodeInt64ForKey(const Ref<NSString>&) { unsupported("decodeInt64ForKey:"); }
NSInteger NSCoder::decodeIntegerForKey(const Ref<NSString>&) { unsupported("decodeIntegerForKey:"); }
float NSCoder::decodeFloatForKey(const Ref<NSString>&) { unsupported("decodeFloatForKey:"); }
double NSCoder::decodeDoubleForKey(const Ref<NSString>&) { unsupported("decodeDoubleForKey:"); }
NSPoint NSCoder::decodePointForKey(const Ref<NSString>&) { unsupported("decodePointForKey:"); }
NSSize NSCoder::decodeSizeForKey(const Ref<NSString>&) { unsupported("decodeSizeForKey:"); }
NSRect NSCoder::decodeRectForKey(const Ref<NSString>&) { unsupported("decodeRectForKey:"); }
std::vector<uint8_t> NSCoder::decodeBytesForKey(const Ref<NSString>&)
{
    unsupported("decodeBytesForKey:returnedLength:");
}
Ref<NSString> NSCoder::decodeStringForKey(const Ref<NSString>&) { unsupported("decodeStringForKey:"); }
