#pragma once
// Property lists: strings, numbers (integers, reals, booleans), data, dates,
// arrays and dictionaries with string keys, read and written as XML through
// libplist. Numbers keep their kind: a boolean reads back as a Bool NSNumber,
// never as 1, and a real keeps every bit of its double (so a float widened to
// double reads back as that float).
#include "Foundation/NSData.h"
#include "Foundation/NSError.h"

enum NSPropertyListFormat : NSUInteger {
    NSPropertyListOpenStepFormat = 1,
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

enum NSPropertyListMutabilityOptions : NSUInteger {
    NSPropertyListImmutable = 0,
    NSPropertyListMutableContainers = 1,
    NSPropertyListMutableContainersAndLeaves = 2,
};

// Error codes in NSCocoaErrorDomain.
inline constexpr NSInteger NSPropertyListReadCorruptError = 3840;
inline constexpr NSInteger NSPropertyListWriteInvalidError = 3852;

class NSPropertyListSerialization : public NSObject {
    NS_OBJECT(NSPropertyListSerialization, NSObject)
protected:
    NSPropertyListSerialization() = default;

public:
    // Whether every value in the tree is a property-list type the format can
    // hold. Only the XML format is supported.
    static bool propertyListIsValidForFormat(const Id& plist, NSPropertyListFormat format);

    // The XML text of the property list, or nil with an error when a value is
    // not a property-list type.
    static Ref<NSData> dataWithPropertyList(const Id& plist, NSPropertyListFormat format, NSUInteger options,
                                            Ref<NSError>* error);
    // The property list in the XML data, or nil with an error saying why it
    // could not be read. Containers are immutable unless the options ask for
    // mutable ones.
    static Id propertyListWithData(const Ref<NSData>& data, NSUInteger options, NSPropertyListFormat* format,
                                   Ref<NSError>* error);
};
