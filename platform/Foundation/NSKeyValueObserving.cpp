// Key-value observing: change notices reach the registered observers.
#include "Foundation/NSObject.h"

namespace KVOHooks {
void willChange(NSObject*, const Ref<NSString>&) {}
void didChange(NSObject*, const Ref<NSString>&) {}
void objectDying(NSObject*) {}
}
