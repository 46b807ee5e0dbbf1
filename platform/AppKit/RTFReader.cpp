#include "AppKit/RTFReader.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSAttributedStringDocumentReading.h"
#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSFontManager.h"
#include "Foundation/NSNumber.h"

Ref<NSString> NSRTFTextDocumentType() { return "NSRTF"_ns; }

namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

// What a group carries over to the groups inside it.
struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int font = 0;
    int color = 0;
    int unicodeSkip = 1;
};

struct Format {
    bool bold, italic, underline;
    int halfPoints, font, color;
    bool operator==(const Format&) const = default;
};

struct Run {
    size_t start;
    Format format;
};

struct Color {
    int red = 0, green = 0, blue = 0;
};

// Destinations whose text is never shown.
bool isSkippedDestination(const std::string& word)
{
    static const char* const skipped[] = {"info",
                                          "stylesheet",
                                          "pict",
                                          "header",
                                          "footer",
                                          "headerl",
                                          "headerr",
                                          "footerl",
                                          "footerr",
                                          "footnote",
                                          "object",
                                          "listtable",
                                          "listoverridetable",
                                          "revtbl",
                                          "rsidtbl",
                                          "generator",
                                          "xmlnstbl",
                                          "themedata",
                                          "colorschememapping",
                                          "latentstyles",
                                          "datastore",
                                          "fldinst"};
    for (const char* s : skipped)
        if (word == s) return true;
    return false;
}

std::optional<char16_t> namedCharacter(const std::string& word)
{
    static const std::map<std::string, char16_t> named = {
        {"emdash", u'\u2014'},  {"endash", u'\u2013'},    {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
        {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}, {"emspace", u'\u2003'},
        {"enspace", u'\u2002'}, {"qmspace", u'\u2005'}};
    auto it = named.find(word);
    if (it == named.end()) return std::nullopt;
    return it->second;
}

class Reader {
public:
    explicit Reader(const Ref<NSData>& data)
        : m_bytes(reinterpret_cast<const char*>(data->bytes()), data->length())
    { }

    Ref<NSAttributedString> read()
    {
        size_t start = m_bytes.find_first_not_of(" \t\r\n");
        if (start == std::string::npos || m_bytes.compare(start, 5, "{\\rtf") != 0) return nullptr;
        m_pos = start;
        if (!readGroups()) return nullptr;
        return build();
    }

private:
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    GroupState& state() { return m_stack.back(); }

    bool readGroups()
    {
        while (!atEnd()) {
            const char c = m_bytes[m_pos++];
            if (c == '{') {
                m_stack.push_back(m_stack.empty() ? GroupState{} : state());
                m_pendingIgnorable = false;
            } else if (c == '}') {
                if (m_stack.empty()) return false;
                endGroup();
                if (m_stack.empty()) return true;  // the document's group is closed
            } else if (m_stack.empty()) {
                return false;
            } else if (c == '\\') {
                if (!readControl()) return false;
            } else if (c == '\r' || c == '\n') {
                // Line breaks in the source are not text.
            } else {
                text(static_cast<unsigned char>(c));
            }
        }
        return false;  // a group still open at the end
    }

    void endGroup()
    {
        GroupState closing = m_stack.back();
        m_stack.pop_back();
        if (closing.destination == Destination::FontTable && !m_fontName.empty() && m_stack.size() &&
            state().destination == Destination::FontTable)
            finishFontEntry();
    }

    bool readControl()
    {
        if (atEnd()) return false;
        const char c = m_bytes[m_pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            return controlSymbol(c);
        }
        std::string word;
        while (!atEnd() && std::isalpha(static_cast<unsigned char>(m_bytes[m_pos]))) word += m_bytes[m_pos++];
        std::optional<int> parameter;
        if (!atEnd() && (m_bytes[m_pos] == '-' || std::isdigit(static_cast<unsigned char>(m_bytes[m_pos])))) {
            size_t end = m_pos + 1;
            while (end < m_bytes.size() && std::isdigit(static_cast<unsigned char>(m_bytes[end]))) ++end;
            const std::string digits = m_bytes.substr(m_pos, end - m_pos);
            if (digits == "-") return false;
            parameter = static_cast<int>(std::strtol(digits.c_str(), nullptr, 10));
            m_pos = end;
        }
        if (!atEnd() && m_bytes[m_pos] == ' ') ++m_pos;
        controlWord(word, parameter);
        return true;
    }

    bool controlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': text(static_cast<unsigned char>(c)); return true;
        case '~': append(u'\u00A0'); return true;
        case '_': append(u'\u2011'); return true;
        case '-': return true;  // an optional hyphen
        case '*': m_pendingIgnorable = true; return true;
        case '\r':
        case '\n': append(u'\n'); return true;
        case '\'': return hexByte();
        default: return true;
        }
    }

    bool hexByte()
    {
        if (m_pos + 2 > m_bytes.size()) return false;
        const std::string hex = m_bytes.substr(m_pos, 2);
        if (!std::isxdigit(static_cast<unsigned char>(hex[0])) || !std::isxdigit(static_cast<unsigned char>(hex[1])))
            return false;
        m_pos += 2;
        text(static_cast<unsigned char>(std::strtol(hex.c_str(), nullptr, 16)));
        return true;
    }

    void controlWord(const std::string& word, std::optional<int> parameter)
    {
        const int value = parameter.value_or(1);
        // A \* destination this reader does not handle is skipped whole.
        if (m_pendingIgnorable) {
            m_pendingIgnorable = false;
            state().destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl") state().destination = Destination::FontTable;
        else if (word == "colortbl") {
            state().destination = Destination::ColorTable;
            m_colors.clear();
            m_currentColor = {};
        } else if (isSkippedDestination(word)) state().destination = Destination::Skip;
        else if (state().destination == Destination::ColorTable) colorWord(word, value);
        else if (state().destination == Destination::FontTable) {
            if (word == "f") m_fontEntry = value;
        } else if (word == "par") append(u'\n');
        else if (word == "line") append(u'\u2028');
        else if (word == "tab") append(u'\t');
        else if (word == "b") state().bold = value != 0;
        else if (word == "i") state().italic = value != 0;
        else if (word == "ul") state().underline = value != 0;
        else if (word == "ulnone") state().underline = false;
        else if (word == "fs") state().halfPoints = value > 0 ? value : 24;
        else if (word == "f") state().font = value;
        else if (word == "cf") state().color = value;
        else if (word == "plain") {
            GroupState& s = state();
            s.bold = s.italic = s.underline = false;
            s.halfPoints = 24;
            s.font = m_defaultFont;
            s.color = 0;
        } else if (word == "deff") m_defaultFont = state().font = value;
        else if (word == "uc") state().unicodeSkip = std::max(0, value);
        else if (word == "u") unicode(value);
        else if (auto c = namedCharacter(word)) append(*c);
    }

    void colorWord(const std::string& word, int value)
    {
        if (word == "red") m_currentColor.red = value;
        else if (word == "green") m_currentColor.green = value;
        else if (word == "blue") m_currentColor.blue = value;
    }

    // \uN gives a UTF-16 unit (negative values count from 65536); the next
    // \ucN characters are the fallback for readers without Unicode.
    void unicode(int value)
    {
        append(static_cast<char16_t>(value < 0 ? value + 65536 : value));
        for (int skipped = 0; skipped < state().unicodeSkip && !atEnd(); ++skipped) {
            const char c = m_bytes[m_pos];
            if (c == '{' || c == '}') break;
            if (c == '\\') {
                if (m_pos + 1 < m_bytes.size() && m_bytes[m_pos + 1] == '\'') m_pos += 4;
                else break;
            } else {
                ++m_pos;
            }
        }
    }

    void text(unsigned char byte)
    {
        switch (state().destination) {
        case Destination::Skip: return;
        case Destination::ColorTable:
            if (byte == ';') {
                m_colors.push_back(m_currentColor);
                m_currentColor = {};
            }
            return;
        case Destination::FontTable:
            if (byte == ';') finishFontEntry();
            else m_fontName += static_cast<char>(byte);
            return;
        case Destination::Text: break;
        }
        if (byte < 0x80) {
            append(static_cast<char16_t>(byte));
            return;
        }
        // Bytes above ASCII are Windows Latin 1, the ANSI code page.
        const char raw = static_cast<char>(byte);
        auto decoded = NSString::stringWithData(NSData::dataWithBytes(&raw, 1), NSWindowsCP1252StringEncoding);
        append(decoded && decoded->length() == 1 ? decoded->characterAtIndex(0) : u'\uFFFD');
    }

    void finishFontEntry()
    {
        size_t first = m_fontName.find_first_not_of(' ');
        m_fonts[m_fontEntry] = first == std::string::npos ? "" : m_fontName.substr(first);
        m_fontName.clear();
    }

    void append(char16_t c)
    {
        if (state().destination != Destination::Text) return;
        const GroupState& s = state();
        const Format format{s.bold, s.italic, s.underline, s.halfPoints, s.font, s.color};
        if (m_runs.empty() || !(m_runs.back().format == format)) m_runs.push_back({m_text.size(), format});
        m_text.push_back(c);
    }

    Ref<NSDictionary> attributes(const Format& format)
    {
        auto attributes = NSMutableDictionary::dictionary();
        const CGFloat size = format.halfPoints / 2.0;
        Ref<NSFont> font;
        if (auto name = m_fonts.find(format.font); name != m_fonts.end() && !name->second.empty())
            font = NSFont::fontWithName(NSString::stringWithUTF8String(name->second), size);
        if (!font) font = NSFont::userFontOfSize(size);
        auto manager = NSFontManager::sharedFontManager();
        if (format.bold) font = manager->convertFontToHaveTrait(font, NSBoldFontMask);
        if (format.italic) font = manager->convertFontToHaveTrait(font, NSItalicFontMask);
        attributes->setObject(font, NSFontAttributeName);
        if (format.color > 0 && static_cast<size_t>(format.color) < m_colors.size()) {
            const Color& c = m_colors[static_cast<size_t>(format.color)];
            attributes->setObject(NSColor::colorWithCalibratedRed(c.red / 255.0, c.green / 255.0, c.blue / 255.0, 1),
                                  NSForegroundColorAttributeName);
        }
        if (format.underline)
            attributes->setObject(NSNumber::numberWithInteger(NSUnderlineStyleSingle), NSUnderlineStyleAttributeName);
        return attributes;
    }

    Ref<NSAttributedString> build()
    {
        auto string = NSMutableAttributedString::initWithString(NSString::stringWithUTF16(m_text), nullptr);
        for (size_t i = 0; i < m_runs.size(); ++i) {
            const size_t end = i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text.size();
            string->setAttributes(attributes(m_runs[i].format), NSMakeRange(m_runs[i].start, end - m_runs[i].start));
        }
        return string;
    }

    std::string m_bytes;
    size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    bool m_pendingIgnorable = false;
    std::u16string m_text;
    std::vector<Run> m_runs;
    std::map<int, std::string> m_fonts;
    int m_fontEntry = 0;
    int m_defaultFont = 0;
    std::string m_fontName;
    std::vector<Color> m_colors;
    Color m_currentColor;
};

}  // namespace

Ref<NSAttributedString> NSAttributedStringWithRTF(const Ref<NSData>& data, Ref<NSDictionary>* documentAttributes)
{
    if (!data) return nullptr;
    auto string = Reader(data).read();
    if (string && documentAttributes) {
        auto attributes = NSMutableDictionary::dictionary();
        attributes->setObject(NSRTFTextDocumentType(), NSDocumentTypeDocumentAttribute());
        *documentAttributes = attributes;
    }
    return string;
}
