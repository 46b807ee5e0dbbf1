#pragma once
// Which classes a piece of code brings: while `load` runs (it opens a shared
// object, whose static initialisers register their classes), registrations
// are collected instead of only entered, and a name that already exists is
// refused and listed instead of raising inside the loader. Loads are
// serialised; a load inside a load collects into the inner one.
#include <functional>
#include <string>
#include <vector>

class NSClass;

struct NSClassRegistrations {
    std::vector<const NSClass*> registered;  // in registration order
    std::vector<std::string> refused;        // names that already existed
};

NSClassRegistrations NSClassCollectRegistrations(const std::function<void()>& load);
