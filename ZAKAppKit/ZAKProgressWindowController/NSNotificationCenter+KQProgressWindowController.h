#pragma once
// NSNotificationCenter(KQProgressWindowController): the posting side of the
// progress window. Work on any thread reports through three notifications
// whose object is a ZAKProgressDescriptor: will-begin pushes it on the
// window's stack, update applies the user information (property names to
// values) to it, did-end removes it. Every call posts synchronously on the
// receiving centre from the calling thread.
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKProgressWindowController/ZAKProgressDescriptor.h"

inline constexpr char KQWillBeginProcessingWithProgressDescriptor[] = "KQWillBeginProcessingWithProgressDescriptor";
inline constexpr char KQUpdateProcessingWithProgressDescriptor[] = "KQUpdateProcessingWithProgressDescriptor";
inline constexpr char KQDidEndProcessingWithProgressDescriptor[] = "KQDidEndProcessingWithProgressDescriptor";

namespace NSNotificationCenterExt {

// A determinate descriptor at the start value, posted as will-begin.
Ref<ZAKProgressDescriptor> postWillBeginProcessing(const Ref<NSNotificationCenter>& center, const Ref<NSString>& title,
                                                   const Ref<NSString>& infoText, double minValue, double maxValue,
                                                   double startValue, bool allowCancel);
// An indeterminate descriptor, posted as will-begin.
Ref<ZAKProgressDescriptor> postWillBeginProcessing(const Ref<NSNotificationCenter>& center, const Ref<NSString>& title,
                                                   const Ref<NSString>& infoText, bool allowCancel);
void postWillBeginProcessingWithProgressDescriptor(const Ref<NSNotificationCenter>& center,
                                                   const Ref<ZAKProgressDescriptor>& descriptor);

// postUpdateProgressDescriptor:change: — the dictionary as user information.
void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  const Ref<NSDictionary>& change);
// ...withInfoText: — "infoText" when the text is not nil.
void postUpdateProgressDescriptorWithInfoText(const Ref<NSNotificationCenter>& center,
                                              const Ref<ZAKProgressDescriptor>& descriptor,
                                              const Ref<NSString>& infoText);
// ...withTitle:infoText:currentValue:progressDescription: — each text only
// when not nil; "currentValue" (in single precision) only for a determinate
// descriptor.
void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  const Ref<NSString>& title, const Ref<NSString>& infoText, double currentValue,
                                  const Ref<NSString>& progressDescription);
// ...withCurrentValue:progressDescription:
void postUpdateProgressDescriptor(const Ref<NSNotificationCenter>& center, const Ref<ZAKProgressDescriptor>& descriptor,
                                  double currentValue, const Ref<NSString>& progressDescription);
// ...withProgressDescription:
void postUpdateProgressDescriptorWithProgressDescription(const Ref<NSNotificationCenter>& center,
                                                         const Ref<ZAKProgressDescriptor>& descriptor,
                                                         const Ref<NSString>& progressDescription);

void postDidEndProcessingWithProgressDescriptor(const Ref<NSNotificationCenter>& center,
                                                const Ref<ZAKProgressDescriptor>& descriptor);

}  // namespace NSNotificationCenterExt
