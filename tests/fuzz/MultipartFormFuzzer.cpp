// Multipart forms of the crash report built from random report and
// description texts: parsed back as a server would, every field must come
// out whole, in order, and no value may start a field of its own.
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKMultipartForm.h"

namespace {

// The parts of a multipart body (RFC 2046): name and value of each.
ZAKMultipartForm::Fields parse(std::string_view body, const std::string& boundary, bool preamble)
{
    if (preamble) {
        const size_t blank = body.find("\r\n\r\n");
        Fuzz::check(blank != std::string_view::npos, "no end of the preamble");
        body.remove_prefix(blank + 4);
    }
    const std::string first = "--" + boundary + "\r\n";
    Fuzz::check(body.starts_with(first), "the body does not open with the boundary");
    body.remove_prefix(first.size());
    const std::string delimiter = "\r\n--" + boundary;
    ZAKMultipartForm::Fields fields;
    for (;;) {
        const size_t end = body.find(delimiter);
        Fuzz::check(end != std::string_view::npos, "a part does not end");
        std::string_view part = body.substr(0, end);
        const size_t headerEnd = part.find("\r\n\r\n");
        Fuzz::check(headerEnd != std::string_view::npos, "a part without a header");
        std::string_view header = part.substr(0, headerEnd);
        const std::string_view prefix = "Content-Disposition: form-data; name=\"";
        Fuzz::check(header.starts_with(prefix) && header.ends_with("\""), "a part with a foreign header", header);
        fields.emplace_back(std::string(header.substr(prefix.size(), header.size() - prefix.size() - 1)),
                            std::string(part.substr(headerEnd + 4)));
        body.remove_prefix(end + delimiter.size());
        if (body.starts_with("--\r\n")) {
            Fuzz::check(body.size() == 4, "bytes after the closing boundary");
            return fields;
        }
        Fuzz::check(body.starts_with("\r\n"), "a boundary not followed by a line end");
        body.remove_prefix(2);
    }
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto pieces = Fuzz::split(Fuzz::text(data, size), std::string_view("\0", 1), 2);
    auto report = NSString::stringWithUTF8String(pieces[0]);
    auto description = NSString::stringWithUTF8String(pieces.size() > 1 ? pieces[1] : std::string());
    if (!report || !description) return 0;
    {
        const auto fields = ZAKCrashReporter::reportFields(report, description);
        for (bool preamble : {false, true}) {
            const std::string boundary = ZAKMultipartForm::boundaryForFields(fields);
            const std::string body = ZAKMultipartForm::body(fields, boundary, preamble);
            Fuzz::check(parse(body, boundary, preamble) == fields, "the form does not parse back to its fields");
        }
    }
    NSAutoreleasePool::drain();
    return 0;
}
