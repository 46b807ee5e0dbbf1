#pragma once
// Marks the bundle the recorder's texts and resources come from, and looks
// the recorder's texts up in its string table "ZAKKeyRecorder".
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class KRDummyClass : public NSObject {
    NS_OBJECT(KRDummyClass, NSObject)
protected:
    KRDummyClass() = default;

public:
};

// The text for the key in the recorder's table; a missing entry answers the key.
Ref<NSString> KRLocalizedString(const char* key);
