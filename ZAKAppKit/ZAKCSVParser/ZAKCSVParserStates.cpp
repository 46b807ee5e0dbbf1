// The reader's state machine: one composed character at a time.
#include <unicode/uchar.h>

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
    m_currentField.append(units, length);
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
    std::u16string text;
    text.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        text += field[i];
        if (field[i] == u'"' && i + 1 < end && field[i + 1] == u'"') ++i;
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
