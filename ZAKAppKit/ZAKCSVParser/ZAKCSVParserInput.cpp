// The reader's input: chunks of bytes, their decoding, the line-end
// convention and the composed characters the state machine takes one by one.
#include <unicode/uchar.h>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSStringDecoding.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

namespace {

bool isControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x2028 || c == 0x2029; }

// A unit after which, and before which, clusters of ordinary characters break:
// letters, digits, punctuation and controls, but no marks, joiners, Hangul
// jamo, regional indicators or surrogates.
bool isPlainBoundary(char16_t c)
{
    if (c < 0x80) return true;  // ASCII: letters, digits, punctuation, controls
    if (U16_IS_SURROGATE(c)) return false;
    switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
    case U_GCB_OTHER:
    case U_GCB_CONTROL:
    case U_GCB_CR:
    case U_GCB_LF: return true;
    default: return false;
    }
}

bool isCombiningDiacritic(char16_t c) { return c >= 0x300 && c <= 0x36F; }

}

bool ZAKCSVParser::moreInputMayCome() const
{
    return m_csvReadStream && !m_endOfStreamReached && m_pendingFailure == PendingFailure::None;
}

bool ZAKCSVParser::readBytes()
{
    if (!moreInputMayCome()) return false;
    NSUInteger old = m_currentChunk->length();
    m_currentChunk->setLength(old + m_chunkSize);
    NSInteger count = m_csvReadStream->read(m_currentChunk->mutableBytes() + old, m_chunkSize);
    if (count < 0) {
        m_currentChunk->setLength(old);
        m_pendingFailure = PendingFailure::Read;
        m_pendingStreamError = m_csvReadStream->streamError();
        return false;
    }
    m_currentChunk->setLength(old + static_cast<NSUInteger>(count));
    if (count == 0 || m_csvReadStream->streamStatus() == NSStreamStatusAtEnd) m_endOfStreamReached = true;
    return count > 0;
}

void ZAKCSVParser::readByteOrderMark()
{
    bool unicode = m_fileEncoding == NSUnicodeStringEncoding || m_fileEncoding == NSUTF32StringEncoding;
    if (!unicode && m_fileEncoding != NSUTF8StringEncoding) return;
    // Only the first bytes of the input can hold a mark.
    NSUInteger wanted = unicode ? 4 : 3;
    while (m_currentChunk->length() < wanted && moreInputMayCome()) readBytes();
    const uint8_t* b = m_currentChunk->bytes();
    NSUInteger n = m_currentChunk->length();
    NSUInteger markLength = 0;
    if (!unicode) {
        if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) markLength = 3;
    } else if (n >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) {
        m_fileEncodingIntern = NSUTF32BigEndianStringEncoding, markLength = 4;
    } else if (n >= 4 && b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) {
        m_fileEncodingIntern = NSUTF32LittleEndianStringEncoding, markLength = 4;
    } else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        m_fileEncodingIntern = NSUTF16LittleEndianStringEncoding, markLength = 2;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        m_fileEncodingIntern = NSUTF16BigEndianStringEncoding, markLength = 2;
    }
    if (markLength) {
        m_currentChunk->replaceBytesInRange(NSMakeRange(0, markLength), nullptr, 0);
        m_bytesDecoded += markLength;
    }
    extractStringFromCurrentChunk();
}

bool ZAKCSVParser::readNextChunk()
{
    // The text before the read position has been parsed: let it go.
    if (m_stringIndex) {
        m_currentChunkString.erase(0, m_stringIndex);
        m_stringIndex = 0;
    }
    bool read = readBytes();
    extractStringFromCurrentChunk();
    return read;
}

void ZAKCSVParser::extractStringFromCurrentChunk()
{
    size_t before = m_currentChunkString.size();
    if (m_currentChunk->length() && m_pendingFailure == PendingFailure::None) {
        auto decoded = NSStringAppendDecodablePrefix(m_currentChunk->bytes(), m_currentChunk->length(),
                                                     m_fileEncodingIntern, m_currentChunkString);
        if (decoded.invalidOffset != static_cast<NSUInteger>(NSNotFound)) {
            m_pendingFailure = PendingFailure::Decode;
            m_failureOffset = m_bytesDecoded + decoded.invalidOffset;
        }
        if (decoded.usedLength) {
            m_currentChunk->replaceBytesInRange(NSMakeRange(0, decoded.usedLength), nullptr, 0);
            m_bytesDecoded += decoded.usedLength;
        }
    }
    // A character cut short by the end of the input never completes.
    if (m_endOfStreamReached && m_currentChunk->length() && m_pendingFailure == PendingFailure::None) {
        m_pendingFailure = PendingFailure::Decode;
        m_failureOffset = m_bytesDecoded;
    }
    if (m_detectedLineEnd == NSNotFound && m_currentChunkString.size() > before) detectLineEnd(before);
}

// The first line break of the text decides: LF is 2, CR is 1, and a CR
// becomes CR LF (0) when an LF follows it in the same piece. A CR at the very
// end of a piece waits for the next piece, so the cut between chunks does
// not change the answer.
void ZAKCSVParser::detectLineEnd(size_t from)
{
    NSInteger found = m_lineEndAfterCR ? 1 : NSNotFound;
    m_lineEndAfterCR = false;
    for (size_t i = from; i < m_currentChunkString.size(); ++i) {
        char16_t c = m_currentChunkString[i];
        if (c == u'\r' && found == NSNotFound) found = 1;
        else if (c == u'\n' && found == NSNotFound) found = 2;
        else if (c == u'\n' && found == 1) found = 0;
    }
    if (found == 1 && m_currentChunkString.back() == u'\r' && moreInputMayCome()) {
        m_lineEndAfterCR = true;
        return;
    }
    if (found != NSNotFound) m_detectedLineEnd = found;
}

// The length of the composed character sequence at the read position, or 0
// when its end may still be coming with the next chunk. CR and LF are always
// characters of their own.
size_t ZAKCSVParser::composedCharacterLength()
{
    const char16_t* text = m_currentChunkString.data() + m_stringIndex;
    size_t available = m_currentChunkString.size() - m_stringIndex;
    char16_t first = text[0];
    if (isControl(first)) return 1;
    // Printable ASCII is an ordinary character without asking ICU.
    int32_t kind = first < 0x80              ? int32_t(U_GCB_OTHER)
                   : U16_IS_SURROGATE(first) ? -1
                                             : u_getIntPropertyValue(first, UCHAR_GRAPHEME_CLUSTER_BREAK);
    if (kind == U_GCB_CONTROL || kind == U_GCB_CR || kind == U_GCB_LF) return 1;
    // Most text: a plain character, perhaps with combining diacritics, and
    // then another plain character.
    if (kind == U_GCB_OTHER) {
        size_t length = 1;
        while (length < available && isCombiningDiacritic(text[length])) ++length;
        if (length == available) return moreInputMayCome() ? 0 : length;
        if (isPlainBoundary(text[length])) return length;
    }
    if (!m_characterBreaks) {
        UErrorCode status = U_ZERO_ERROR;
        m_characterBreaks = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
        if (U_FAILURE(status)) {
            m_characterBreaks = nullptr;
            return U16_IS_LEAD(first) && available > 1 && U16_IS_TRAIL(text[1]) ? 2 : 1;
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(m_characterBreaks, text, static_cast<int32_t>(available), &status);
    int32_t end = ubrk_following(m_characterBreaks, 0);
    if (end == UBRK_DONE || static_cast<size_t>(end) >= available) return moreInputMayCome() ? 0 : available;
    return static_cast<size_t>(end);
}

bool ZAKCSVParser::nextCharacter(size_t& start, size_t& length)
{
    for (;;) {
        if (m_currentChunkString.size() - m_stringIndex < m_chunkSize && moreInputMayCome()) {
            readNextChunk();
            continue;
        }
        if (m_stringIndex >= m_currentChunkString.size()) {
            raisePendingFailure();
            return false;
        }
        length = composedCharacterLength();
        if (length) break;
        readNextChunk();
    }
    start = m_stringIndex;
    m_stringIndex += length;
    return true;
}

NSUInteger ZAKCSVParser::lineOfReadPosition() const
{
    return m_state == InLine || m_state == InField ? m_currentLine : m_currentLine + 1;
}

void ZAKCSVParser::raisePendingFailure()
{
    if (m_error) return;
    switch (m_pendingFailure) {
    case PendingFailure::None: return;
    case PendingFailure::Read: {
        auto info = NSMutableDictionary::dictionary();
        info->setObject("Unable to read from input stream"_ns, NSLocalizedDescriptionKey());
        if (m_pendingStreamError) info->setObject(m_pendingStreamError, NSUnderlyingErrorKey());
        m_error = NSError::errorWithDomain(ZAKCSVParserErrorDomain(), ZAKCSVParserInputError, info);
        return;
    }
    case PendingFailure::Decode:
        m_encodingError = true;
        failWith(ZAKCSVParserInputError, "unable to interpret current chunk as a string"_ns,
                 NSString::stringWithFormat("Line %lu cannot be read in the encoding %@: the byte at offset %llu "
                                            "begins no character.",
                                            lineOfReadPosition(),
                                            NSString::localizedNameOfStringEncoding(m_fileEncodingIntern),
                                            static_cast<unsigned long long>(m_failureOffset)));
        return;
    }
}
