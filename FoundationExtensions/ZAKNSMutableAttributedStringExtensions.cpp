#include "FoundationExtensions/ZAKNSMutableAttributedStringExtensions.h"

#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSURL.h"

namespace NSMutableAttributedStringExt {

void appendString(const Ref<NSMutableAttributedString>& receiver, const Ref<NSString>& string,
                  const Ref<NSDictionary>& attributes)
{
    receiver->appendAttributedString(NSAttributedString::initWithString(string, attributes));
}

void appendString(const Ref<NSMutableAttributedString>& receiver, const Ref<NSString>& string)
{
    Ref<NSDictionary> attributes =
        receiver->length() > 0 ? receiver->attributesAtIndex(receiver->length() - 1, nullptr) : nullptr;
    appendString(receiver, string, attributes);
}

[[noreturn]] static void cannotMutate()
{
    NSException::raise(NSInternalInconsistencyException,
                       "ZAKNSMutableAttributedStringExtensions:cannot not mutate ranges");
}

bool mutateRanges(const Ref<NSMutableAttributedString>& receiver, MutationCallback callback, NSRange range,
                  const Ref<NSString>& match, void* context)
{
    if (range.length == 0) return false;
    // An empty match would match everywhere without moving on.
    if (match && match->length() == 0) return false;
    bool changed = false;
    NSUInteger p = range.location;
    NSUInteger end = NSMaxRange(range);
    while (p < end) {
        NSRange occurrence{NSNotFound, 0};
        if (match) {
            occurrence = receiver->string()->rangeOfString(match, 0, NSMakeRange(p, end - p));
            if (occurrence.location == NSNotFound) break;
            if (occurrence.location < p || NSMaxRange(occurrence) > end) cannotMutate();
            p = occurrence.location;
        }
        NSRange run{0, 0};
        Ref<NSDictionary> attributes = receiver->attributesAtIndex(p, &run);
        NSRange cut = NSIntersectionRange(run, NSMakeRange(p, end - p));
        if (match) cut = NSIntersectionRange(cut, occurrence);
        if (cut.length == 0) cannotMutate();
        NSRange target = match ? occurrence : cut;

        Ref<NSAttributedString> replacement = callback(receiver, attributes, target, cut, &changed, context);
        if (!replacement) {
            p = NSMaxRange(target);
            continue;
        }
        if (!changed) {
            receiver->beginEditing();
            changed = true;
        }
        receiver->replaceCharactersInRange(target, replacement);
        end = end + replacement->length() - target.length;
        p = target.location + replacement->length();
    }
    if (changed) receiver->endEditing();
    return changed;
}

bool mutateRanges(const Ref<NSMutableAttributedString>& receiver, MutationCallback callback, const Ref<NSString>& match,
                  void* context)
{
    return mutateRanges(receiver, callback, NSMakeRange(0, receiver->length()), match, context);
}

static bool isSpace(char16_t c)
{
    return c <= 0x20 || c == 0x85 || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x3000;
}

static Ref<NSString> addressOfWord(const Ref<NSString>& word)
{
    if (word->rangeOfString("://"_ns).location != NSNotFound) return word;
    if (word->hasPrefix("www."_ns)) return NSString::stringWithFormat("http://%@", word);
    if (word->hasPrefix("ftp."_ns)) return NSString::stringWithFormat("ftp://%@", word);
    if (word->hasPrefix("gopher."_ns)) return NSString::stringWithFormat("gopher://%@", word);
    if (word->hasPrefix("mailto:"_ns)) return word;
    return nullptr;
}

void detectURLs(const Ref<NSMutableAttributedString>& receiver, const Id& color)
{
    const std::u16string text = receiver->utf16();
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !isSpace(text[i])) ++i;
        if (i == start) break;
        NSRange word = NSMakeRange(start, i - start);
        Ref<NSString> address = addressOfWord(receiver->string()->substringWithRange(word));
        Ref<NSURL> url = address ? NSURL::URLWithString(address) : nullptr;
        if (!url) continue;
        receiver->addAttribute("NSLink"_ns, url, word);
        receiver->addAttribute("NSUnderline"_ns, NSNumber::numberWithInteger(1), word);
        if (color) receiver->addAttribute("NSColor"_ns, color, word);
    }
}

}
