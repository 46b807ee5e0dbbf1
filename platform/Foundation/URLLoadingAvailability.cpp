#include "Foundation/URLLoadingAvailability.h"
#include "Foundation/NSHTTPURLResponse.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace {
std::atomic<bool> available{true};

constexpr std::array<std::string_view, 7> urlLoadingClasses = {
    "NSURLRequest",    "NSMutableURLRequest", "NSURLResponse",       "NSHTTPURLResponse",
    "NSURLConnection", "NSHTTPCookie",        "NSHTTPCookieStorage",
};
}

bool URLLoadingSetAvailable(bool on) { return available.exchange(on); }

bool URLLoadingIsAvailable() { return available.load(); }

bool URLLoadingHidesClassNamed(std::string_view name)
{
    if (available.load()) return false;
    return std::find(urlLoadingClasses.begin(), urlLoadingClasses.end(), name) != urlLoadingClasses.end();
}
