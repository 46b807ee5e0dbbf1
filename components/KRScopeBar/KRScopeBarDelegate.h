#pragma once
// What a scope bar asks its delegate and its data source. Optional delegate
// methods answer nullopt when not implemented; the bar then assumes YES.
#include <optional>

#include "AppKit/NSImage.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSObject.h"

class KRScopeBar;
class KRScopeBarGroup;

// The selection-change notification and its user-information key.
inline const Ref<NSString> KRScopeBarSelectionDidChangeNotification = "KRScopeBarSelectionDidChangeNotification"_ns;
inline const Ref<NSString> KRGroupIdentifierKey = "KRGroupIdentifierKey"_ns;

class KRScopeBarDelegate {
public:
    virtual ~KRScopeBarDelegate() = default;
    // Before a click, a pop-up or overflow choice, or the single-selection
    // rule changes a selection.
    virtual std::optional<bool> scopeBarShouldSelectObject(KRScopeBar*, const Id&) { return std::nullopt; }
    virtual std::optional<bool> scopeBarShouldCollapseGroup(KRScopeBar*, KRScopeBarGroup*) { return std::nullopt; }
    virtual std::optional<bool> scopeBarShouldExpandGroup(KRScopeBar*, KRScopeBarGroup*) { return std::nullopt; }
    // Hears the selection changes of the bar it is the delegate of.
    virtual void scopeBarSelectionDidChange(const Ref<NSNotification>&) { }
};

// Serves the groups that have no content binding (by their index in the bar).
class KRScopeBarDataSource {
public:
    virtual ~KRScopeBarDataSource() = default;
    virtual NSUInteger scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar* bar, NSUInteger group) = 0;
    virtual Id scopeBarValueForObjectInGroupAtIndex(KRScopeBar* bar, NSUInteger group, NSUInteger index) = 0;
    // nullopt: not implemented (no images).
    virtual std::optional<Ref<NSImage>> scopeBarImageForObjectInGroupAtIndex(KRScopeBar*, NSUInteger, NSUInteger)
    {
        return std::nullopt;
    }
};
