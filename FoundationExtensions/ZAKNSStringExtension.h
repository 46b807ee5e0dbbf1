#pragma once
// NSString(ZAKNSStringExtension): the framework's string utilities: unique
// names made by counting up a trailing number, unique file and "copy" names,
// e-mail and URL plausibility tests, special characters, entity conversion,
// ISBN conversion, RFC 3986 percent-encoding, key-equivalent strings, a
// snippet of text around a range, name splitting and drawing a string in a
// rectangle.
#include <functional>
#include <initializer_list>

#include "Foundation/NSArray.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSString.h"

namespace NSStringExt {

// --- Making strings ---

// nil when the data cannot be decoded.
Ref<NSString> stringWithData(const Ref<NSData>& data, NSStringEncoding encoding);
// The string repeated n times; empty for n <= 0.
Ref<NSString> stringWithString(const Ref<NSString>& string, NSInteger times);
// The strings joined, up to the first nil.
Ref<NSString> stringWithStrings(std::initializer_list<Ref<NSString>> strings);
// A new UUID in upper-case 8-4-4-4-12 form.
Ref<NSString> UUID();
// The current date as "%Y%m%d%H%M%S%z%F" (%F: milliseconds).
Ref<NSString> timeStampForFileOperation();
// "-" for 0, otherwise that many U+272D stars, at most 5.
Ref<NSString> stringForRating(NSUInteger rating);
// The glyphs of the modifiers set in the mask, in the order command (1 << 20)
// U+2318, option (1 << 19) U+2325, control (1 << 18) "^", shift (1 << 17)
// U+21E7, followed by the key.
Ref<NSString> stringForKeyEquivalent(const Ref<NSString>& key, NSUInteger modifierMask);

// --- Unique names ---

// The name itself when the list lacks it; otherwise its trailing number (or
// 0) counted up, written after the name's other text and a blank, until the
// list lacks it: "New Set" gives "New Set 1", "Set 2" "Set 3", "Set9" "Set 10".
Ref<NSString> uniqueStringWithString(const Ref<NSString>& name, const Ref<NSArray>& list);
// The name with the localized word for "copy" appended unless it holds it,
// then made unique: "Report" gives "Report copy", then "Report copy 1".
Ref<NSString> uniqueCopyStringWithString(const Ref<NSString>& name, const Ref<NSArray>& list);
// A file name whose name without extension clashes with one of the list's
// (extensions ignored) gets the unique copy name; the extension stays.
Ref<NSString> uniqueFilenameWithString(const Ref<NSString>& name, const Ref<NSArray>& filenames);

// --- Tests and URLs ---

// "@" and "." each somewhere after the first and before the last character
// (the first occurrence of each counts; their order does not).
bool validateEMailAddress(const Ref<NSString>& string);
// The same for "." alone.
bool validateURL(const Ref<NSString>& string);
// The string when it holds "://", otherwise "http://" before it.
Ref<NSString> completedURLStringForString(const Ref<NSString>& string);
// Every percent escape decoded, then the URL's escapes added again (UTF-8).
// Decoded escapes of reserved characters ("%2F") stay decoded. Text that
// cannot be decoded (a stray "%") is escaped as it stands.
Ref<NSString> convertToURLConformString(const Ref<NSString>& string);
// ";" "/" "?" ":" "@" "&" "=" "+" "$" "," "[" "]" "#" "!" "'" "(" ")" "*"
// replaced by their escapes; nothing else (neither blanks nor "%").
Ref<NSString> percentEncodedRfc3986String(const Ref<NSString>& string);
// Every percent escape decoded (UTF-8); nil when an escape is malformed.
Ref<NSString> decodeAllPercentEscapes(const Ref<NSString>& string);

// --- Content types ---

// The content type of the file at the path (symbolic links followed), as the
// platform's item attributes answer it for all roles; nil when nothing is
// there.
Ref<NSString> universalTypeForFile(const Ref<NSString>& path);
// Whether the receiver, a type identifier, conforms to the type.
bool UTIConformsTo(const Ref<NSString>& string, const Ref<NSString>& type);
// Whether the receiver conforms to one of the identifiers of the collection
// (an array or a set; elements that are not strings are passed over).
bool UTIConformsToUTIOf(const Ref<NSString>& string, const Id& types);

// --- Special characters ---
// Each made once and kept for the process.

// One character; a code point above U+FFFF becomes a surrogate pair.
Ref<NSString> stringWithCharacter(UTF32Char character);
Ref<NSString> horizontalEllipsisString();                     // U+2026
Ref<NSString> leftPointingDoubleAngleQuotationMarkString();   // U+00AB
Ref<NSString> rightPointingDoubleAngleQuotationMarkString();  // U+00BB
Ref<NSString> emdashString();                                 // U+2014
Ref<NSString> endashString();                                 // U+2013
Ref<NSString> commandKeyIndicatorString();                    // U+2318
Ref<NSString> alternateKeyIndicatorString();                  // U+2325
Ref<NSString> shiftKeyIndicatorString();                      // U+21E7

// --- Converting ---

// A mutable copy with the entities of NSMutableString(ZAKMutableStringExtension)
// applied; nil for nil.
Ref<NSMutableString> stringByConvertCharactersToHTML(const Ref<NSString>& string);
Ref<NSMutableString> stringByConvertCharactersToXML(const Ref<NSString>& string);
Ref<NSMutableString> stringByConvertXMLToChars(const Ref<NSString>& string);
// "/", ":" and "\" each replaced by "-".
Ref<NSString> stringByReplacNotFilenameConformCharacters(const Ref<NSString>& string);
// The string without any character of the set. NSBackwardsSearch is ignored;
// other options go to the search (NSAnchoredSearch removes only a leading run).
Ref<NSString> stringByRemovingCharactersInSet(const Ref<NSString>& string, const Ref<NSCharacterSet>& set,
                                              NSStringCompareOptions options = 0);
Ref<NSString> stringByRemovingCharacter(const Ref<NSString>& string, unichar character);
Ref<NSString> stringByAppendingEllipsis(const Ref<NSString>& string);
// A mutable copy with the replacements made in the range.
Ref<NSMutableString> stringByReplaceOccurrencesOfString(const Ref<NSString>& string, const Ref<NSString>& target,
                                                        const Ref<NSString>& replacement,
                                                        NSStringCompareOptions options, NSRange range);
// At most maxCharacters of the text around the range, with a horizontal
// ellipsis where text was cut off, and line breaks and double blanks made
// single blanks. The whole string when the range is {NSNotFound, ...} or the
// maximum is at least the string's length.
Ref<NSString> displayStringForRange(const Ref<NSString>& string, NSRange range, NSUInteger maxCharacters);
// The ISBN-13 of the first nine characters of an ISBN-10, with its check
// digit; a string shorter than ten characters gives "9780000000002".
Ref<NSMutableString> convertISBN10ToISBN13(const Ref<NSString>& string);
// The ISBN-10 of characters 3-11 of an ISBN-13, with its check digit ("X"
// for 10); a string shorter than thirteen characters gives "0000000000".
Ref<NSMutableString> convertISBN13ToISBN10(const Ref<NSString>& string);
// First name, then last name: "Last, First" (or ";"), "First von Last",
// otherwise split at the last blank; without one, all is the last name.
Ref<NSArray> firstAndLastNameOfNameString(const Ref<NSString>& string);

// --- Drawing ---

// Draws an attributed string of the text in the rectangle, aligned by the
// platform's NSTextAlignment value and optionally centred vertically. String
// drawing belongs to the text system, which sits above this library: the
// attributed-string drawing helpers install it here. Until then the draw
// functions below draw nothing.
using DrawingFunction = std::function<void(const Ref<NSString>& string, const Ref<NSDictionary>& attributes,
                                           NSInteger alignment, bool verticallyCentered, const NSRect& rectangle)>;
void setDrawingFunction(DrawingFunction function);

void drawWithFontAttributes(const Ref<NSString>& string, const Ref<NSDictionary>& attributes, NSInteger alignment,
                            bool verticallyCenter, const NSRect& rectangle);
void drawWithFontAttributes(const Ref<NSString>& string, const Ref<NSDictionary>& attributes, NSInteger alignment,
                            const NSRect& rectangle);
// The attributes hold the font (key "NSFont") and the colour (key "NSColor"),
// each only when given.
void drawWithFont(const Ref<NSString>& string, const Id& font, const Id& color, NSInteger alignment,
                  bool verticallyCenter, const NSRect& rectangle);
void drawWithFont(const Ref<NSString>& string, const Id& font, const Id& color, NSInteger alignment,
                  const NSRect& rectangle);

}
