#pragma once
// Writes rows of cells as CSV text to an open file handle, one encoded line
// per row, in the format the CSV reader reads back.
//
// A cell is quoted when it holds a double quote (doubled inside), a comma, a
// semicolon, a tab, a line break or a space, or when forceQuotes is set; a
// row's first cell is also quoted when it begins with "#" (the reader would
// take the line for a comment), and so is the one empty cell of a row (the
// reader would merge the empty line into the next). Cells that are not
// strings answer stringRepresentation, sent by name.
//
// The separator and line end in use are "," and CR until writeRows applies
// separatorType and lineEndType. A row that cannot be encoded, or any row
// while no encoding is set, raises NSInvalidArgumentException before
// anything of it is written.
#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSFileHandle.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class ZAKCSVExport : public NSObject {
    NS_OBJECT(ZAKCSVExport, NSObject)
protected:
    ZAKCSVExport();

public:
    ~ZAKCSVExport() override;

    Id init() override;
    Ref<ZAKCSVExport> initWithFileHandle(const Ref<NSFileHandle>& handle);

    // Not closed by the writer.
    const Ref<NSFileHandle>& filehandle() const { return m_filehandle; }
    void setFilehandle(const Ref<NSFileHandle>& handle) { m_filehandle = handle; }
    NSStringEncoding encoding() const { return m_encoding; }
    void setEncoding(NSStringEncoding encoding) { m_encoding = encoding; }
    // 0 comma, 1 semicolon, 2 tab; other values mean comma.
    NSInteger separatorType() const { return m_separatorType; }
    void setSeparatorType(NSInteger type) { m_separatorType = type; }
    // 0 CR LF, 1 CR, 2 LF; other values mean CR LF.
    NSInteger lineEndType() const { return m_lineEndType; }
    void setLineEndType(NSInteger type) { m_lineEndType = type; }
    bool forceQuotes() const { return m_forceQuotes; }
    void setForceQuotes(bool force) { m_forceQuotes = force; }

    // Applies the two types, then writes each row.
    void writeRows(const Ref<NSArray>& rows);
    // Builds the line with the separator and line end in use, encodes it and
    // writes it with one write.
    void writeRow(const Ref<NSArray>& row);
    // The cell text as written.
    Ref<NSString> escapeString(const Ref<NSString>& string) const;
    // The bytes of the text in `encoding`, or nil when it cannot be encoded.
    Ref<NSData> encodeString(const Ref<NSString>& string) const;

private:
    Ref<NSFileHandle> m_filehandle;
    NSStringEncoding m_encoding = 0;
    NSInteger m_separatorType = 0;
    NSInteger m_lineEndType = 0;
    bool m_forceQuotes = false;
    Ref<NSString> m_delimiterString;
    Ref<NSString> m_lineEndString;
    // Rows written so far, to name the one that fails.
    NSUInteger m_rowsWritten = 0;
};
