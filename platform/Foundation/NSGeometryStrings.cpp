#include "Foundation/NSGeometryStrings.h"

#include <charconv>
#include <string>
#include <vector>

#include "Foundation/NSNumber.h"

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "{" + std::string.
static std::string braced(const std::string& a, const std::string& b)
{
    std::string text = "{";
    text += a;
    text += ", ";
    text += b;
    text += '}';
    return text;
}

static std::string pair(double a, double b) { return braced(ShortestDecimalText(a), ShortestDecimalText(b)); }

Ref<NSString> NSStringFromRange(NSRange range)
{
    return NSString::stringWithUTF8String(braced(std::to_string(range.location), std::to_string(range.length)));
}

Ref<NSString> NSStringFromPoint(NSPoint point) { return NSString::stringWithUTF8String(pair(point.x, point.y)); }

Ref<NSString> NSStringFromSize(NSSize size) { return NSString::stringWithUTF8String(pair(size.width, size.height)); }

Ref<NSString> NSStringFromRect(const NSRect& rect)
{
    return NSString::stringWithUTF8String(
        braced(pair(rect.origin.x, rect.origin.y), pair(rect.size.width, rect.size.height)));
}

// Up to count numbers in reading order.
template <class T> static std::vector<T> numbersIn(const Ref<NSString>& text, size_t count)
{
    std::vector<T> found(count, T{});
    if (!text) return found;
    std::string s = text->UTF8String();
    const char* p = s.data();
    const char* end = p + s.size();
    size_t n = 0;
    while (p < end && n < count) {
        T value{};
        const char* start = p;
        // from_chars takes no leading '+'.
        if (*start == '+' && start + 1 < end) ++start;
        auto [next, error] = std::from_chars(start, end, value);
        if (error == std::errc() && next != start) {
            found[n++] = value;
            p = next;
        } else {
            ++p;
        }
    }
    return found;
}

NSRange NSRangeFromString(const Ref<NSString>& text)
{
    auto v = numbersIn<NSUInteger>(text, 2);
    return {v[0], v[1]};
}

NSPoint NSPointFromString(const Ref<NSString>& text)
{
    auto v = numbersIn<double>(text, 2);
    return {v[0], v[1]};
}

NSSize NSSizeFromString(const Ref<NSString>& text)
{
    auto v = numbersIn<double>(text, 2);
    return {v[0], v[1]};
}

NSRect NSRectFromString(const Ref<NSString>& text)
{
    auto v = numbersIn<double>(text, 4);
    return {{v[0], v[1]}, {v[2], v[3]}};
}
