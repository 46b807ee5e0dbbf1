#pragma once
// NSMutableString(ZAKMutableStringExtension): entity escaping for HTML and
// XML, in place.
#include "Foundation/NSString.h"

namespace NSMutableStringExt {

// Line feed becomes "<br>"; the double quote, "&", "<" and ">" their
// entities; U+00A0-U+00FF their HTML 4 names ("&nbsp;" ... "&yuml;");
// characters from U+0100 up to U+FFEF "&#<code>;", a character beyond U+FFFF
// one "&#<code point>;"; everything else stays.
void HTMLEntities(const Ref<NSMutableString>& string);
// The double quote, "&", "'", "<" and ">" become "&quot;", "&amp;",
// "&apos;", "&lt;" and "&gt;".
void XMLEntities(const Ref<NSMutableString>& string);
// The five XML entities back to their characters, in one pass from left to
// right, so an escaped entity ("&amp;lt;") becomes the entity's text
// ("&lt;"). Other entities stay as they are.
void XMLEntitiesToChars(const Ref<NSMutableString>& string);

}
