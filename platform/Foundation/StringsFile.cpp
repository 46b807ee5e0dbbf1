#include "Foundation/StringsFile.h"

#include <optional>

#include "Foundation/NSLog.h"
#include "Foundation/NSString.h"

namespace {

std::optional<std::u16string> decodeUTF16(const uint8_t* p, size_t n, bool bigEndian)
{
    if (n % 2 != 0) return std::nullopt;
    std::u16string out;
    out.reserve(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2)
        out.push_back(static_cast<char16_t>(bigEndian ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i])));
    return out;
}

std::optional<std::u16string> decode(const Ref<NSData>& data)
{
    const uint8_t* p = data->bytes();
    size_t n = data->length();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return decodeUTF16(p + 2, n - 2, false);
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) return decodeUTF16(p + 2, n - 2, true);
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
    // UTF-16 without a mark: ASCII text shows a zero byte in every pair.
    else if (n >= 2 && p[0] == 0 && p[1] != 0) return decodeUTF16(p, n, true);
    else if (n >= 2 && p[0] != 0 && p[1] == 0) return decodeUTF16(p, n, false);
    std::u16string out;
    if (!ConvertUTF8ToUTF16(std::string_view(reinterpret_cast<const char*>(p), n), out)) return std::nullopt;
    return out;
}

class Parser {
public:
    explicit Parser(std::u16string text)
        : m_text(std::move(text))
    { }

    // Reads entries until the end or the first error.
    void parse(NSMutableDictionary& table)
    {
        for (;;) {
            if (!skipSpaceAndComments()) return;
            if (atEnd()) return;
            auto key = token("expected a key");
            if (!key) return;
            if (!skipSpaceAndComments()) return;
            if (peek() == u';') {
                ++m_pos;
                table.setObject(NSString::stringWithUTF16(*key), NSString::stringWithUTF16(*key));
                continue;
            }
            if (peek() != u'=') return fail("expected '=' or ';' after a key");
            ++m_pos;
            if (!skipSpaceAndComments()) return;
            auto value = token("expected a value");
            if (!value) return;
            if (!skipSpaceAndComments()) return;
            if (peek() != u';') return fail("expected ';' after a value");
            ++m_pos;
            table.setObject(NSString::stringWithUTF16(*value), NSString::stringWithUTF16(*key));
        }
    }

    const std::string& error() const { return m_error; }
    size_t errorLine() const { return m_errorLine; }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos]; }
    char16_t peekAt(size_t offset) const { return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : u'\0'; }

    void fail(const char* what)
    {
        if (!m_error.empty()) return;
        m_error = what;
        m_errorLine = 1;
        for (size_t i = 0; i < m_pos && i < m_text.size(); ++i)
            if (m_text[i] == u'\n') ++m_errorLine;
    }

    // False after an unterminated comment.
    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            char16_t c = peek();
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v' || c == 0xFEFF) {
                ++m_pos;
            } else if (c == u'/' && peekAt(1) == u'/') {
                while (!atEnd() && peek() != u'\n') ++m_pos;
            } else if (c == u'/' && peekAt(1) == u'*') {
                size_t end = m_text.find(u"*/", m_pos + 2);
                if (end == std::u16string::npos) {
                    fail("unterminated comment");
                    return false;
                }
                m_pos = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    static bool isUnquoted(char16_t c)
    {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
               c == u'_' || c == u'-';
    }
    static int hexValue(char16_t c)
    {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        return -1;
    }

    // `what` is the complaint when no token is there.
    std::optional<std::u16string> token(const char* what)
    {
        if (peek() == u'"') return quoted();
        std::u16string out;
        while (!atEnd() && isUnquoted(peek())) out.push_back(m_text[m_pos++]);
        if (out.empty()) {
            fail(what);
            return std::nullopt;
        }
        return out;
    }

    std::optional<std::u16string> quoted()
    {
        ++m_pos;  // opening quote
        std::u16string out;
        for (;;) {
            if (atEnd()) {
                fail("unterminated quoted string");
                return std::nullopt;
            }
            char16_t c = m_text[m_pos++];
            if (c == u'"') return out;
            if (c != u'\\') {
                out.push_back(c);
                continue;
            }
            if (!escape(out)) return std::nullopt;
        }
    }

    bool escape(std::u16string& out)
    {
        if (atEnd()) {
            fail("unterminated quoted string");
            return false;
        }
        char16_t c = m_text[m_pos++];
        switch (c) {
        case u'n': out.push_back(u'\n'); return true;
        case u't': out.push_back(u'\t'); return true;
        case u'r': out.push_back(u'\r'); return true;
        case u'a': out.push_back(u'\a'); return true;
        case u'b': out.push_back(u'\b'); return true;
        case u'f': out.push_back(u'\f'); return true;
        case u'v': out.push_back(u'\v'); return true;
        case u'U':
        case u'u': {
            unsigned value = 0;
            int digits = 0;
            for (; digits < 4 && hexValue(peek()) >= 0; ++digits) value = value * 16 + hexValue(m_text[m_pos++]);
            if (digits == 0) {
                fail("\\U without hexadecimal digits");
                return false;
            }
            out.push_back(static_cast<char16_t>(value));
            return true;
        }
        default:
            if (c >= u'0' && c <= u'7') {
                unsigned value = c - u'0';
                for (int digits = 1; digits < 3 && peek() >= u'0' && peek() <= u'7'; ++digits)
                    value = value * 8 + (m_text[m_pos++] - u'0');
                out.push_back(static_cast<char16_t>(value));
                return true;
            }
            // \" \\ \' and any other character stand for themselves.
            out.push_back(c);
            return true;
        }
    }

    std::u16string m_text;
    size_t m_pos = 0;
    std::string m_error;
    size_t m_errorLine = 0;
};

}

Ref<NSDictionary> StringsTableFromData(const Ref<NSData>& data, const std::string& sourceName)
{
    auto table = NSMutableDictionary::dictionary();
    if (!data) return table;
    auto text = decode(data);
    if (!text) {
        NSLog("The string table %s is neither UTF-8 nor UTF-16 text; it is ignored.", sourceName);
        return table;
    }
    Parser parser(std::move(*text));
    parser.parse(*table);
    if (!parser.error().empty())
        NSLog("The string table %s is malformed at line %lu (%s); the entries before it are kept (%lu).", sourceName,
              parser.errorLine(), parser.error(), table->count());
    return NSDictionary::dictionaryWithDictionary(table);
}
