#pragma once
// Describes a URL request as one line ("GET 'http://...'") or as a curl or
// wget command line that repeats it in a POSIX shell. Every value is quoted
// so that the shell hands it over byte for byte: inside single quotes a
// quote is written '\'', inside double quotes a backslash goes before ", $,
// ` and \. A curl body that begins with "@" goes with --data-raw (curl would
// read a file for -d @name); wget sends the method with --method= and the
// body with --body-data=.
#include "Foundation/NSFormatter.h"
#include "Foundation/NSURLRequest.h"

class FMTURLRequestFormatter : public NSFormatter {
    NS_OBJECT(FMTURLRequestFormatter, NSFormatter)
protected:
    FMTURLRequestFormatter() = default;

public:
    // The method, a space and the URL in apostrophes.
    Ref<NSString> stringFromURLRequest(const Ref<NSURLRequest>& request);
    // Method, body, --compressed for a gzip Accept-Encoding, the shared
    // cookie storage's cookies for the URL, the header fields, the URL.
    static Ref<NSString> cURLCommandFromURLRequest(const Ref<NSURLRequest>& request);
    // Raises "Invalid HTTP Method" for methods other than GET and POST.
    static Ref<NSString> WgetCommandFromURLRequest(const Ref<NSURLRequest>& request);
};
