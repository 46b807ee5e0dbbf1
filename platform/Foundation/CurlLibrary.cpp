#include "Foundation/CurlLibrary.h"

#include <dlfcn.h>

#include <cstdlib>

#include "Foundation/NSLog.h"

namespace {

template <class F> bool resolve(void* library, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

const CurlLibrary* load()
{
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        NSLog("libcurl cannot be loaded: %s", dlerror());
        return nullptr;
    }
    static CurlLibrary curl;
    CURLcode (*globalInit)(long) = nullptr;
    void (*globalCleanup)() = nullptr;
    const bool ok =
        resolve(library, "curl_global_init", globalInit) && resolve(library, "curl_global_cleanup", globalCleanup) &&
        resolve(library, "curl_easy_init", curl.easy_init) &&
        resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
        resolve(library, "curl_easy_reset", curl.easy_reset) &&
        resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
        resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
        resolve(library, "curl_easy_perform", curl.easy_perform) &&
        resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
        resolve(library, "curl_slist_append", curl.slist_append) &&
        resolve(library, "curl_slist_free_all", curl.slist_free_all) && resolve(library, "curl_getdate", curl.getdate);
    if (!ok) {
        NSLog("libcurl lacks a function the HTTP client needs");
        return nullptr;
    }
    // Released at exit so that LeakSanitizer sees nothing of it; the library
    // itself stays loaded until then.
    static void (*cleanup)() = globalCleanup;
    globalInit(CURL_GLOBAL_DEFAULT);
    std::atexit([] { cleanup(); });
    return &curl;
}

}  // namespace

const CurlLibrary* CurlLibrary::shared()
{
    static const CurlLibrary* library = load();
    return library;
}
