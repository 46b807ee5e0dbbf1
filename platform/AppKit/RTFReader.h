#pragma once
// Rich text (RTF) read into an attributed string. No RTF library is packaged
// for Debian, so the layer reads the common subset itself: groups, \par,
// \line, \tab, \b, \i, \ul, \fs, \f with the font table, \cf with the colour
// table, \uN with \ucN, \'hh in Windows Latin 1, and the usual named
// characters. \* destinations and words it does not know are skipped.
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"

Ref<NSString> NSRTFTextDocumentType();

// nil when the bytes are not RTF or are malformed (no "{\rtf" start,
// unbalanced groups, a bad hex escape). The document attributes give the
// type.
Ref<NSAttributedString> NSAttributedStringWithRTF(const Ref<NSData>& data, Ref<NSDictionary>* documentAttributes);
