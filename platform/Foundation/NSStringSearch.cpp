// Search, comparison, case mapping and composed character sequences of
// NSString, on ICU.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include <unicode/ubrk.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSString.h"

namespace {

constexpr NSRange notFound{static_cast<NSUInteger>(NSNotFound), 0};

// Full case folding of one code point, appended to out.
void foldCodePoint(UChar32 c, std::u16string& out)
{
    if (c < 0x80) {
        out += static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return;
    }
    UChar source[2];
    int32_t length = 0;
    U16_APPEND_UNSAFE(source, length, c);
    UChar folded[8];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = u_strFoldCase(folded, 8, source, length, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status) || n > 8) out.append(source, source + length);
    else out.append(folded, folded + n);
}

std::u16string foldString(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        foldCodePoint(c, out);
    }
    return out;
}

// How texts are made comparable before a search: canonical decomposition
// unless the search is literal (so "e" + combining acute finds the
// precomposed letter), then case folding when case is ignored.
struct Transform {
    bool decompose = false;
    bool fold = false;
    explicit Transform(NSStringCompareOptions options)
        : decompose(!(options & NSLiteralSearch))
        , fold(options & NSCaseInsensitiveSearch)
    { }
};

void transformCodePoint(UChar32 c, const Transform& t, std::u16string& out)
{
    // Nothing below U+00C0 has a canonical decomposition.
    if (!t.decompose || c < 0xC0) {
        if (t.fold) foldCodePoint(c, out);
        else if (c <= 0xFFFF) out += static_cast<char16_t>(c);
        else out += {static_cast<char16_t>(U16_LEAD(c)), static_cast<char16_t>(U16_TRAIL(c))};
        return;
    }
    UChar piece[32];
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    int32_t n = U_SUCCESS(status) ? unorm2_getDecomposition(nfd, c, piece, 32, &status) : -1;
    if (U_FAILURE(status) || n < 0 || n > 32) {
        n = 0;
        U16_APPEND_UNSAFE(piece, n, c);
    }
    if (!t.fold) {
        out.append(piece, piece + n);
        return;
    }
    for (int32_t i = 0; i < n;) {
        UChar32 d;
        U16_NEXT(piece, i, n, d);
        foldCodePoint(d, out);
    }
}

std::u16string transformString(std::u16string_view text, const Transform& t)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        transformCodePoint(c, t, out);
    }
    return out;
}

// The text searched, transformed. A code point may become several units
// (German sharp s folds to "ss", "é" decomposes to "e" and an accent); a
// match must start and end on the units of whole source code points.
struct Haystack {
    std::u16string_view units;
    std::u16string storage;
    std::vector<uint32_t> source;  // source index of each transformed unit
    std::vector<uint8_t> first;    // the unit starts a code point's transform
    NSUInteger base = 0;
    NSUInteger end = 0;

    Haystack(std::u16string_view text, NSRange range, const Transform& t)
        : base(range.location)
        , end(NSMaxRange(range))
    {
        std::u16string_view part = text.substr(range.location, range.length);
        bool changes =
            t.fold || (t.decompose && std::any_of(part.begin(), part.end(), [](char16_t c) { return c >= 0xC0; }));
        if (!changes) {
            units = part;
            return;
        }
        storage.reserve(part.size());
        for (size_t i = 0; i < part.size();) {
            size_t at = i;
            UChar32 c;
            U16_NEXT(part.data(), i, part.size(), c);
            size_t before = storage.size();
            transformCodePoint(c, t, storage);
            for (size_t k = before; k < storage.size(); ++k) {
                source.push_back(static_cast<uint32_t>(base + at));
                first.push_back(k == before);
            }
        }
        units = storage;
    }
    bool boundary(size_t k) const { return first.empty() || k == units.size() || first[k]; }
    NSUInteger sourceIndex(size_t k) const
    {
        if (source.empty()) return base + k;
        return k == units.size() ? end : source[k];
    }
    NSRange match(size_t k, size_t m) const { return NSMakeRange(sourceIndex(k), sourceIndex(k + m) - sourceIndex(k)); }
};

// Matches of needle in text within range, first to last (or last to first
// when searching backwards); at most one unless all is set.
std::vector<NSRange> findMatches(std::u16string_view text, std::u16string_view rawNeedle,
                                 NSStringCompareOptions options, NSRange range, bool all)
{
    std::vector<NSRange> found;
    Transform transform(options);
    std::u16string transformed = transformString(rawNeedle, transform);
    std::u16string_view needle = transformed;
    if (needle.empty() || range.length == 0) return found;
    Haystack hay(text, range, transform);
    const size_t m = needle.size();
    if (m > hay.units.size()) return found;
    auto valid = [&](size_t k) { return hay.boundary(k) && hay.boundary(k + m); };
    bool anchored = options & NSAnchoredSearch;

    if (!(options & NSBackwardsSearch)) {
        size_t pos = 0;
        while (pos + m <= hay.units.size()) {
            size_t k = anchored ? (hay.units.compare(pos, m, needle) == 0 ? pos : std::u16string_view::npos)
                                : hay.units.find(needle, pos);
            if (k == std::u16string_view::npos) break;
            if (!valid(k)) {
                if (anchored) break;
                pos = k + 1;
                continue;
            }
            found.push_back(hay.match(k, m));
            if (!all || anchored) break;
            pos = k + m;
        }
        return found;
    }
    size_t limit = hay.units.size();  // matches end at or before limit
    while (limit >= m) {
        size_t k = anchored ? (hay.units.compare(limit - m, m, needle) == 0 ? limit - m : std::u16string_view::npos)
                            : hay.units.rfind(needle, limit - m);
        if (k == std::u16string_view::npos) break;
        if (!valid(k)) {
            if (anchored || k == 0) break;
            limit = k + m - 1;
            continue;
        }
        found.push_back(hay.match(k, m));
        if (!all || anchored) break;
        limit = k;
    }
    return found;
}

void checkRangeIn(std::u16string_view text, NSRange range, const char* method)
{
    if (range.location > text.size() || range.length > text.size() - range.location)
        NSException::raise(NSRangeException, std::string("-[NSString ") + method + "]: Range {" +
                                                 std::to_string(range.location) + ", " + std::to_string(range.length) +
                                                 "} out of bounds; string length " + std::to_string(text.size()));
}

// The comparison key of a text: canonical decomposition unless the
// comparison is literal, then case folding when case is ignored.
std::u16string decompose(std::u16string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status)) return std::u16string(text);
    auto length = static_cast<int32_t>(text.size());
    int32_t n = unorm2_normalize(nfd, text.data(), length, nullptr, 0, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR) return std::u16string(text);
    std::u16string out(n, u'\0');
    status = U_ZERO_ERROR;
    unorm2_normalize(nfd, text.data(), length, out.data(), n, &status);
    return U_SUCCESS(status) ? out : std::u16string(text);
}

// The comparison key of a text: canonical decomposition unless the
// comparison is literal, then case folding when case is ignored.
std::u16string comparisonKey(std::u16string_view text, NSStringCompareOptions options)
{
    bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
    std::u16string key = !(options & NSLiteralSearch) && !ascii ? decompose(text) : std::u16string(text);
    if (options & NSCaseInsensitiveSearch) key = foldString(key);
    return key;
}

NSComparisonResult sign(int v) { return v < 0 ? NSOrderedAscending : v > 0 ? NSOrderedDescending : NSOrderedSame; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

NSComparisonResult compareKeys(std::u16string_view a, std::u16string_view b, bool numeric)
{
    if (!numeric) return sign(a.compare(b));
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Runs of digits compare by value: "file9" sorts before "file10".
            size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == u'0') ++si;
            while (sj + 1 < ej && b[sj] == u'0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj ? NSOrderedAscending : NSOrderedDescending;
            if (int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj))) return sign(c);
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j] ? NSOrderedAscending : NSOrderedDescending;
        ++i;
        ++j;
    }
    if (i < a.size()) return NSOrderedDescending;
    if (j < b.size()) return NSOrderedAscending;
    return NSOrderedSame;
}

// Collation for the current locale at the strength. Collators are opened
// once per locale and strength and kept for the life of the process, since
// sorting calls this for every pair.
NSComparisonResult collate(std::u16string_view a, std::u16string_view b, UCollationStrength strength)
{
    std::string locale = NSLocale::currentLocale()->icuLocaleID();
    // The POSIX locale's tailoring orders upper before lower case at the
    // primary level (code-point order), which would make every comparison
    // case-sensitive; the root collation is the meaningful one for "C".
    if (locale == "en_US_POSIX") locale.clear();
    static std::mutex lock;
    static auto* collators = new std::map<std::pair<std::string, UCollationStrength>, UCollator*>;
    std::lock_guard guard(lock);
    UCollator*& collator = (*collators)[{locale, strength}];
    if (!collator) {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* opened = ucol_open(locale.c_str(), &status);
        if (U_FAILURE(status)) {
            collators->erase({locale, strength});
            return compareKeys(a, b, false);
        }
        ucol_setStrength(opened, strength);
        collator = opened;
    }
    UCollationResult r =
        ucol_strcoll(collator, a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? NSOrderedAscending : r == UCOL_GREATER ? NSOrderedDescending : NSOrderedSame;
}

std::string localeID(const Ref<NSLocale>& locale) { return locale ? locale->icuLocaleID() : std::string(); }

enum class CaseMapping { Lower, Upper };

std::u16string mapCase(std::u16string_view text, CaseMapping mapping, const std::string& locale)
{
    auto run = [&](UChar* dest, int32_t capacity, UErrorCode* status) {
        auto f = mapping == CaseMapping::Lower ? u_strToLower : u_strToUpper;
        return f(dest, capacity, text.data(), static_cast<int32_t>(text.size()), locale.c_str(), status);
    };
    std::u16string out(text.size(), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = run(out.data(), static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(n, u'\0');
        status = U_ZERO_ERROR;
        n = run(out.data(), n, &status);
    }
    if (U_FAILURE(status)) return std::u16string(text);
    out.resize(n);
    return out;
}

std::u16string titleCaseWord(UCaseMap* map, std::u16string_view word)
{
    std::u16string out(word.size() + 4, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ucasemap_toTitle(map, out.data(), static_cast<int32_t>(out.size()), word.data(),
                                 static_cast<int32_t>(word.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.assign(n, u'\0');
        status = U_ZERO_ERROR;
        n = ucasemap_toTitle(map, out.data(), n, word.data(), static_cast<int32_t>(word.size()), &status);
    }
    if (U_FAILURE(status)) return std::u16string(word);
    out.resize(n);
    return out;
}

std::u16string capitalize(std::u16string_view text, const std::string& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    // Each word as a whole: its first character in title case, the rest in
    // lower case, with no adjustment to the first cased letter ("3d" stays).
    std::unique_ptr<UCaseMap, void (*)(UCaseMap*)> map(
        ucasemap_open(locale.c_str(), U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_BREAK_ADJUSTMENT, &status),
        ucasemap_close);
    if (U_FAILURE(status)) return std::u16string(text);
    const Ref<NSCharacterSet> separators = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        if (separators->longCharacterIsMember(static_cast<UTF32Char>(c))) {
            out.append(text.substr(start, i - start));
            continue;
        }
        size_t end = i;
        while (end < text.size()) {
            size_t next = end;
            U16_NEXT(text.data(), next, text.size(), c);
            if (separators->longCharacterIsMember(static_cast<UTF32Char>(c))) break;
            end = next;
        }
        out += titleCaseWord(map.get(), text.substr(start, end - start));
        i = end;
    }
    return out;
}

}

// Search

NSRange NSString::rangeOfString(const Ref<NSString>& text, NSStringCompareOptions options) const
{
    return rangeOfString(text, options, NSMakeRange(0, length()));
}

NSRange NSString::rangeOfString(const Ref<NSString>& text, NSStringCompareOptions options, NSRange range) const
{
    if (!text) NSException::raise(NSInvalidArgumentException, "-[NSString rangeOfString:options:range:]: nil argument");
    StringChars chars(*this);
    checkRangeIn(chars.view(), range, "rangeOfString:options:range:");
    std::vector<NSRange> found = findMatches(chars.view(), StringChars(*text).view(), options, range, false);
    return found.empty() ? notFound : found.front();
}

NSRange NSString::rangeOfCharacterFromSet(const Ref<NSCharacterSet>& set, NSStringCompareOptions options) const
{
    return rangeOfCharacterFromSet(set, options, NSMakeRange(0, length()));
}

NSRange NSString::rangeOfCharacterFromSet(const Ref<NSCharacterSet>& set, NSStringCompareOptions options,
                                          NSRange range) const
{
    if (!set)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSString rangeOfCharacterFromSet:options:range:]: nil argument");
    StringChars chars(*this);
    checkRangeIn(chars.view(), range, "rangeOfCharacterFromSet:options:range:");
    const char16_t* text = chars.view().data();
    size_t start = range.location, end = NSMaxRange(range);
    auto member = [&](UChar32 c) {
        if (set->longCharacterIsMember(static_cast<UTF32Char>(c))) return true;
        if (!(options & NSCaseInsensitiveSearch)) return false;
        return set->longCharacterIsMember(static_cast<UTF32Char>(u_tolower(c))) ||
               set->longCharacterIsMember(static_cast<UTF32Char>(u_toupper(c)));
    };
    if (!(options & NSBackwardsSearch)) {
        for (size_t i = start; i < end;) {
            size_t at = i;
            UChar32 c;
            U16_NEXT(text, i, end, c);
            if (member(c)) return NSMakeRange(at, i - at);
            if (options & NSAnchoredSearch) break;
        }
        return notFound;
    }
    for (size_t i = end; i > start;) {
        size_t after = i;
        UChar32 c;
        U16_PREV(text, start, i, c);
        if (member(c)) return NSMakeRange(i, after - i);
        if (options & NSAnchoredSearch) break;
    }
    return notFound;
}

// Comparison

NSComparisonResult NSString::compare(const Ref<NSString>& other, NSStringCompareOptions options) const
{
    return compare(other, options, NSMakeRange(0, length()));
}

NSComparisonResult NSString::compare(const Ref<NSString>& other, NSStringCompareOptions options, NSRange range) const
{
    StringChars chars(*this);
    checkRangeIn(chars.view(), range, "compare:options:range:");
    if (!other) return NSOrderedDescending;
    std::u16string_view mine = chars.view().substr(range.location, range.length);
    StringChars theirs(*other);
    bool numeric = options & NSNumericSearch;
    if ((options & (NSCaseInsensitiveSearch | NSLiteralSearch)) == NSLiteralSearch)
        return compareKeys(mine, theirs.view(), numeric);
    return compareKeys(comparisonKey(mine, options), comparisonKey(theirs.view(), options), numeric);
}

NSComparisonResult NSString::caseInsensitiveCompare(const Ref<NSString>& other) const
{
    return compare(other, NSCaseInsensitiveSearch);
}

NSComparisonResult NSString::localizedCompare(const Ref<NSString>& other) const
{
    if (!other) return NSOrderedDescending;
    return collate(StringChars(*this).view(), StringChars(*other).view(), UCOL_TERTIARY);
}

NSComparisonResult NSString::localizedCaseInsensitiveCompare(const Ref<NSString>& other) const
{
    if (!other) return NSOrderedDescending;
    return collate(StringChars(*this).view(), StringChars(*other).view(), UCOL_SECONDARY);
}

// Case

Ref<NSString> NSString::lowercaseString() const { return lowercaseStringWithLocale(nullptr); }

Ref<NSString> NSString::uppercaseString() const { return uppercaseStringWithLocale(nullptr); }

Ref<NSString> NSString::capitalizedString() const { return capitalizedStringWithLocale(nullptr); }

Ref<NSString> NSString::lowercaseStringWithLocale(const Ref<NSLocale>& locale) const
{
    return stringWithUTF16(mapCase(StringChars(*this).view(), CaseMapping::Lower, localeID(locale)));
}

Ref<NSString> NSString::uppercaseStringWithLocale(const Ref<NSLocale>& locale) const
{
    return stringWithUTF16(mapCase(StringChars(*this).view(), CaseMapping::Upper, localeID(locale)));
}

Ref<NSString> NSString::capitalizedStringWithLocale(const Ref<NSLocale>& locale) const
{
    return stringWithUTF16(capitalize(StringChars(*this).view(), localeID(locale)));
}

// Replacing

namespace {
// The text with every match replaced; count answers the number of matches.
std::u16string replaceMatches(std::u16string_view text, std::u16string_view target, std::u16string_view replacement,
                              NSStringCompareOptions options, NSRange range, NSUInteger& count)
{
    std::vector<NSRange> found = findMatches(text, target, options, range, true);
    count = found.size();
    if (options & NSBackwardsSearch) std::reverse(found.begin(), found.end());
    std::u16string out;
    out.reserve(text.size());
    size_t at = 0;
    for (const NSRange& r : found) {
        out.append(text.substr(at, r.location - at));
        out.append(replacement);
        at = NSMaxRange(r);
    }
    out.append(text.substr(at));
    return out;
}
}

Ref<NSString> NSString::stringByReplacingOccurrencesOfString(const Ref<NSString>& target,
                                                             const Ref<NSString>& replacement) const
{
    return stringByReplacingOccurrencesOfString(target, replacement, 0, NSMakeRange(0, length()));
}

Ref<NSString> NSString::stringByReplacingOccurrencesOfString(const Ref<NSString>& target,
                                                             const Ref<NSString>& replacement,
                                                             NSStringCompareOptions options, NSRange range) const
{
    if (!target || !replacement)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSString stringByReplacingOccurrencesOfString:withString:]: nil argument");
    StringChars chars(*this);
    checkRangeIn(chars.view(), range, "stringByReplacingOccurrencesOfString:withString:options:range:");
    NSUInteger count = 0;
    std::u16string out = replaceMatches(chars.view(), StringChars(*target).view(), StringChars(*replacement).view(),
                                        options, range, count);
    if (count == 0) return static_ref_cast<NSString>(copy());
    return stringWithUTF16(std::move(out));
}

NSUInteger NSMutableString::replaceOccurrencesOfString(const Ref<NSString>& target, const Ref<NSString>& replacement,
                                                       NSStringCompareOptions options, NSRange range)
{
    if (!target || !replacement)
        NSException::raise(NSInvalidArgumentException,
                           "-[NSMutableString replaceOccurrencesOfString:withString:options:range:]: nil argument");
    checkRange(range, "replaceOccurrencesOfString:withString:options:range:");
    NSUInteger count = 0;
    std::u16string out =
        replaceMatches(m_chars, StringChars(*target).view(), StringChars(*replacement).view(), options, range, count);
    if (count == 0) return 0;
    m_chars = std::move(out);
    didMutate();
    return count;
}

// Composed character sequences

NSRange NSString::rangeOfComposedCharacterSequenceAtIndex(NSUInteger index) const
{
    StringChars chars(*this);
    std::u16string_view text = chars.view();
    if (index >= text.size())
        NSException::raise(NSRangeException, "-[NSString rangeOfComposedCharacterSequenceAtIndex:]: Index " +
                                                 std::to_string(index) + " out of bounds; string length " +
                                                 std::to_string(text.size()));
    // Characters below U+0300 never join their neighbours (apart from CR LF,
    // which stays split anyway), which spares a break iterator for most text.
    auto simple = [&](size_t i) { return i >= text.size() || text[i] < 0x300; };
    if (simple(index) && (index == 0 || simple(index - 1)) && simple(index + 1)) return NSMakeRange(index, 1);

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, void (*)(UBreakIterator*)> breaks(
        ubrk_open(UBRK_CHARACTER, "", text.data(), static_cast<int32_t>(text.size()), &status), ubrk_close);
    if (U_FAILURE(status)) return NSMakeRange(index, 1);
    auto at = static_cast<int32_t>(index);
    // ICU moves an offset inside a surrogate pair; start from the pair.
    if (at > 0 && U16_IS_TRAIL(text[at]) && U16_IS_LEAD(text[at - 1])) --at;
    int32_t start = ubrk_isBoundary(breaks.get(), at) ? at : ubrk_preceding(breaks.get(), at);
    int32_t end = ubrk_following(breaks.get(), at);
    if (start == UBRK_DONE) start = 0;
    if (end == UBRK_DONE) end = static_cast<int32_t>(text.size());
    // ICU keeps CR LF as one cluster; the platform's text code relies on two.
    if (end - start == 2 && text[start] == u'\r' && text[start + 1] == u'\n') return NSMakeRange(index, 1);
    return NSMakeRange(start, end - start);
}

NSRange NSString::rangeOfComposedCharacterSequencesForRange(NSRange range) const
{
    checkRange(range, "rangeOfComposedCharacterSequencesForRange:");
    if (range.length == 0 && range.location == length()) return range;
    NSRange first = rangeOfComposedCharacterSequenceAtIndex(range.location);
    if (range.length == 0) return NSMakeRange(first.location, 0);
    NSRange last = rangeOfComposedCharacterSequenceAtIndex(NSMaxRange(range) - 1);
    return NSMakeRange(first.location, NSMaxRange(last) - first.location);
}
