#pragma once
// Conversion between C++ values and objects, used by key-value coding and by
// selectors sent by name: numbers become NSNumber, geometry becomes NSValue,
// object references pass through.
#include <type_traits>

#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

Id BoxBool(bool v);
Id BoxChar(int8_t v);
Id BoxShort(int16_t v);
Id BoxInt(int32_t v);
Id BoxInteger(int64_t v);
Id BoxUnsigned(uint64_t v);
Id BoxFloat(float v);
Id BoxDouble(double v);
Id BoxPoint(NSPoint v);
Id BoxSize(NSSize v);
Id BoxRect(const NSRect& v);
Id BoxRange(NSRange v);

// Scalars are read from numbers and from strings (by the string's numeric
// conversion), as the platform sends boolValue/intValue/... to any object.
bool UnboxBool(const Id& v);
int64_t NSUnboxInteger(const Id& v);
uint64_t NSUnboxUnsigned(const Id& v);
float UnboxFloat(const Id& v);
double UnboxDouble(const Id& v);
NSPoint UnboxPoint(const Id& v);
NSSize UnboxSize(const Id& v);
NSRect UnboxRect(const Id& v);
NSRange UnboxRange(const Id& v);

template <class T, class = void> struct Boxing;

template <class T> struct Boxing<Ref<T>> {
    static constexpr bool isObject = true;
    static Id box(const Ref<T>& v) { return v; }
    static Ref<T> unbox(const Id& v) { return dynamic_ref_cast<T>(v); }
};
template <> struct Boxing<bool> {
    static constexpr bool isObject = false;
    static Id box(bool v) { return BoxBool(v); }
    static bool unbox(const Id& v) { return UnboxBool(v); }
};
template <class T> struct Boxing<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static constexpr bool isObject = false;
    static Id box(T v)
    {
        if constexpr (std::is_signed_v<T>) {
            if constexpr (sizeof(T) == 1) return BoxChar(v);
            else if constexpr (sizeof(T) == 2) return BoxShort(v);
            else if constexpr (sizeof(T) == 4) return BoxInt(v);
            else return BoxInteger(v);
        } else {
            return BoxUnsigned(v);
        }
    }
    static T unbox(const Id& v)
    {
        if constexpr (std::is_signed_v<T>) return static_cast<T>(NSUnboxInteger(v));
        else return static_cast<T>(NSUnboxUnsigned(v));
    }
};
template <class T> struct Boxing<T, std::enable_if_t<std::is_enum_v<T>>> {
    static constexpr bool isObject = false;
    static Id box(T v) { return BoxInteger(static_cast<int64_t>(v)); }
    static T unbox(const Id& v) { return static_cast<T>(NSUnboxInteger(v)); }
};
template <> struct Boxing<float> {
    static constexpr bool isObject = false;
    static Id box(float v) { return BoxFloat(v); }
    static float unbox(const Id& v) { return UnboxFloat(v); }
};
template <> struct Boxing<double> {
    static constexpr bool isObject = false;
    static Id box(double v) { return BoxDouble(v); }
    static double unbox(const Id& v) { return UnboxDouble(v); }
};
template <> struct Boxing<NSPoint> {
    static constexpr bool isObject = false;
    static Id box(NSPoint v) { return BoxPoint(v); }
    static NSPoint unbox(const Id& v) { return UnboxPoint(v); }
};
template <> struct Boxing<NSSize> {
    static constexpr bool isObject = false;
    static Id box(NSSize v) { return BoxSize(v); }
    static NSSize unbox(const Id& v) { return UnboxSize(v); }
};
template <> struct Boxing<NSRect> {
    static constexpr bool isObject = false;
    static Id box(const NSRect& v) { return BoxRect(v); }
    static NSRect unbox(const Id& v) { return UnboxRect(v); }
};
template <> struct Boxing<NSRange> {
    static constexpr bool isObject = false;
    static Id box(NSRange v) { return BoxRange(v); }
    static NSRange unbox(const Id& v) { return UnboxRange(v); }
};
