#pragma once
// The error domain and codes of URL loading, with the platform's values.
#include "Foundation/NSString.h"

Ref<NSString> NSURLErrorDomain();
// User-information key: the address that failed, as a string.
Ref<NSString> NSURLErrorFailingURLStringErrorKey();

inline constexpr NSInteger NSURLErrorUnknown = -1;
inline constexpr NSInteger NSURLErrorBadURL = -1000;
inline constexpr NSInteger NSURLErrorTimedOut = -1001;
inline constexpr NSInteger NSURLErrorUnsupportedURL = -1002;
inline constexpr NSInteger NSURLErrorCannotFindHost = -1003;
inline constexpr NSInteger NSURLErrorCannotConnectToHost = -1004;
inline constexpr NSInteger NSURLErrorNetworkConnectionLost = -1005;
inline constexpr NSInteger NSURLErrorHTTPTooManyRedirects = -1007;
inline constexpr NSInteger NSURLErrorBadServerResponse = -1011;
inline constexpr NSInteger NSURLErrorSecureConnectionFailed = -1200;
inline constexpr NSInteger NSURLErrorServerCertificateUntrusted = -1202;
