#pragma once
// Outlets of the program's interface files that the loader cannot set by
// key-value coding: each class registers a setter per outlet name. The
// platform classes register their own outlets (a window controller's
// "window", a table's "dataSource").
#include <string>
#include <vector>

#include "AppKit/NSNib.h"

namespace InterfaceOutlets {
// Keeps the classes that only the interface files name linked into every
// program that loads the files (see interfaceOnlyClasses). The controllers
// call it before they register their outlets; safe to call more than once.
void keepInterfaceOnlyClasses();

// Answers the classes the interface files name that no code refers to, so
// that the linker keeps them (and their registration by name) in every
// program that loads the files.
std::vector<const NSClass*> interfaceOnlyClasses();

// Registers `outlet` of T as a setter that stores the value, cast to the
// member's type (a value of another class stores nil).
template <class T, class M> void registerOutlet(const std::string& outlet, Ref<M> T::*member)
{
    NSNib::registerOutletSetter<T>(
        outlet, [member](T* object, const Id& value) { object->*member = dynamic_ref_cast<M>(value); });
}
}  // namespace InterfaceOutlets
