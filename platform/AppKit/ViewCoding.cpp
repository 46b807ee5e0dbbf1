#include "AppKit/ViewCoding.h"

namespace ViewCoding {

Ref<NSString> key(const char* name) { return NSString::stringWithUTF8String(name); }

void encodeView(const NSView& view, NSCoder* coder) { view.encodeViewKeys(coder, false); }

void decodeView(NSView& view, NSCoder* coder) { view.decodeViewKeys(coder, false); }

void encodeIfCodable(NSCoder* coder, const Id& object, const char* name)
{
    if (object && dynamic_cast<const NSCoding*>(object.get())) coder->encodeObject(object, key(name));
}

}
