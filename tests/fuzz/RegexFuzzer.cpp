// Regular-expression patterns with a subject: the input's first line is the
// pattern, the rest the subject and a replacement template after a NUL. No
// pattern may crash or hang; failures are regular-expression errors.
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"
#include "RegexLite/RegexLite.h"

using namespace NSStringExt;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto pieces = Fuzz::split(Fuzz::text(data, size), "\n", 2);
    const auto rest = Fuzz::split(pieces.size() > 1 ? pieces[1] : std::string(), std::string_view("\0", 1), 2);
    // Input that is not UTF-8 becomes nil; the pattern is then empty.
    auto pattern = NSString::stringWithUTF8String(pieces[0]);
    auto subject = NSString::stringWithUTF8String(rest[0]);
    auto replacement = NSString::stringWithUTF8String(rest.size() > 1 ? rest[1] : std::string("$0"));
    if (!pattern) pattern = NSString::string();
    if (!subject) subject = NSString::string();
    if (!replacement) replacement = "x"_ns;
    const RXLRegexOptions options =
        size > 0 ? (data[size - 1] & (RXLCaseless | RXLComments | RXLDotAll | RXLMultiline)) : RXLNoOptions;
    try {
        Ref<NSError> error;
        if (isRegexValidWithOptions(pattern, options, &error)) {
            componentsMatchedByRegex(subject, pattern, options, RXLWholeRange, 0, &error);
            arrayOfCaptureComponentsMatchedByRegex(subject, pattern, options, RXLWholeRange, &error);
            componentsSeparatedByRegex(subject, pattern, options, RXLWholeRange, &error);
            stringByReplacingOccurrencesOfRegex(subject, pattern, replacement, options, RXLWholeRange, &error);
        } else {
            Fuzz::check(error != nullptr, "an invalid pattern without an error");
            error->localizedFailureReason();
        }
    } catch (const NSException& e) {
        // Errors met while matching (a time-out, a bad template) are raised.
        Fuzz::check(e.nameUTF8() == "RXLICURegexException" || e.nameUTF8() == NSInvalidArgumentException ||
                        e.nameUTF8() == NSRangeException,
                    "an unexpected exception", e.nameUTF8());
    }
    NSAutoreleasePool::drain();
    return 0;
}
