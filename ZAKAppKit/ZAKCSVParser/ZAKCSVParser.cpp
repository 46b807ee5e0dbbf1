// The reader's set-up, settings and runs.
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

#include <array>

#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(ZAKCSVParser)

Ref<NSString> ZAKCSVParserErrorDomain() { return "org.plumbline.ZAKCSVParser"_ns; }

namespace {

bool isLineBreak(char16_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

Ref<NSError> openError(const Ref<NSInputStream>& stream)
{
    auto info = NSMutableDictionary::dictionary();
    info->setObject("Unable to open file for reading"_ns, NSLocalizedDescriptionKey());
    if (stream && stream->streamError()) info->setObject(stream->streamError(), NSUnderlyingErrorKey());
    return NSError::errorWithDomain(ZAKCSVParserErrorDomain(), ZAKCSVParserInputError, info);
}

bool isOpen(const Ref<NSInputStream>& stream)
{
    NSStreamStatus status = stream->streamStatus();
    return status == NSStreamStatusOpening || status == NSStreamStatusOpen || status == NSStreamStatusReading;
}

}

ZAKCSVParser::ZAKCSVParser()
    : m_delimiter(","_ns)
    , m_currentChunk(NSMutableData::data())
{ }

ZAKCSVParser::~ZAKCSVParser()
{
    if (m_csvReadStream) m_csvReadStream->close();
    if (m_characterBreaks) ubrk_close(m_characterBreaks);
}

Ref<ZAKCSVParser> ZAKCSVParser::initWithStream(const Ref<NSInputStream>& stream, NSStringEncoding encoding,
                                               Ref<NSError>* error)
{
    return openStream(stream, encoding, error);
}

Ref<ZAKCSVParser> ZAKCSVParser::initWithContentsOfCSVFile(const Ref<NSString>& path, NSStringEncoding encoding,
                                                          Ref<NSError>* error)
{
    m_csvFile = path ? static_ref_cast<NSString>(path->copy()) : nullptr;
    return openStream(NSInputStream::inputStreamWithFileAtPath(path), encoding, error);
}

Ref<ZAKCSVParser> ZAKCSVParser::initWithCSVString(const Ref<NSString>& string, NSStringEncoding encoding,
                                                  Ref<NSError>* error)
{
    Ref<NSData> bytes = string ? string->dataUsingEncoding(encoding) : nullptr;
    return openStream(bytes ? NSInputStream::inputStreamWithData(bytes) : nullptr, encoding, error);
}

Ref<ZAKCSVParser> ZAKCSVParser::openStream(const Ref<NSInputStream>& stream, NSStringEncoding encoding,
                                           Ref<NSError>* error)
{
    if (stream) stream->open();
    if (!stream || !isOpen(stream)) {
        if (error) *error = openError(stream);
        return nullptr;
    }
    m_csvReadStream = stream;
    resetForRun();
    setDelimiter(","_ns);
    setEncoding(encoding);
    return this;
}

void ZAKCSVParser::resetForRun()
{
    m_error = nullptr;
    m_chunkSize = kDefaultChunkSize;
    m_balancedQuotes = true;
    m_balancedEscapes = true;
    m_encodingError = false;
    m_currentField.clear();
    m_currentChunk = NSMutableData::data();
    m_currentChunkString.clear();
    m_detectedLineEnd = NSNotFound;
    m_currentLine = 0;
    m_stringIndex = 0;
    m_endOfStreamReached = false;
    m_state = BetweenLines;
    m_pendingFailure = PendingFailure::None;
    m_pendingStreamError = nullptr;
    m_bytesDecoded = 0;
    m_lineEndAfterCR = false;
    m_fieldTooLong = false;
}

void ZAKCSVParser::setEncoding(NSStringEncoding encoding)
{
    m_fileEncoding = encoding;
    m_fileEncodingIntern = encoding;
}

void ZAKCSVParser::setDelimiter(const Ref<NSString>& delimiter)
{
    if (m_hasStarted)
        NSException::raise(NSInvalidArgumentException, "You cannot set a delimiter after parsing has started");
    bool valid = delimiter && delimiter->length() == 1;
    char16_t c = valid ? delimiter->characterAtIndex(0) : 0;
    if (!valid || isLineBreak(c) || c == u'#' || c == u'"' || c == u'\\')
        NSException::raise(NSInvalidArgumentException,
                           NSString::stringWithFormat("%@ cannot be used as a delimiter", delimiter)->UTF8String());
    if (delimiter.get() == m_delimiter.get()) return;
    m_delimiter = static_ref_cast<NSString>(delimiter->copy());
    m_delimiterCharacter = c;
}

NSInteger ZAKCSVParser::separatorType() const
{
    switch (m_delimiterCharacter) {
    case u',': return 0;
    case u';': return 1;
    case u'\t': return 2;
    default: return NSNotFound;
    }
}

void ZAKCSVParser::setSeparatorType(NSInteger type)
{
    static const std::array<const char*, 3> separators = {",", ";", "\t"};
    if (type < 0 || type > 2) return;
    setDelimiter(NSString::stringWithUTF8String(separators[static_cast<size_t>(type)]));
}

ZAKCSVParserDelegate* ZAKCSVParser::delegate() const { return m_parserDelegate.get() ? m_delegateInterface : nullptr; }

void ZAKCSVParser::parse()
{
    if (m_runEnded) {
        if (m_csvReadStream) m_csvReadStream->close();
        m_csvReadStream = m_csvFile ? NSInputStream::inputStreamWithFileAtPath(m_csvFile) : nullptr;
        if (m_csvReadStream) m_csvReadStream->open();
        resetForRun();
        // A parser made from a stream or a string has nothing to read again.
        if (!m_csvReadStream) m_endOfStreamReached = true;
    }
    Ref<ZAKCSVParser> keepAlive(this);
    readByteOrderMark();
    m_hasStarted = true;
    auto* target = delegate();
    if (target) target->parserDidStartDocument(this, m_csvFile);
    runParseLoop();
    target = delegate();
    if (target) {
        if (m_error) target->parserDidFailWithError(this, m_error);
        else target->parserDidEndDocument(this, m_csvFile);
    }
    m_hasStarted = false;
    m_runEnded = true;
}

void ZAKCSVParser::cancelParsing()
{
    m_state = Cancelled;
    m_error = NSError::errorWithDomain(ZAKCSVParserErrorDomain(), ZAKCSVParserCancelledError, nullptr);
}

NSInteger ZAKCSVParser::autodetectSeparatorForCSVFile(const Ref<NSString>& path)
{
    Ref<NSInputStream> stream = NSInputStream::inputStreamWithFileAtPath(path);
    if (!stream) return NSNotFound;
    stream->open();
    std::array<uint8_t, 2048> buffer{};
    NSInteger read = stream->read(buffer.data(), buffer.size());
    stream->close();
    if (read < 0) return NSNotFound;
    for (uint8_t byte : buffer) {
        switch (byte) {
        case 0:
        case '\n':
        case '\r': return NSNotFound;
        case ',': return 0;
        case ';': return 1;
        case '\t': return 2;
        default: break;
        }
    }
    return NSNotFound;
}
