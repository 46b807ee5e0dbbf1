#pragma once
// URLs. URLWithString accepts only RFC 3986 URI references (scheme
// characters, the characters each component allows, well-formed percent
// escapes) and answers nil otherwise. Two URLs are equal when their absolute
// strings are.
#include <optional>
#include <string>

#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

class NSURL : public NSObject {
    NS_OBJECT(NSURL, NSObject)
protected:
    NSURL() = default;

public:
    static Ref<NSURL> URLWithString(const Ref<NSString>& text);
    // Resolves a relative reference against the base (RFC 3986, 5.2).
    static Ref<NSURL> URLWithString(const Ref<NSString>& text, const Ref<NSURL>& baseURL);
    // A file: URL; a relative path is taken from the current directory and an
    // existing folder gets a trailing slash.
    static Ref<NSURL> fileURLWithPath(const Ref<NSString>& path);
    static Ref<NSURL> fileURLWithPath(const Ref<NSString>& path, bool isDirectory);

    Ref<NSString> absoluteString() const;
    Ref<NSString> relativeString() const;
    Ref<NSURL> baseURL() const { return m_base; }
    Ref<NSURL> absoluteURL() const;
    // Components of the absolute URL; nil when absent.
    Ref<NSString> scheme() const;
    Ref<NSString> host() const;
    Ref<NSNumber> port() const;
    Ref<NSString> user() const;
    Ref<NSString> password() const;
    // Percent-decoded, without a trailing slash (except for "/").
    Ref<NSString> path() const;
    Ref<NSString> query() const;
    Ref<NSString> fragment() const;
    bool isFileURL() const;
    Ref<NSString> lastPathComponent() const;
    Ref<NSString> pathExtension() const;
    Ref<NSURL> URLByAppendingPathComponent(const Ref<NSString>& component) const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Ref<NSString> description() const override { return absoluteString(); }
    Id copy() const override { return const_cast<NSURL*>(this); }

    // The parts of a URI reference, undecoded.
    struct Parts {
        std::optional<std::string> scheme;
        std::optional<std::string> authority;
        std::string path;
        std::optional<std::string> query;
        std::optional<std::string> fragment;
    };

private:
    static Ref<NSURL> make(std::string text, const Ref<NSURL>& base);
    std::string m_text;      // as given
    std::string m_absolute;  // resolved against the base
    Parts m_parts;           // of m_absolute
    Ref<NSURL> m_base;
};
