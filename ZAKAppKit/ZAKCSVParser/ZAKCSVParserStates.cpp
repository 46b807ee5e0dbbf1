// The reader's state machine: one composed character at a time.
#include <unicode/uchar.h>

#include <algorithm>

#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

namespace {

bool isLineBreak(char16_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

bool isWhitespaceOrLineBreak(char16_t c) { return c == u'\t' || isLineBreak(c) || u_charType(c) == U_SPACE_SEPARATOR; }

}

void ZAKCSVParser::failWith(NSInteger code, const Ref<NSString>& description, const Ref<NSString>& reason)
{
    auto info = NSMutableDictionary::dictionary();
    info->setObject(description, NSLocalizedDescriptionKey());
    if (reason) info->setObject(reason, NSLocalizedFailureReasonErrorKey());
    m_error = NSError::errorWithDomain(ZAKCSVParserErrorDomain(), code, info);
}

void ZAKCSVParser::setState(State state)
{
    // A cancelled run stays cancelled.
    if (m_state != Cancelled) m_state = state;
}

void ZAKCSVParser::runParseLoop()
{
    char16_t previous = 0;
    size_t start = 0;
    size_t length = 0;
    while (!m_error) {
        if (m_state == InField) {
            appendPlainRun(previous);
            if (m_error) break;
        }
        if (!nextCharacter(start, length)) break;
        char16_t first = m_currentChunkString[start];
        processComposedCharacter(start, length, previous);
        previous = first;
        if (m_state == Cancelled) break;
    }
    // An over-long field is not delivered: the run stopped inside it.
    if (m_fieldTooLong) return;
    bool quoteOpen = m_state == InField && !m_balancedQuotes;
    if (!m_currentField.empty() && m_state == InField) finishCurrentField();
    if (m_state == InLine) finishCurrentLine();
    if (quoteOpen && !m_error)
        failWith(ZAKCSVParserUnclosedQuoteError, "A quoted field is not closed"_ns,
                 NSString::stringWithFormat("The quoted field that begins on line %lu is still open at the end of "
                                            "the input.",
                                            m_fieldStartLine));
}

// Inside a field, printable ASCII other than a quote, a backslash or the
// delimiter (which inside quotes is text too) only joins the field, one
// character each: a run of them is taken at once. The last one before a unit
// outside ASCII is left to the character loop, which may combine it with the
// marks that follow.
void ZAKCSVParser::appendPlainRun(char16_t& previous)
{
    const char16_t* text = m_currentChunkString.data();
    const size_t size = m_currentChunkString.size();
    size_t end = m_stringIndex;
    const bool quoted = !m_balancedQuotes;
    auto plain = [this, quoted](char16_t c) {
        return c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\' && (quoted || c != m_delimiterCharacter);
    };
    while (end + 1 < size && plain(text[end]) && text[end + 1] < 0x80) ++end;
    if (end == m_stringIndex) return;
    m_balancedEscapes = true;
    appendToCurrentField(text + m_stringIndex, end - m_stringIndex);
    previous = text[end - 1];
    m_stringIndex = end;
}

void ZAKCSVParser::processComposedCharacter(size_t start, size_t length, char16_t previous)
{
    char16_t u = m_currentChunkString[start];
    if (m_state == BetweenLines) {
        if (length == 1 && u == u'#') setState(InComment);
        else beginCurrentLine();
    }
    if (u == u'"') {
        if (m_state == InField) {
            if (m_balancedEscapes) m_balancedQuotes = !m_balancedQuotes;
            else m_balancedEscapes = true;
        } else if (m_state == InLine) {
            beginCurrentField();
            m_balancedQuotes = false;
        }
    } else if (u == m_delimiterCharacter) {
        if (m_state == InField) {
            if (!m_balancedEscapes) m_balancedEscapes = true;
            else if (m_balancedQuotes) finishCurrentField();
        } else if (m_state == InLine) {
            beginCurrentField();
            finishCurrentField();
        }
    } else if (u == u'\\') {
        if (m_state == InLine) {
            beginCurrentField();
            m_balancedEscapes = false;
        } else if (m_state == InField) {
            m_balancedEscapes = !m_balancedEscapes;
        }
    } else if (isLineBreak(u) && !isLineBreak(previous)) {
        if (m_balancedQuotes && m_balancedEscapes) {
            if (m_state == InComment) {
                setState(BetweenLines);
            } else {
                finishCurrentField();
                finishCurrentLine();
            }
        }
    } else {
        // Any other character, and a line break right after a line break.
        if (m_state == InComment) return;
        if (m_state == InField) m_balancedEscapes = true;
        else beginCurrentField();
    }
    if (m_state != InComment) appendToCurrentField(m_currentChunkString.data() + start, length);
}

void ZAKCSVParser::appendToCurrentField(const char16_t* units, size_t length)
{
    if (length == 1) m_currentField.push_back(*units);
    else m_currentField.append(units, length);
    if (m_currentField.size() <= m_maximumFieldLength || m_error) return;
    m_fieldTooLong = true;
    failWith(ZAKCSVParserFieldTooLongError, "A field is too long"_ns,
             NSString::stringWithFormat("The field on line %lu is longer than %lu characters.", m_currentLine,
                                        m_maximumFieldLength));
}

void ZAKCSVParser::beginCurrentLine()
{
    ++m_currentLine;
    if (auto* target = delegate()) target->parserDidStartLine(this, m_currentLine);
    setState(InLine);
}

void ZAKCSVParser::beginCurrentField()
{
    m_currentField.clear();
    m_balancedQuotes = true;
    m_balancedEscapes = true;
    m_fieldStartLine = m_currentLine;
    setState(InField);
}

void ZAKCSVParser::finishCurrentField()
{
    const std::u16string& field = m_currentField;
    size_t begin = 0;
    size_t end = field.size();
    while (begin < end && isLineBreak(field[begin])) ++begin;
    while (end > begin && isLineBreak(field[end - 1])) --end;
    // A lone double quote is no quoted field: it stays as it is.
    bool quoted = end - begin >= 2 && field[begin] == u'"' && field[end - 1] == u'"';
    if (quoted) ++begin, --end;
    // The separator that ended the previous field comes along; text inside
    // quotes keeps its own leading separator.
    else if (begin < end && field[begin] == m_delimiterCharacter) ++begin;
    if (m_trimSpaces) {
        while (begin < end && isWhitespaceOrLineBreak(field[begin])) ++begin;
        while (end > begin && isWhitespaceOrLineBreak(field[end - 1])) --end;
    }
    // A pair of quotes stands for one.
    std::u16string text;
    text.reserve(end - begin);
    const char16_t* from = field.data() + begin;
    const char16_t* to = field.data() + end;
    while (from < to) {
        const char16_t* quote = std::find(from, to, u'"');
        text.append(from, quote);
        if (quote == to) break;
        text += u'"';
        from = quote + 1;
        if (from < to && *from == u'"') ++from;
    }
    m_currentField.clear();
    if (auto* target = delegate()) target->parserDidReadField(this, NSString::stringWithUTF16(std::move(text)));
    setState(InLine);
}

void ZAKCSVParser::finishCurrentLine()
{
    if (auto* target = delegate()) target->parserDidEndLine(this, m_currentLine);
    setState(BetweenLines);
}
