#pragma once
// libcurl, loaded when the first request (or cookie date) needs it rather
// than at every launch: it brings some thirty shared libraries of its own,
// which a program that never goes online would load and relocate for
// nothing.
#include <curl/curl.h>

struct CurlLibrary {
    CURL* (*easy_init)();
    void (*easy_cleanup)(CURL*);
    void (*easy_reset)(CURL*);
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    CURLcode (*easy_perform)(CURL*);
    const char* (*easy_strerror)(CURLcode);
    curl_slist* (*slist_append)(curl_slist*, const char*);
    void (*slist_free_all)(curl_slist*);
    time_t (*getdate)(const char*, const time_t*);

    // The library, loaded and its global state set up on the first call
    // (released at exit); null when it cannot be loaded.
    static const CurlLibrary* shared();
};
