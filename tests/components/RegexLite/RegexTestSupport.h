#pragma once
#include <string>

#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

inline Ref<NSString> ns(const char* utf8) { return NSString::stringWithUTF8String(utf8); }
inline std::string str(const Ref<NSString>& s) { return s ? s->UTF8String() : std::string("<nil>"); }

// The strings of an array, joined with "|" for compact comparison.
inline std::string joined(const Ref<NSArray>& array)
{
    if (!array) return "<nil>";
    std::string out;
    for (size_t i = 0; i < array->count(); ++i) {
        if (i) out += "|";
        out += str(static_ref_cast<NSString>(array->objectAtIndex(i)));
    }
    return out;
}

// Runs `f` and answers the exception's name and reason ("" when none).
template <class F> std::pair<std::string, std::string> raised(F&& f)
{
    try {
        f();
    } catch (const NSException& e) {
        return {e.nameUTF8(), e.reasonUTF8()};
    }
    return {"", ""};
}
