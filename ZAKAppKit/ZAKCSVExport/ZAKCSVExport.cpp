#include "ZAKAppKit/ZAKCSVExport/ZAKCSVExport.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(ZAKCSVExport)

namespace {

bool needsQuotes(std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u',':
        case u';':
        case u'\t':
        case u'\n':
        case u'\r':
        case u' ': return true;
        default: break;
        }
    }
    return false;
}

Ref<NSString> cellText(const Id& cell)
{
    if (auto text = dynamic_ref_cast<NSString>(cell)) return text;
    // Not a string: the cell says how it reads, or the send raises as any
    // unrecognised selector does.
    Id answer = cell ? cell->performSelector("stringRepresentation") : nullptr;
    auto text = dynamic_ref_cast<NSString>(answer);
    return text ? text : NSString::string();
}

}

ZAKCSVExport::ZAKCSVExport() = default;

ZAKCSVExport::~ZAKCSVExport() { setFilehandle(nullptr); }

Id ZAKCSVExport::init()
{
    NSObject::init();
    m_delimiterString = ","_ns;
    m_lineEndString = "\r"_ns;
    m_forceQuotes = false;
    return Id(this);
}

Ref<ZAKCSVExport> ZAKCSVExport::initWithFileHandle(const Ref<NSFileHandle>& handle)
{
    init();
    setFilehandle(handle);
    return this;
}

void ZAKCSVExport::writeRows(const Ref<NSArray>& rows)
{
    m_delimiterString = m_separatorType == 1 ? ";"_ns : m_separatorType == 2 ? "\t"_ns : ","_ns;
    m_lineEndString = m_lineEndType == 1 ? "\r"_ns : m_lineEndType == 2 ? "\n"_ns : "\r\n"_ns;
    if (!rows) return;
    for (const Id& row : rows->snapshot()) writeRow(dynamic_ref_cast<NSArray>(row));
}

void ZAKCSVExport::writeRow(const Ref<NSArray>& row)
{
    NSUInteger rowNumber = m_rowsWritten + 1;
    if (!m_encoding)
        NSException::raise(NSInvalidArgumentException,
                           "Row " + std::to_string(rowNumber) + " cannot be written: no encoding is set");
    auto line = NSMutableString::string();
    std::vector<Id> cells = row ? row->snapshot() : std::vector<Id>();
    for (size_t i = 0; i < cells.size(); ++i) {
        Ref<NSString> text = cellText(cells[i]);
        Ref<NSString> escaped = escapeString(text);
        bool quoted = escaped->length() != text->length();
        // Lines that begin with "#" are comments, and an empty line merges
        // into the next: both would lose the row.
        if (i == 0 && !quoted && (text->hasPrefix("#"_ns) || (cells.size() == 1 && !text->length())))
            escaped = NSString::stringWithFormat("\"%@\"", text);
        if (i > 0) line->appendString(m_delimiterString);
        line->appendString(escaped);
    }
    line->appendString(m_lineEndString);
    Ref<NSData> bytes = encodeString(line);
    if (!bytes)
        NSException::raise(NSInvalidArgumentException,
                           "Row " + std::to_string(rowNumber) + " cannot be encoded in " +
                               NSString::localizedNameOfStringEncoding(m_encoding)->UTF8String());
    m_rowsWritten = rowNumber;
    if (m_filehandle) m_filehandle->writeData(bytes);
}

Ref<NSString> ZAKCSVExport::escapeString(const Ref<NSString>& string) const
{
    Ref<NSString> text = string ? string : NSString::string();
    StringChars chars(text);
    if (chars.view().find(u'"') != std::u16string_view::npos) {
        auto doubled = NSMutableString::stringWithString(text);
        doubled->replaceOccurrencesOfString("\""_ns, "\"\""_ns, NSLiteralSearch, NSMakeRange(0, doubled->length()));
        return NSString::stringWithFormat("\"%@\"", doubled);
    }
    if (m_forceQuotes || needsQuotes(chars.view())) return NSString::stringWithFormat("\"%@\"", text);
    return text;
}

Ref<NSData> ZAKCSVExport::encodeString(const Ref<NSString>& string) const
{
    if (!string || !m_encoding) return nullptr;
    return string->dataUsingEncoding(m_encoding);
}
