// Path manipulation on "/" separated strings.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "Foundation/NSArray.h"
#include "Foundation/NSException.h"
#include "Foundation/NSString.h"

namespace {

using Text = std::u16string;

Ref<NSString> pathString(Text text) { return NSString::stringWithUTF16(std::move(text)); }

// Without trailing slashes, except a lone "/".
Text stripTrailingSlashes(Text path)
{
    while (path.size() > 1 && path.back() == u'/') path.pop_back();
    return path;
}

// Doubled slashes collapsed and trailing slashes removed.
Text collapseSlashes(std::u16string_view path)
{
    Text out;
    out.reserve(path.size());
    for (char16_t c : path) {
        if (c == u'/' && !out.empty() && out.back() == u'/') continue;
        out += c;
    }
    return stripTrailingSlashes(std::move(out));
}

// The index where the last component starts in a path without trailing
// slashes.
size_t lastComponentStart(const Text& path)
{
    if (path == u"/") return 0;
    size_t slash = path.rfind(u'/');
    return slash == Text::npos ? 0 : slash + 1;
}

// The index of the dot that starts the extension of the last component, or
// npos. A name that starts with its only dot (".profile") has none.
size_t extensionDot(const Text& path)
{
    size_t start = lastComponentStart(path);
    size_t dot = path.rfind(u'.');
    if (dot == Text::npos || dot <= start || dot + 1 == path.size()) return Text::npos;
    return dot;
}

std::string homeOf(const std::string& user)
{
    if (user.empty()) {
        if (const char* home = std::getenv("HOME"); home && *home) return home;
        if (struct passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
        return {};
    }
    struct passwd* pw = getpwnam(user.c_str());
    return pw && pw->pw_dir ? pw->pw_dir : std::string();
}

Text toUTF16(const std::string& utf8)
{
    Text out;
    ConvertUTF8ToUTF16(utf8, out);
    return out;
}

}

Ref<NSArray> NSString::pathComponents() const
{
    Text path(StringChars(*this).view());
    std::vector<Id> parts;
    if (!path.empty() && path[0] == u'/') parts.push_back(pathString(u"/"));
    size_t i = 0;
    while (i < path.size()) {
        size_t slash = path.find(u'/', i);
        if (slash == Text::npos) slash = path.size();
        if (slash > i) parts.push_back(pathString(path.substr(i, slash - i)));
        i = slash + 1;
    }
    // A trailing slash is kept as a last "/" component.
    bool onlySlashes = path.find_first_not_of(u'/') == Text::npos;
    if (!onlySlashes && path.back() == u'/') parts.push_back(pathString(u"/"));
    return NSArray::arrayWithVector(std::move(parts));
}

Ref<NSString> NSString::lastPathComponent() const
{
    Text path = stripTrailingSlashes(Text(StringChars(*this).view()));
    return pathString(path.substr(lastComponentStart(path)));
}

Ref<NSString> NSString::pathExtension() const
{
    Text path = stripTrailingSlashes(Text(StringChars(*this).view()));
    size_t dot = extensionDot(path);
    return dot == Text::npos ? string() : pathString(path.substr(dot + 1));
}

Ref<NSString> NSString::stringByDeletingLastPathComponent() const
{
    Text path = stripTrailingSlashes(Text(StringChars(*this).view()));
    if (path == u"/") return pathString(path);
    size_t slash = path.rfind(u'/');
    if (slash == Text::npos) return string();
    if (slash == 0) return pathString(u"/");
    return pathString(stripTrailingSlashes(path.substr(0, slash)));
}

Ref<NSString> NSString::stringByDeletingPathExtension() const
{
    Text path = stripTrailingSlashes(Text(StringChars(*this).view()));
    size_t dot = extensionDot(path);
    return pathString(dot == Text::npos ? path : path.substr(0, dot));
}

Ref<NSString> NSString::stringByAppendingPathComponent(const Ref<NSString>& component) const
{
    if (!component)
        NSException::raise(NSInvalidArgumentException, "-[NSString stringByAppendingPathComponent:]: nil argument");
    Text path(StringChars(*this).view());
    Text addition(StringChars(*component).view());
    if (path.empty()) return pathString(collapseSlashes(addition));
    if (addition.empty()) return pathString(collapseSlashes(path));
    return pathString(collapseSlashes(path + u"/" + addition));
}

Ref<NSString> NSString::stringByAppendingPathExtension(const Ref<NSString>& extension) const
{
    if (!extension)
        NSException::raise(NSInvalidArgumentException, "-[NSString stringByAppendingPathExtension:]: nil argument");
    Text path = stripTrailingSlashes(Text(StringChars(*this).view()));
    return pathString(path + u"." + Text(StringChars(*extension).view()));
}

Ref<NSString> NSString::stringByExpandingTildeInPath() const
{
    Text path(StringChars(*this).view());
    if (path.empty() || path[0] != u'~') return pathString(path);
    size_t slash = path.find(u'/');
    Text user = path.substr(1, slash == Text::npos ? Text::npos : slash - 1);
    std::string home = homeOf(ConvertUTF16ToUTF8(user));
    // An unknown user leaves the path as it is.
    if (home.empty()) return pathString(path);
    Text rest = slash == Text::npos ? Text() : path.substr(slash);
    return pathString(collapseSlashes(toUTF16(home) + rest));
}

Ref<NSString> NSString::stringByStandardizingPath() const
{
    Text path(StringChars(stringByExpandingTildeInPath()).view());
    if (path.empty()) return pathString(path);
    bool absolute = path[0] == u'/';
    std::vector<Text> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t slash = path.find(u'/', i);
        if (slash == Text::npos) slash = path.size();
        Text part = path.substr(i, slash - i);
        i = slash + 1;
        if (part.empty() || part == u".") continue;
        // ".." is resolved only in absolute paths, where it cannot climb
        // above the root; a relative path keeps it.
        if (part == u".." && absolute) {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    Text out = absolute ? u"/" : u"";
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k) out += u'/';
        out += parts[k];
    }
    return pathString(out);
}

bool NSString::isAbsolutePath() const
{
    StringChars chars(*this);
    return chars.size() > 0 && (chars[0] == u'/' || chars[0] == u'~');
}
