#include "AppKit/NSViewCoding.h"

namespace NSViewCoding {

Ref<NSString> key(const char* name)
{
    return NSString::stringWithUTF8String(name);
}

void encodeView(const NSView& view, NSCoder* coder)
{
    coder->encodeRect(view.frame(), key("NSFrame"));
    coder->encodeInteger(NSInteger(view.autoresizingMask()), key("NSAutoresizingMask"));
    coder->encodeBool(view.isHidden(), key("NSHidden"));
}

void decodeView(NSView& view, NSCoder* coder)
{
    view.initWithFrame(coder->decodeRectForKey(key("NSFrame")));
    view.setAutoresizingMask(NSUInteger(coder->decodeIntegerForKey(key("NSAutoresizingMask"))));
    view.setHidden(coder->decodeBoolForKey(key("NSHidden")));
}

void encodeIfCodable(NSCoder* coder, const Id& object, const char* name)
{
    if (object && dynamic_cast<const NSCoding*>(object.get())) coder->encodeObject(object, key(name));
}

}
