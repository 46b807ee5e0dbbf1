#include "ZAKAppKit/ZAKProgressWindowController/NSNotificationCenter+KQProgressWindowController.h"

#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"

namespace NSNotificationCenterExt {

namespace {

void post(const Ref<NSNotificationCenter>& center, const char* name, const Ref<ZAKProgressDescriptor>& descriptor,
          const Ref<NSDictionary>& userInfo = nullptr)
{
    if (center) center->postNotificationName(NSString::stringWithUTF8String(name), descriptor, userInfo);
}

void setIfGiven(const Ref<NSMutableDictionary>& change, const Ref<NSString>& text, const char* key)
{
    if (text) change->setObject(text, NSString::stringWithUTF8String(key));
}

// The value is shown, not computed with: single precision is enough.
void setCurrentValueIfDeterminate(const Ref<NSMutableDictionary>& change, const Ref<ZAKProgressDescriptor>& descriptor,
                                  double value)
{
    if (descriptor && !descriptor->isIndeterminate())
        change->setObject(NSNumber::numberWithFloat(float(value)), "currentValue"_ns);
}

}  // namespace

Ref<ZAKProgressDescriptor> postWillBeginProcessing(const Ref<NSNotificationCenter>& center, const Ref<NSString>& title,
                                                   const Ref<NSString>& infoText, double minValue, double maxValue,
                                                   double startValue, bool allowCancel)
{
    auto descriptor =
        NSObject::alloc<ZAKProgressDescriptor>()->initWithTitle(title, infoText, minValue, maxValue, allowCancel);
    descriptor->setCurrentValue(startValue);
    post(center, KQWillBeginProcessingWithProgressDescriptor, descriptor);
    return descriptor;
}

Ref<ZAKProgressDescriptor> postWillBeginProcessing(const Ref<NSNotificationCenter>& center, const Ref<NSString>& title,
                                                   const Ref<NSString>& infoText, bool allowCancel)
{
    auto descriptor = NSObject::alloc<ZAKProgressDescriptor>()->initWithTitle(title, infoText, allowCancel);
    post(center, KQWillBeginProcessingWithProgressDescriptor, descriptor);
    return descriptor;
}

void postWillBeginProcessingWithProgressDescriptor(const Ref<NSNotificationCenter>& center,
                                                   const Ref<ZAKProgressDescriptor>& descriptor)
{
    post(center, KQWillBeginProcessingWithProgressDescriptor, descriptor);
}

void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  const Ref<NSDictionary>& change)
{
    post(center, KQUpdateProcessingWithProgressDescriptor, descriptor, change);
}

void postUpdateProgressDescriptorWithInfoText(const Ref<NSNotificationCenter>& center,
                                              const Ref<ZAKProgressDescriptor>& descriptor,
                                              const Ref<NSString>& infoText)
{
    auto change = NSMutableDictionary::dictionary();
    setIfGiven(change, infoText, "infoText");
    post(center, KQUpdateProcessingWithProgressDescriptor, descriptor, change);
}

void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  const Ref<NSString>& title, const Ref<NSString>& infoText, double currentValue,
                                  const Ref<NSString>& progressDescription)
{
    auto change = NSMutableDictionary::dictionary();
    setIfGiven(change, title, "title");
    setIfGiven(change, infoText, "infoText");
    setCurrentValueIfDeterminate(change, descriptor, currentValue);
    setIfGiven(change, progressDescription, "progressDescription");
    post(center, KQUpdateProcessingWithProgressDescriptor, descriptor, change);
}

void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  double currentValue, const Ref<NSString>& progressDescription)
{
    auto change = NSMutableDictionary::dictionary();
    setIfGiven(change, progressDescription, "progressDescription");
    setCurrentValueIfDeterminate(change, descriptor, currentValue);
    post(center, KQUpdateProcessingWithProgressDescriptor, descriptor, change);
}

void postUpdateProgressDescriptorWithProgressDescription(const Ref<NSNotificationCenter>& center,
                                                         const Ref<ZAKProgressDescriptor>& descriptor,
                                                         const Ref<NSString>& progressDescription)
{
    auto change = NSMutableDictionary::dictionary();
    setIfGiven(change, progressDescription, "progressDescription");
    post(center, KQUpdateProcessingWithProgressDescriptor, descriptor, change);
}

void postDidEndProcessingWithProgressDescriptor(const Ref<NSNotificationCenter>& center,
                                                const Ref<ZAKProgressDescriptor>& descriptor)
{
    post(center, KQDidEndProcessingWithProgressDescriptor, descriptor);
}

}  // namespace NSNotificationCenterExt
