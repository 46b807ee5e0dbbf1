#pragma once
// Binding constants and the controller markers. The methods are on NSObject:
// exposeBinding, exposedBindings, bind, unbind, infoForBinding,
// valueClassForBinding.
//
// A binding keeps the bound object's value for the binding name equal to the
// value at a key path of the observed object: on bind and on every change of
// that key path the bound object gets setValueForKey(value, binding), with the
// value transformer applied and the multiple-values placeholder standing in
// for NSMultipleValuesMarker (the other markers become nil, and nil for a
// scalar property becomes 0/NO). Writing back from the bound object to the
// model is explicit: read infoForBinding and call setValueForKeyPath.
//
// As on the platform, the binding information retains the observed object
// until unbind or until the bound object dies; an object bound to itself is
// held weakly, so it can still die.
#include "Foundation/NSString.h"

// infoForBinding keys.
inline const Ref<NSString> NSObservedObjectKey = "NSObservedObject"_ns;
inline const Ref<NSString> NSObservedKeyPathKey = "NSObservedKeyPath"_ns;
inline const Ref<NSString> NSOptionsKey = "NSOptions"_ns;

// Binding options.
// An NSValueTransformer object; it wins over a transformer name.
inline const Ref<NSString> NSValueTransformerBindingOption = "NSValueTransformer"_ns;
// A registered transformer name; an unknown name makes bind raise.
inline const Ref<NSString> NSValueTransformerNameBindingOption = "NSValueTransformerName"_ns;
inline const Ref<NSString> NSMultipleValuesPlaceholderBindingOption = "NSMultipleValuesPlaceholder"_ns;
inline const Ref<NSString> NSAllowsEditingMultipleValuesSelectionBindingOption =
    "NSAllowsEditingMultipleValuesSelection"_ns;

// What a controller answers for a key when it has no single value to give.
class NSBindingSelectionMarker : public NSObject {
    NS_OBJECT(NSBindingSelectionMarker, NSObject)
protected:
    NSBindingSelectionMarker() = default;

public:
    static Ref<NSBindingSelectionMarker> markerNamed(const char* name);
    Ref<NSString> description() const override { return m_name; }
    Id copy() const override { return const_cast<NSBindingSelectionMarker*>(this); }

private:
    Ref<NSString> m_name;
};

inline const Id NSNoSelectionMarker = NSBindingSelectionMarker::markerNamed("NSNoSelectionMarker");
inline const Id NSMultipleValuesMarker = NSBindingSelectionMarker::markerNamed("NSMultipleValuesMarker");
inline const Id NSNotApplicableMarker = NSBindingSelectionMarker::markerNamed("NSNotApplicableMarker");

// From now on the binding holds its observed object weakly (it ends when
// that object dies): for a binding to an owner that keeps the bound object
// alive itself, such as an interface file's owner.
void NSBindingHoldsObservedWeakly(const Id& bound, const Ref<NSString>& binding);

// YES for the three markers.
bool NSIsControllerMarker(const Id& object);

// Ends the bindings of an object that is being destroyed (called by the
// key-value observing machinery when any object dies).
void KeyValueBindingObjectDying(NSObject* object);
