#pragma once
// Reads comma-, semicolon- or tab-separated text from a file, a stream or a
// string and reports it to a delegate: the document, each line, each field.
//
// The format: one delimiter character; fields quoted with double quotes,
// a doubled quote standing for one (anywhere in a field); backslash escapes
// that protect the next character and stay in the field; lines that begin
// with "#" are comments. Line breaks are CR, LF or CR LF, mixed as they
// come. Input arrives in chunks and is decoded in the given encoding; the
// 16- and 32-bit Unicode encodings read a byte-order mark, and one leading
// UTF-8 mark is dropped.
//
// Failures end the run with parserDidFailWithError after everything read
// before them was delivered: ZAKCSVParserErrorDomain code 1 for input that
// cannot be opened, read or decoded (the failure reason names the line and
// byte offset of the first undecodable byte), 2 for a quoted field still
// open at the end of the input, 3 for a cancelled run and 4 for a field
// longer than maximumFieldLength (the reader stops reading there).
#include <string>

#include <unicode/ubrk.h>

#include "Foundation/NSData.h"
#include "Foundation/NSError.h"
#include "Foundation/NSInputStream.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParserDelegate.h"

Ref<NSString> ZAKCSVParserErrorDomain();

inline constexpr NSInteger ZAKCSVParserInputError = 1;
inline constexpr NSInteger ZAKCSVParserUnclosedQuoteError = 2;
inline constexpr NSInteger ZAKCSVParserCancelledError = 3;
inline constexpr NSInteger ZAKCSVParserFieldTooLongError = 4;

class ZAKCSVParser : public NSObject {
    NS_OBJECT(ZAKCSVParser, NSObject)
public:
    ZAKCSVParser();
    ~ZAKCSVParser() override;

    static constexpr NSUInteger kDefaultChunkSize = 16384;
    static constexpr NSUInteger kDefaultMaximumFieldLength = 16777216;

    // Each opens its stream and answers nil, with a code-1 error, when it
    // cannot be opened.
    Ref<ZAKCSVParser> initWithStream(const Ref<NSInputStream>& stream, NSStringEncoding encoding, Ref<NSError>* error);
    Ref<ZAKCSVParser> initWithContentsOfCSVFile(const Ref<NSString>& path, NSStringEncoding encoding,
                                                Ref<NSError>* error);
    Ref<ZAKCSVParser> initWithCSVString(const Ref<NSString>& string, NSStringEncoding encoding, Ref<NSError>* error);

    void setEncoding(NSStringEncoding encoding);
    const Ref<NSString>& delimiter() const { return m_delimiter; }
    // One character other than a line break, "#", the double quote or the
    // backslash; anything else, or a change while parse runs, raises
    // NSInvalidArgumentException.
    void setDelimiter(const Ref<NSString>& delimiter);
    // 0 ",", 1 ";", 2 tab; other values change nothing. NSNotFound for any
    // other delimiter.
    NSInteger separatorType() const;
    void setSeparatorType(NSInteger type);
    bool trimSpaces() const { return m_trimSpaces; }
    void setTrimSpaces(bool trim) { m_trimSpaces = trim; }
    // Bytes asked for per read; a repeated run goes back to the default.
    NSUInteger chunkSize() const { return m_chunkSize; }
    void setChunkSize(NSUInteger size) { m_chunkSize = size ? size : 1; }
    // The longest field, in UTF-16 units, before the run fails with code 4.
    NSUInteger maximumFieldLength() const { return m_maximumFieldLength; }
    void setMaximumFieldLength(NSUInteger length) { m_maximumFieldLength = length; }
    // Not retained; implements ZAKCSVParserDelegate.
    Id parserDelegate() const { return m_parserDelegate.get(); }
    void setParserDelegate(const Id& delegate)
    {
        m_parserDelegate = delegate;
        m_delegateInterface = dynamic_cast<ZAKCSVParserDelegate*>(delegate.get());
    }

    const Ref<NSError>& error() const { return m_error; }
    const Ref<NSString>& csvFile() const { return m_csvFile; }
    bool encodingErrorOccured() const { return m_encodingError; }
    // 0 CR LF, 1 CR, 2 LF, from the first decoded text that has a line
    // break; NSNotFound before one was seen.
    NSInteger detectedLineEnd() const { return m_detectedLineEnd; }
    // The bytes read and not yet decoded.
    const Ref<NSMutableData>& currentChunk() const { return m_currentChunk; }
    void setCurrentChunk(const Ref<NSMutableData>& chunk) { m_currentChunk = chunk ? chunk : NSMutableData::data(); }

    // Reads the whole input, calling the delegate as it goes. A repeated run
    // starts over from the file; one made from a stream or string reads
    // nothing more.
    void parse();
    // From inside a delegate message: ends the run with a code-3 error.
    void cancelParsing();

    // The separator type of the file's first line (0, 1 or 2), judged from
    // its first bytes; NSNotFound when it has none of the three.
    static NSInteger autodetectSeparatorForCSVFile(const Ref<NSString>& path);

private:
    enum State : NSUInteger { BetweenLines = 0, InLine = 1, InField = 2, InComment = 3, Cancelled = 4 };
    enum class PendingFailure { None, Read, Decode };

    Ref<ZAKCSVParser> openStream(const Ref<NSInputStream>& stream, NSStringEncoding encoding, Ref<NSError>* error);
    void resetForRun();
    ZAKCSVParserDelegate* delegate() const;

    // Reading and decoding (ZAKCSVParserInput.cpp).
    void readByteOrderMark();
    bool readBytes();
    bool readNextChunk();
    void extractStringFromCurrentChunk();
    void detectLineEnd(size_t from);
    bool moreInputMayCome() const;
    size_t composedCharacterLength();
    bool nextCharacter(size_t& start, size_t& length);
    void raisePendingFailure();
    NSUInteger lineOfReadPosition() const;

    // The state machine (ZAKCSVParserStates.cpp).
    void runParseLoop();
    void processComposedCharacter(size_t start, size_t length, char16_t previous);
    void appendPlainRun(char16_t& previous);
    void setState(State state);
    void beginCurrentLine();
    void beginCurrentField();
    void finishCurrentField();
    void finishCurrentLine();
    void appendToCurrentField(const char16_t* units, size_t length);
    void failWith(NSInteger code, const Ref<NSString>& description, const Ref<NSString>& reason);

    Weak<NSObject> m_parserDelegate;
    // The delegate's side that answers the protocol, found once: it is
    // asked for every field.
    ZAKCSVParserDelegate* m_delegateInterface = nullptr;
    Ref<NSInputStream> m_csvReadStream;
    Ref<NSString> m_csvFile;
    NSStringEncoding m_fileEncoding = 0;
    NSStringEncoding m_fileEncodingIntern = 0;
    Ref<NSString> m_delimiter;
    char16_t m_delimiterCharacter = u',';
    NSUInteger m_chunkSize = kDefaultChunkSize;
    NSUInteger m_maximumFieldLength = kDefaultMaximumFieldLength;
    Ref<NSMutableData> m_currentChunk;
    // Decoded text from the read position on; what was read before it leaves
    // the buffer, so a long input never sits in memory whole.
    std::u16string m_currentChunkString;
    size_t m_stringIndex = 0;
    bool m_endOfStreamReached = false;
    std::u16string m_currentField;
    NSUInteger m_currentLine = 0;
    NSUInteger m_fieldStartLine = 0;
    State m_state = BetweenLines;
    bool m_balancedQuotes = true;
    bool m_balancedEscapes = true;
    bool m_trimSpaces = false;
    bool m_encodingError = false;
    NSInteger m_detectedLineEnd = NSNotFound;
    bool m_hasStarted = false;
    bool m_runEnded = false;
    bool m_fieldTooLong = false;
    Ref<NSError> m_error;

    // A read or decoding failure waits until the text before it was parsed.
    PendingFailure m_pendingFailure = PendingFailure::None;
    Ref<NSError> m_pendingStreamError;
    uint64_t m_bytesDecoded = 0;
    uint64_t m_failureOffset = 0;
    // The text so far ends in a CR that may yet be followed by an LF.
    bool m_lineEndAfterCR = false;
    UBreakIterator* m_characterBreaks = nullptr;
};
