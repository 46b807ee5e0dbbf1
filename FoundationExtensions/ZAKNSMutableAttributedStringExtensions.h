#pragma once
// NSMutableAttributedString(ZAKNSMutableAttributedStringExtensions): appending
// plain text, rewriting matched ranges or attribute runs through a callback,
// and marking web addresses as links.
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSDictionary.h"

namespace NSMutableAttributedStringExt {

void appendString(const Ref<NSMutableAttributedString>& receiver, const Ref<NSString>& string,
                  const Ref<NSDictionary>& attributes);
// With the attributes of the last character (none when the receiver is empty).
void appendString(const Ref<NSMutableAttributedString>& receiver, const Ref<NSString>& string);

// Gets the receiver, the attributes at the target's start, the target range
// (the match, or the attribute run cut to the range), the run cut to the
// range, the call's changed flag (leave it alone) and the context. Answers a
// replacement for the target, or nil to leave it.
using MutationCallback = Ref<NSAttributedString> (*)(const Ref<NSMutableAttributedString>& string,
                                                     const Ref<NSDictionary>& attributes, NSRange target, NSRange run,
                                                     bool* changed, void* context);

// Walks the range, by occurrences of the match string or, when it is nil, by
// attribute runs, and replaces what the callback answers. The edits are
// bracketed by beginEditing/endEditing. Answers whether anything changed.
bool mutateRanges(const Ref<NSMutableAttributedString>& receiver, MutationCallback callback, NSRange range,
                  const Ref<NSString>& match, void* context);
bool mutateRanges(const Ref<NSMutableAttributedString>& receiver, MutationCallback callback, const Ref<NSString>& match,
                  void* context);

// Words (runs up to white space) holding "://", or starting with "www.",
// "ftp.", "gopher." (given the scheme) or "mailto:", become links: the link
// attribute (the URL), underline style 1 and the colour when not nil.
void detectURLs(const Ref<NSMutableAttributedString>& receiver, const Id& color);

}
