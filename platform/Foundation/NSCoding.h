#pragma once
// The coding protocol: a class that can be written into archives adopts it
// next to its NSObject base. Decoding runs initWithCoder on a fresh instance
// made by the class registry, before any other init form.
#include "Foundation/NSObject.h"

class NSClass;
class NSCoder;

class NSCoding {
public:
    virtual ~NSCoding() = default;

    // A subclass encodes its superclass's values first, then its own.
    virtual void encodeWithCoder(NSCoder* coder) const = 0;
    // Runs on an uninitialised instance (allocInstance); answers the decoded
    // object, usually the receiver, possibly another one.
    virtual Id initWithCoder(NSCoder* coder) = 0;
    // The class written in place of the object's own (classForCoder); null
    // means the object's class.
    virtual const NSClass* classForCoder() const { return nullptr; }
};
