// URL strings, alone and resolved against a base (the input's first line):
// every URL made must be the URL its absolute string names.
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSURL.h"
#include "FuzzSupport.h"

namespace {

void checkRoundTrip(const Ref<NSURL>& url)
{
    if (!url) return;
    auto absolute = url->absoluteString();
    auto again = NSURL::URLWithString(absolute);
    Fuzz::check(again != nullptr, "an absolute string that does not parse", absolute->UTF8String());
    Fuzz::check(again->isEqual(url.get()), "an absolute string that names another URL", absolute->UTF8String());
    auto host = url->host(), againHost = again->host();
    Fuzz::check(host ? againHost && host->isEqualToString(againHost) : !againHost, "the host changed on reparsing",
                absolute->UTF8String());
    url->path();
    url->port();
    url->query();
    url->lastPathComponent();
    url->URLByAppendingPathComponent("x"_ns);
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto pieces = Fuzz::split(Fuzz::text(data, size), "\n", 2);
    {
        auto first = NSString::stringWithUTF8String(pieces[0]);
        auto base = first ? NSURL::URLWithString(first) : nullptr;
        checkRoundTrip(base);
        if (pieces.size() > 1)
            if (auto reference = NSString::stringWithUTF8String(pieces[1])) {
                checkRoundTrip(NSURL::URLWithString(reference));
                checkRoundTrip(NSURL::URLWithString(reference, base));
            }
    }
    NSAutoreleasePool::drain();
    return 0;
}
