#pragma once
// The text format of string tables (".strings" files):
//   /* comment */  // comment
//   "key" = "value";
//   key = value;         (unquoted: ASCII letters, digits, '.', '_', '-')
//   "key";               (the value is the key)
// Input is UTF-8, or UTF-16 with a byte-order mark (or recognisable without
// one). Quoted text takes the escapes \" \\ \' \n \t \r \a \b \f \v, up to
// three octal digits, and \Uxxxx / \uxxxx (up to four hex digits: one UTF-16
// code unit, so characters past U+FFFF are written as two escapes).
#include <string>

#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"

// The table's entries (NSString keys and values). Malformed input logs one
// line naming `sourceName` and the line, and answers the entries read before
// the error.
Ref<NSDictionary> StringsTableFromData(const Ref<NSData>& data, const std::string& sourceName);
