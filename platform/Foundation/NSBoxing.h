#pragma once
// Conversion between C++ values and objects, used by key-value coding and by
// selectors sent by name: numbers become NSNumber, geometry becomes NSValue,
// object references pass through.
#include <type_traits>

#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

Id NSBoxBool(bool v);
Id NSBoxChar(int8_t v);
Id NSBoxShort(int16_t v);
Id NSBoxInt(int32_t v);
Id NSBoxInteger(int64_t v);
Id NSBoxUnsigned(uint64_t v);
Id NSBoxFloat(float v);
Id NSBoxDouble(double v);
Id NSBoxPoint(NSPoint v);
Id NSBoxSize(NSSize v);
Id NSBoxRect(const NSRect& v);
Id NSBoxRange(NSRange v);

// Scalars are read from numbers and from strings (by the string's numeric
// conversion), as the platform sends boolValue/intValue/... to any object.
bool NSUnboxBool(const Id& v);
int64_t NSUnboxInteger(const Id& v);
uint64_t NSUnboxUnsigned(const Id& v);
float NSUnboxFloat(const Id& v);
double NSUnboxDouble(const Id& v);
NSPoint NSUnboxPoint(const Id& v);
NSSize NSUnboxSize(const Id& v);
NSRect NSUnboxRect(const Id& v);
NSRange NSUnboxRange(const Id& v);

template <class T, class = void> struct NSBoxing;

template <class T> struct NSBoxing<Ref<T>> {
    static constexpr bool isObject = true;
    static Id box(const Ref<T>& v) { return v; }
    static Ref<T> unbox(const Id& v) { return dynamic_ref_cast<T>(v); }
};
template <> struct NSBoxing<bool> {
    static constexpr bool isObject = false;
    static Id box(bool v) { return NSBoxBool(v); }
    static bool unbox(const Id& v) { return NSUnboxBool(v); }
};
template <class T> struct NSBoxing<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static constexpr bool isObject = false;
    static Id box(T v)
    {
        if constexpr (std::is_signed_v<T>) {
            if constexpr (sizeof(T) == 1) return NSBoxChar(v);
            else if constexpr (sizeof(T) == 2) return NSBoxShort(v);
            else if constexpr (sizeof(T) == 4) return NSBoxInt(v);
            else return NSBoxInteger(v);
        } else {
            return NSBoxUnsigned(v);
        }
    }
    static T unbox(const Id& v)
    {
        if constexpr (std::is_signed_v<T>) return static_cast<T>(NSUnboxInteger(v));
        else return static_cast<T>(NSUnboxUnsigned(v));
    }
};
template <class T> struct NSBoxing<T, std::enable_if_t<std::is_enum_v<T>>> {
    static constexpr bool isObject = false;
    static Id box(T v) { return NSBoxInteger(static_cast<int64_t>(v)); }
    static T unbox(const Id& v) { return static_cast<T>(NSUnboxInteger(v)); }
};
template <> struct NSBoxing<float> {
    static constexpr bool isObject = false;
    static Id box(float v) { return NSBoxFloat(v); }
    static float unbox(const Id& v) { return NSUnboxFloat(v); }
};
template <> struct NSBoxing<double> {
    static constexpr bool isObject = false;
    static Id box(double v) { return NSBoxDouble(v); }
    static double unbox(const Id& v) { return NSUnboxDouble(v); }
};
template <> struct NSBoxing<NSPoint> {
    static constexpr bool isObject = false;
    static Id box(NSPoint v) { return NSBoxPoint(v); }
    static NSPoint unbox(const Id& v) { return NSUnboxPoint(v); }
};
template <> struct NSBoxing<NSSize> {
    static constexpr bool isObject = false;
    static Id box(NSSize v) { return NSBoxSize(v); }
    static NSSize unbox(const Id& v) { return NSUnboxSize(v); }
};
template <> struct NSBoxing<NSRect> {
    static constexpr bool isObject = false;
    static Id box(const NSRect& v) { return NSBoxRect(v); }
    static NSRect unbox(const Id& v) { return NSUnboxRect(v); }
};
template <> struct NSBoxing<NSRange> {
    static constexpr bool isObject = false;
    static Id box(NSRange v) { return NSBoxRange(v); }
    static NSRange unbox(const Id& v) { return NSUnboxRange(v); }
};
