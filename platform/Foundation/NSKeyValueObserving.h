#pragma once
// Key-value observing constants. The methods are on NSObject: addObserver,
// removeObserver, observeValueForKeyPathOfObjectChangeContext,
// will/didChangeValueForKey and the indexed will/didChangeValuesAtIndexesForKey.
#include "Foundation/NSString.h"

using NSKeyValueObservingOptions = NSUInteger;
inline constexpr NSKeyValueObservingOptions NSKeyValueObservingOptionNew = 1;
inline constexpr NSKeyValueObservingOptions NSKeyValueObservingOptionOld = 2;
// A notice is sent at once, from addObserver.
inline constexpr NSKeyValueObservingOptions NSKeyValueObservingOptionInitial = 4;
// A notice is sent before each change as well as after it.
inline constexpr NSKeyValueObservingOptions NSKeyValueObservingOptionPrior = 8;

using NSKeyValueChange = NSUInteger;
inline constexpr NSKeyValueChange NSKeyValueChangeSetting = 1;
inline constexpr NSKeyValueChange NSKeyValueChangeInsertion = 2;
inline constexpr NSKeyValueChange NSKeyValueChangeRemoval = 3;
inline constexpr NSKeyValueChange NSKeyValueChangeReplacement = 4;

// Keys of the change dictionary. Values that are nil appear as NSNull.
inline const Ref<NSString> NSKeyValueChangeKindKey = "kind"_ns;
inline const Ref<NSString> NSKeyValueChangeNewKey = "new"_ns;
inline const Ref<NSString> NSKeyValueChangeOldKey = "old"_ns;
inline const Ref<NSString> NSKeyValueChangeIndexesKey = "indexes"_ns;
inline const Ref<NSString> NSKeyValueChangeNotificationIsPriorKey = "notificationIsPrior"_ns;
