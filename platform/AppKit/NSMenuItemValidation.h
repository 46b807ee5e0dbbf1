#pragma once
// validateMenuItem: as a protocol. A target (or the responder that takes a
// nil-targeted action) adopts it to decide whether an item is enabled; a
// class may instead register "validateMenuItem:" in its action table,
// answering a boolean. nullopt means "not implemented": the item is enabled.
#include <optional>

#include "Foundation/Ref.h"

class NSMenuItem;

class NSMenuItemValidation {
public:
    virtual ~NSMenuItemValidation() = default;
    virtual std::optional<bool> validateMenuItem(const Ref<NSMenuItem>&) { return std::nullopt; }
};
