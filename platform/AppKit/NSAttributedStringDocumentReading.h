#pragma once
// Reading a document's bytes into an attributed string
// (initWithData:options:documentAttributes:error:): rich text (RTF) when the
// options say so or the bytes start as RTF does, plain text otherwise, its
// encoding judged from the bytes when the options name none.
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSError.h"

// Document attribute keys and the plain-text document type.
Ref<NSString> NSCharacterEncodingDocumentAttribute();
Ref<NSString> NSDocumentTypeDocumentAttribute();
Ref<NSString> NSPlainTextDocumentType();
// Option keys: the encoding to read with (a number), the document type.
Ref<NSString> NSCharacterEncodingDocumentOption();
Ref<NSString> NSDocumentTypeDocumentOption();

// The text of the bytes, with the document attributes (type, and the
// encoding as a number). Without an encoding option the bytes say it: a
// UTF-16 or UTF-32 byte-order mark gives that encoding, bytes that are valid
// UTF-8 (a character cut short at the very end counts as valid) give UTF-8,
// anything else the default C-string encoding. nil, with a Cocoa error, when
// the bytes do not read in the encoding (NSFileReadUnknownError) or are
// malformed RTF (NSFileReadCorruptFileError).
Ref<NSAttributedString> NSAttributedStringWithDocumentData(const Ref<NSData>& data, const Ref<NSDictionary>& options,
                                                           Ref<NSDictionary>* documentAttributes, Ref<NSError>* error);
