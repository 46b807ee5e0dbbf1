#include "FoundationExtensions/NSMutableString+ZAKMutableStringExtension.h"

#include <array>
#include <string>

namespace {

// HTML 4 names of U+00A0 ... U+00FF.
constexpr std::array<const char16_t*, 96> kLatin1Names = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",   u"uml",    u"copy",
    u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",   u"deg",    u"plusmn", u"sup2",   u"sup3",
    u"acute",  u"micro",  u"para",   u"middot", u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12",
    u"frac34", u"iquest", u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
    u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",   u"ETH",    u"Ntilde",
    u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",  u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",
    u"Uuml",   u"Yacute", u"THORN",  u"szlig",  u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",
    u"aelig",  u"ccedil", u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
    u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide", u"oslash", u"ugrave",
    u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
};

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendEntity(std::u16string& out, std::u16string_view name)
{
    out += u'&';
    out += name;
    out += u';';
}

void appendNumericReference(std::u16string& out, uint32_t code)
{
    out += u"&#";
    for (char c : std::to_string(code)) out += static_cast<char16_t>(c);
    out += u';';
}

// The entity for one of the characters both escapings share, or null.
const char16_t* markupEntity(char16_t c)
{
    switch (c) {
    case u'"': return u"quot";
    case u'&': return u"amp";
    case u'<': return u"lt";
    case u'>': return u"gt";
    default: return nullptr;
    }
}

}

namespace NSMutableStringExt {

void HTMLEntities(const Ref<NSMutableString>& string)
{
    const std::u16string text = string->utf16();
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') {
            out += u"<br>";
        } else if (const char16_t* name = markupEntity(c)) {
            appendEntity(out, name);
        } else if (c < 160 || c > 65519) {
            out += c;
        } else if (c <= 255) {
            appendEntity(out, kLatin1Names[c - 160]);
        } else if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            // One reference for the whole character; a reference per half would
            // name two invalid code points.
            appendNumericReference(out, 0x10000 + ((c - 0xD800u) << 10) + (text[i + 1] - 0xDC00u));
            ++i;
        } else {
            appendNumericReference(out, c);
        }
    }
    string->setString(NSString::stringWithUTF16(std::move(out)));
}

void XMLEntities(const Ref<NSMutableString>& string)
{
    const std::u16string text = string->utf16();
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (const char16_t* name = markupEntity(c)) appendEntity(out, name);
        else if (c == u'\'') appendEntity(out, u"apos");
        else out += c;
    }
    string->setString(NSString::stringWithUTF16(std::move(out)));
}

void XMLEntitiesToChars(const Ref<NSMutableString>& string)
{
    struct Entity {
        std::u16string_view text;
        char16_t character;
    };
    static constexpr Entity kEntities[] = {
        {u"&quot;", u'"'}, {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&apos;", u'\''},
    };
    const std::u16string text = string->utf16();
    const std::u16string_view view = text;
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < view.size();) {
        const Entity* match = nullptr;
        if (view[i] == u'&')
            for (const Entity& e : kEntities)
                if (view.substr(i, e.text.size()) == e.text) match = &e;
        if (!match) {
            out += view[i++];
            continue;
        }
        // The character is output and never looked at again, so "&amp;lt;"
        // stays the text "&lt;".
        out += match->character;
        i += match->text.size();
    }
    string->setString(NSString::stringWithUTF16(std::move(out)));
}

}
