#include "Foundation/NestingDepth.h"

namespace NestingDepth {

bool jsonExceeds(std::string_view text, size_t limit)
{
    size_t depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '[' || c == '{') {
            if (++depth > limit) return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

namespace {

// The index just past `terminator` from `from`, or the end of the text.
size_t skipPast(std::string_view text, size_t from, std::string_view terminator)
{
    const size_t at = text.find(terminator, from);
    return at == std::string_view::npos ? text.size() : at + terminator.size();
}

// The index of the '>' that ends the tag opened at `from`, outside quoted
// attribute values, or the end of the text.
size_t tagEnd(std::string_view text, size_t from)
{
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return text.size();
}

}

bool xmlExceeds(std::string_view text, size_t limit)
{
    size_t depth = 0;
    for (size_t i = text.find('<'); i < text.size(); i = text.find('<', i)) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = skipPast(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skipPast(text, i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = skipPast(text, i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            i = tagEnd(text, i + 2);
        } else if (rest.starts_with("</")) {
            if (depth > 0) --depth;
            i = tagEnd(text, i + 2);
        } else {
            const size_t end = tagEnd(text, i + 1);
            const bool empty = end < text.size() && text[end - 1] == '/';
            if (!empty && ++depth > limit) return true;
            i = end;
        }
    }
    return false;
}

}
