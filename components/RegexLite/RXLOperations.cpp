#include <algorithm>
#include <memory>
#include <string>

#include "Foundation/NSValue.h"
#include "RegexLite/RXLPrivate.h"

namespace {

constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);

// Where ICU stands after the last match, relative to the attached text: its
// end, or one unit further after an empty match that is not at the end.
NSUInteger positionAfter(const RXLCachedRegex& e, NSRange match)
{
    NSUInteger end = NSMaxRange(match) - e.setToRange.location;
    if (match.length == 0 && end < e.setToRange.length) ++end;
    return end;
}

NSRange groupRange(const RXLCachedRegex& e, int32_t group, UErrorCode& status)
{
    const int32_t start = uregex_start(e.icu_regex, group, &status);
    const int32_t end = uregex_end(e.icu_regex, group, &status);
    if (U_FAILURE(status) || start < 0) return RXLNotFoundRange;
    return NSMakeRange(e.setToRange.location + static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start));
}

Ref<NSString> substring(const RXLCachedRegex& e, NSRange r)
{
    if (r.location == kNotFound || r.length == 0) return NSString::string();
    return NSString::stringWithCharacters(e.setToUniChar + r.location, r.length);
}

Ref<NSArray> makeArray(const RXLCachedRegex& e, int op, const std::vector<NSRange>& ranges)
{
    std::vector<Id> strings;
    strings.reserve(ranges.size());
    for (NSRange r : ranges) strings.emplace_back(substring(e, r));
    if (op != (RXLArrayOfCapturesOp | RXLSubcapturesArray)) return NSArray::arrayWithVector(std::move(strings));
    const auto perMatch = static_cast<size_t>(e.captureCount + 1);
    std::vector<Id> arrays;
    arrays.reserve(strings.size() / perMatch);
    for (size_t i = 0; i + perMatch <= strings.size(); i += perMatch)
        arrays.emplace_back(
            NSArray::arrayWithVector(std::vector<Id>(strings.begin() + static_cast<std::ptrdiff_t>(i),
                                                     strings.begin() + static_cast<std::ptrdiff_t>(i + perMatch))));
    return NSArray::arrayWithVector(std::move(arrays));
}

Ref<NSDictionary> makeDictionary(const RXLCachedRegex& e, const NSRange* matchRanges, const RXLOpArgs& a)
{
    auto dict = NSMutableDictionary::dictionary();
    for (NSUInteger i = 0; i < a.keyCount; ++i) {
        NSRange r = matchRanges[a.captures[i]];
        // A group that took no part has no entry at all.
        if (r.location == kNotFound) continue;
        dict->setObject(substring(e, r), a.keys[i]);
    }
    return NSDictionary::dictionaryWithDictionary(dict);
}

Id makeResult(const RXLCachedRegex& e, int op, const RXLFindAll& find, const RXLOpArgs& a)
{
    const int code = op & RXLMaskOp;
    if (code == RXLDictionaryOp) {
        if (find.ranges.empty()) return NSDictionary::dictionary();
        return makeDictionary(e, find.ranges.data(), a);
    }
    if (code == RXLArrayOfDictionariesOp) {
        const auto perMatch = static_cast<size_t>(e.captureCount + 1);
        std::vector<Id> dicts;
        for (size_t i = 0; i + perMatch <= find.ranges.size(); i += perMatch)
            dicts.emplace_back(makeDictionary(e, find.ranges.data() + i, a));
        return NSArray::arrayWithVector(std::move(dicts));
    }
    return makeArray(e, op, find.ranges);
}

// Replaces every match of the attached text into `out`, which grows as the
// result needs and ends at the result's length. The text is walked once: the
// room each step needs is known before it is written, so nothing is ever
// replaced twice. `tooLong` is set when the result would not fit in INT_MAX
// units.
void replaceAll(RXLCachedRegex& e, const unichar* replacement, int32_t replacementLength, std::u16string& out,
                NSInteger& count, UErrorCode& status, bool& tooLong)
{
    e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
    e.icuAtStart = false;
    count = 0;
    out.clear();
    uregex_reset(e.icu_regex, 0, &status);
    if (U_FAILURE(status)) return;
    const size_t textLength = e.setToRange.length;
    // Each unit a replacement writes is one of its own literal units or comes
    // from a group it names with '$': no more groups than '$' signs.
    const auto references = static_cast<size_t>(std::count(replacement, replacement + replacementLength, u'$'));
    constexpr size_t kLimit = static_cast<size_t>(RXLIntMax) - 8;
    size_t used = 0;
    size_t appended = 0;  // where ICU's next copy of the text starts
    // Room for `more` units after what is written; the size is projected
    // from the share of the text done so far, so the buffer grows only a few
    // times.
    auto makeRoom = [&](size_t more) {
        if (used + more <= out.size()) return;
        size_t size = std::max(used + more, out.size() + out.size() / 2);
        if (appended > 0) {
            const size_t projected = static_cast<size_t>(static_cast<double>(used) * textLength / appended);
            size = std::max(size, projected + projected / 16 + 16);
        }
        out.resize(std::min(size, kLimit));
    };
    // ICU counts in int32_t; a buffer at the limit still leaves that much.
    auto write = [&](auto&& append) {
        UChar* dest = out.data() + used;
        auto room = static_cast<int32_t>(out.size() - used);
        const int32_t written = append(&dest, &room);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            tooLong = true;
            return;
        }
        if (status == U_STRING_NOT_TERMINATED_WARNING) status = U_ZERO_ERROR;
        if (U_SUCCESS(status)) used += static_cast<size_t>(written);
    };

    out.resize(std::min(textLength + static_cast<size_t>(replacementLength) * 2 + 16, kLimit));
    while (uregex_findNext(e.icu_regex, &status)) {
        ++count;
        const int32_t start = uregex_start(e.icu_regex, 0, &status);
        const int32_t end = uregex_end(e.icu_regex, 0, &status);
        if (U_FAILURE(status)) return;
        size_t longestGroup = 0;
        if (references > 0) {
            // "$0" names the whole match.
            for (int32_t g = 0; g <= e.captureCount; ++g) {
                const int32_t s = uregex_start(e.icu_regex, g, &status);
                if (s >= 0)
                    longestGroup = std::max(longestGroup, static_cast<size_t>(uregex_end(e.icu_regex, g, &status) - s));
            }
        }
        const size_t before = start > static_cast<int32_t>(appended) ? static_cast<size_t>(start) - appended : 0;
        makeRoom(before + static_cast<size_t>(replacementLength) + references * longestGroup);
        write([&](UChar** dest, int32_t* room) {
            return uregex_appendReplacement(e.icu_regex, replacement, replacementLength, dest, room, &status);
        });
        if (tooLong || U_FAILURE(status)) return;
        appended = static_cast<size_t>(end);
    }
    if (U_FAILURE(status)) return;
    makeRoom(textLength - std::min(appended, textLength));
    write([&](UChar** dest, int32_t* room) { return uregex_appendTail(e.icu_regex, dest, room, &status); });
    if (status == U_INDEX_OUTOFBOUNDS_ERROR && textLength == 0) status = U_ZERO_ERROR;
    if (tooLong || U_FAILURE(status)) return;
    out.resize(used);
    // A result much shorter than its buffer is copied into one of its size
    // rather than holding the rest for its whole life.
    if (out.capacity() - used > used / 4 + 64) out.shrink_to_fit();
}

Ref<NSString> replaceString(const RXLOpArgs& a, RXLCachedRegex& e, NSInteger& count, UErrorCode& status,
                            RXLDeferred& deferred)
{
    const NSUInteger replacementLength = a.replacement->length();
    const NSUInteger textLength = e.setToRange.length;
    if (replacementLength >= static_cast<NSUInteger>(RXLIntMax) ||
        textLength / 2 + replacementLength * 2 >= static_cast<NSUInteger>(RXLIntMax)) {
        deferred.set(rxl_exception(a.caller, NSRangeException, "Replacement string length exceeds INT_MAX."));
        return nullptr;
    }
    const unichar* replacement = a.replacement->characters();
    std::u16string replacementCopy;
    if (!replacement) {
        replacementCopy.resize(replacementLength);
        a.replacement->getCharacters(replacementCopy.data(), NSMakeRange(0, replacementLength));
        replacement = replacementCopy.data();
    }
    if (!replacement) replacement = u"";
    std::u16string out;
    bool tooLong = false;
    replaceAll(e, replacement, static_cast<int32_t>(replacementLength), out, count, status, tooLong);
    if (tooLong) {
        deferred.set(
            rxl_exception(a.caller, NSInternalInconsistencyException, "Replaced string length exceeds INT_MAX."));
        return nullptr;
    }
    if (U_FAILURE(status)) return nullptr;
    const bool inPlace = (a.op & RXLReplaceMutable) != 0;
    if (out.empty()) return inPlace && count == 0 ? nullptr : NSString::string();
    if (count == 0 && out.size() == a.subject->length())
        return inPlace ? nullptr : static_ref_cast<NSString>(a.subject->copy());
    // The buffer becomes the string's own text: no copy.
    return NSString::stringWithUTF16(std::move(out));
}

// The checks whose exceptions wait until the lock is released.
void checkCaptures(const RXLOpArgs& a, const RXLCachedRegex& e, RXLDeferred& deferred)
{
    const int code = a.op & RXLMaskOp;
    if ((code == RXLRangeOp || code == RXLArrayOfStringsOp) && (a.capture < 0 || a.capture > e.captureCount)) {
        deferred.set(rxl_exception(a.caller, NSInvalidArgumentException, "The capture argument is not valid."));
        return;
    }
    if (code != RXLDictionaryOp && code != RXLArrayOfDictionariesOp) return;
    for (NSUInteger i = 0; i < a.keyCount; ++i) {
        if (!a.keys[i]) {
            deferred.set(rxl_exception(a.caller, NSInvalidArgumentException,
                                       "The capture key (key " + std::to_string(i + 1) + " of " +
                                           std::to_string(a.keyCount) + ") is NULL."));
            return;
        }
        if (a.captures[i] < 0 || a.captures[i] > e.captureCount) {
            deferred.set(rxl_exception(a.caller, NSInvalidArgumentException,
                                       "The capture argument " + std::to_string(a.captures[i]) + " (capture " +
                                           std::to_string(i + 1) + " of " + std::to_string(a.keyCount) + ") for key '" +
                                           a.keys[i]->description()->UTF8String() + "' is not valid."));
            return;
        }
    }
}

}  // namespace

bool rxl_search(RXLCachedRegex& e, NSRange& range, bool advance, bool mayContinue, UErrorCode& status)
{
    bool found;
    if (range == e.lastFindRange && (e.lastMatchRange.location == kNotFound || e.lastMatchRange.length > 0)) {
        found = e.lastMatchRange.location != kNotFound;
    } else {
        if (range.location < e.setToRange.location || NSMaxRange(range) > NSMaxRange(e.setToRange) ||
            range.location - e.setToRange.location >= static_cast<NSUInteger>(RXLIntMax)) {
            RXL_ASSERT(range.location >= e.setToRange.location && NSMaxRange(range) <= NSMaxRange(e.setToRange));
            return false;
        }
        e.lastFindRange = range;
        const NSUInteger start = range.location - e.setToRange.location;
        // Only a search that follows its own previous one may continue: after
        // an empty match at the end ICU finds nothing more, while a fresh
        // search there must find that empty match again.
        const bool continues =
            (mayContinue && e.lastMatchRange.location != kNotFound && start == positionAfter(e, e.lastMatchRange)) ||
            (e.icuAtStart && start == 0);
        e.icuAtStart = false;
        found = continues ? uregex_findNext(e.icu_regex, &status)
                          : uregex_find(e.icu_regex, static_cast<int32_t>(start), &status);
        if (found && U_SUCCESS(status)) {
            e.lastMatchRange = groupRange(e, 0, status);
        }
        if (!found || U_FAILURE(status) || e.lastMatchRange.location == kNotFound) {
            found = false;
            e.lastFindRange = e.lastMatchRange = RXLNotFoundRange;
        }
    }
    if (!advance) return found;
    const NSUInteger end = NSMaxRange(range);
    NSUInteger next = end;
    if (found) {
        next = NSMaxRange(e.lastMatchRange);
        if (e.lastMatchRange.length == 0 && next < NSMaxRange(e.setToRange)) ++next;
        if (next > end) next = end;
    }
    range = NSMakeRange(next, end - next);
    return found;
}

void rxl_beginFind(RXLFindAll& find, int op, NSInteger capture, NSRange range)
{
    find.op = op;
    find.capture = capture;
    find.findInRange = range;
    find.previousEnd = range.location;
    find.finished = false;
    find.started = false;
    find.ranges.clear();
}

bool rxl_findNext(RXLCachedRegex& e, RXLFindAll& find, UErrorCode& status)
{
    if (find.finished) return false;
    const int code = find.op & RXLMaskOp;
    const NSUInteger end = NSMaxRange(find.findInRange);
    for (;;) {
        const bool found = rxl_search(e, find.findInRange, true, find.started, status) && U_SUCCESS(status);
        find.started = true;
        if (!found) {
            find.finished = true;
            if (code != RXLSplitOp || U_FAILURE(status) || find.previousEnd >= end) return false;
            find.ranges.push_back(NSMakeRange(find.previousEnd, end - find.previousEnd));
            return true;
        }
        const NSRange match = e.lastMatchRange;
        if (code == RXLSplitOp) {
            if (match.length == 0 && match.location == find.previousEnd) continue;
            find.ranges.push_back(NSMakeRange(find.previousEnd, match.location - find.previousEnd));
            find.previousEnd = NSMaxRange(match);
            return true;
        }
        if (code == RXLArrayOfStringsOp) {
            find.ranges.push_back(find.capture == 0 ? match
                                                    : groupRange(e, static_cast<int32_t>(find.capture), status));
            return U_SUCCESS(status);
        }
        find.ranges.push_back(match);
        for (int32_t g = 1; g <= e.captureCount; ++g) find.ranges.push_back(groupRange(e, g, status));
        return U_SUCCESS(status);
    }
}

namespace {

[[gnu::cold]] [[gnu::noinline]] RXLErrorInfo operationErrorInfo(const RXLOpArgs& a, UErrorCode status, NSInteger count)
{
    RXLErrorInfo info;
    info.regex = a.regex;
    info.options = a.options;
    info.status = status;
    info.subject = a.subject;
    info.range = *a.range;
    if ((a.op & RXLMaskOp) == RXLReplaceOp) {
        info.replacement = a.replacement;
        info.replacedCount = count;
    }
    return info;
}

[[gnu::cold]] [[gnu::noinline]] void deferIcuFailure(const RXLOpArgs& a, UErrorCode status, NSInteger count,
                                                     RXLDeferred& deferred)
{
    deferred.set(rxl_icuException(a.caller, operationErrorInfo(a, status, count)));
}

// ICU ended with a warning and nothing came out of the operation.
[[gnu::cold]] [[gnu::noinline]] void storeWarning(const RXLOpArgs& a, UErrorCode status, NSInteger count)
{
    RXLErrorInfo info = operationErrorInfo(a, status, count);
    info.extra.emplace_back(NSString::stringWithUTF8String("The ICU library returned an unexpected error."),
                            NSLocalizedDescriptionKey());
    *a.error = rxl_makeNSError(info);
}

void checkArguments(const RXLOpArgs& a)
{
    const int code = a.op & RXLMaskOp;
    if (!a.regex) rxl_raise(a.caller, NSInvalidArgumentException, "The regular expression argument is NULL.");
    if (!a.subject) rxl_raise(a.caller, NSInternalInconsistencyException, "The match string argument is NULL.");
    if (!a.range) rxl_raise(a.caller, NSInternalInconsistencyException, "The match range argument is NULL.");
    if (code == RXLReplaceOp && !a.replacement)
        rxl_raise(a.caller, NSInvalidArgumentException, "The replacement string argument is NULL.");
    if ((code == RXLDictionaryOp || code == RXLArrayOfDictionariesOp) && !a.keys)
        rxl_raise(a.caller, NSInvalidArgumentException, "The keys argument is NULL.");
    if ((code == RXLDictionaryOp || code == RXLArrayOfDictionariesOp) && !a.captures)
        rxl_raise(a.caller, NSInvalidArgumentException, "The captures argument is NULL.");
}

// Operation 3 on its own: the most frequent one needs none of the result
// builders' state.
void performRangeOp(const RXLOpArgs& a)
{
    NSRange found = RXLNotFoundRange;
    RXLDeferred deferred;
    UErrorCode status = U_ZERO_ERROR;
    NSUInteger subjectLength = 0;
    RXLLockScope lock;
    lock.lock();
    RXLCachedRegex* e = rxl_getCachedRegexSetToString(a.caller, a.regex, a.options, a.subject, subjectLength, *a.range,
                                                      a.error, deferred, status);
    if (e && !deferred && U_SUCCESS(status)) {
        if (a.capture != 0) checkCaptures(a, *e, deferred);
        NSRange search = *a.range;
        if (!deferred && rxl_search(*e, search, false, false, status) && U_SUCCESS(status))
            found = a.capture == 0 ? e->lastMatchRange : groupRange(*e, static_cast<int32_t>(a.capture), status);
    }
    lock.unlock();
    if (!deferred && U_FAILURE(status)) deferIcuFailure(a, status, 0, deferred);
    if (deferred) rxl_raiseDeferred(deferred);
    if (a.rangeResult) *a.rangeResult = found;
    if (a.error && status < U_ZERO_ERROR && found.location == kNotFound) storeWarning(a, status, 0);
}

}  // namespace

Id rxl_performRegexOp(RXLOpArgs& a)
{
    if (a.error && *a.error) *a.error = nullptr;
    checkArguments(a);
    const int code = a.op & RXLMaskOp;
    if (code == RXLRangeOp) {
        performRangeOp(a);
        return nullptr;
    }
    if (a.replacedCount) *a.replacedCount = -1;

    RXLDeferred deferred;
    UErrorCode status = U_ZERO_ERROR;
    Id result;
    NSInteger count = -1;
    NSUInteger subjectLength = 0;
    RXLLockScope lock;
    lock.lock();
    RXLCachedRegex* e = rxl_getCachedRegexSetToString(a.caller, a.regex, a.options, a.subject, subjectLength, *a.range,
                                                      a.error, deferred, status);
    if (e && !deferred && U_SUCCESS(status)) checkCaptures(a, *e, deferred);
    if (e && !deferred && U_SUCCESS(status)) {
        const NSRange range = *a.range;
        if (code == RXLReplaceOp) {
            Ref<NSString> replaced = replaceString(a, *e, count, status, deferred);
            result = replaced;
            if ((a.op & RXLReplaceMutable) && count > 0 && U_SUCCESS(status)) {
                // The receiver is about to change: nothing may keep its old text.
                rxl_forgetSubject(a.subject, subjectLength, rxl_subjectHash(*e));
            }
        } else if (code >= RXLSplitOp && code <= RXLArrayOfDictionariesOp) {
            RXLFindAll find;
            rxl_beginFind(find, a.op, a.capture, range);
            const bool firstOnly = code == RXLCapturesArrayOp || code == RXLDictionaryOp;
            while (rxl_findNext(*e, find, status) && !firstOnly) { }
            if (U_SUCCESS(status)) result = makeResult(*e, a.op, find, a);
        } else {
            deferred.assertion = rxl_assertionInfo(__func__, __FILE__, __LINE__, "Unknown regexOp code.");
        }
    }
    lock.unlock();

    if (!deferred && U_FAILURE(status)) deferIcuFailure(a, status, count, deferred);
    if (deferred) rxl_raiseDeferred(deferred);

    if (code == RXLReplaceOp && a.replacedCount) *a.replacedCount = e ? count : -1;
    if ((a.op & RXLReplaceMutable) && result && count > 0 && status == U_ZERO_ERROR) {
        auto mutableSubject = dynamic_cast<NSMutableString*>(a.subject);
        if (mutableSubject) mutableSubject->replaceCharactersInRange(*a.range, static_ref_cast<NSString>(result));
    }
    if (!result && a.error && status < U_ZERO_ERROR) storeWarning(a, status, count);
    return result;
}
