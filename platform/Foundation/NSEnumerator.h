#pragma once
// Enumerators over collections. An enumerator walks a snapshot taken when it
// was made, so the collection may change during the walk.
#include <vector>

#include "Foundation/NSObject.h"

class NSArray;

class NSEnumerator : public NSObject {
    NS_OBJECT(NSEnumerator, NSObject)
protected:
    NSEnumerator() = default;

public:
    static Ref<NSEnumerator> enumeratorWithObjects(std::vector<Id> objects);

    // The next object, or nil at the end.
    virtual Id nextObject();
    // The objects not yet enumerated; the enumerator is then at its end.
    Ref<NSArray> allObjects();

private:
    std::vector<Id> m_objects;
    size_t m_next = 0;
};
