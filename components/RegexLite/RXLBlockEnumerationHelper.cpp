#include "RegexLite/RXLBlockEnumerationHelper.h"

#include <cstdlib>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(RXLBlockEnumerationHelper)

namespace {

// A string handed to a block that is reused for every match of its capture
// slot: its text is replaced in place, so one object serves the whole
// enumeration and it stays readable after the block returned.
class RXLCapturedStringView : public NSString {
    NS_OBJECT(RXLCapturedStringView, NSString)
protected:
    RXLCapturedStringView() = default;

public:
    void pointAt(const unichar* chars, NSUInteger length)
    {
        m_chars.assign(chars, length);
        m_hash.store(0, std::memory_order_relaxed);
    }
};

constexpr NSUInteger kNotFound = static_cast<NSUInteger>(NSNotFound);
constexpr RXLRegexEnumerationOptions kKnownOptions = RXLRegexEnumerationCapturedStringsNotRequired |
                                                     RXLRegexEnumerationReleaseReturnedString |
                                                     RXLRegexEnumerationReusableCapturedStrings;

bool validOptions(RXLRegexEnumerationOptions options, RXLBlockEnumerationOp op)
{
    if (options & ~kKnownOptions) return false;
    if ((options & RXLRegexEnumerationCapturedStringsNotRequired) &&
        (options & RXLRegexEnumerationReusableCapturedStrings))
        return false;
    if ((options & RXLRegexEnumerationReleaseReturnedString) && op != RXLBlockEnumerationReplaceOp) return false;
    return true;
}

[[noreturn]] void internalFailure(const char* function, const char* condition)
{
    rxl_reportAssertion(rxl_assertionInfo(function, __FILE__, __LINE__, condition));
    // The report raises; this is never reached.
    std::abort();
}

}  // namespace

NS_CLASS_DEFINE(RXLCapturedStringView)

RXLBlockEnumerationHelper::~RXLBlockEnumerationHelper()
{
    if (cachedRegex.icu_regex) uregex_close(cachedRegex.icu_regex);
    if (needToFreeBufferUniChar) std::free(buffer.uniChar);
}

Ref<RXLBlockEnumerationHelper> RXLBlockEnumerationHelper::initWithRegex(const RXLCaller& caller,
                                                                        const Ref<NSString>& regex,
                                                                        RXLRegexOptions options,
                                                                        const Ref<NSString>& string, NSRange range,
                                                                        Ref<NSError>* error)
{
    if (!regex || !string) internalFailure(__func__, "regex != NULL && string != NULL");
    RXLDeferred deferred;
    UErrorCode status = U_ZERO_ERROR;
    {
        RXLLockScope lock;
        lock.lock();
        RXLCachedRegex* entry = rxl_getCachedRegex(caller, regex.get(), options, error, deferred);
        if (entry) {
            cachedRegex.icu_regex = uregex_clone(entry->icu_regex, &status);
            if (U_SUCCESS(status)) rxl_applyMatchLimits(cachedRegex.icu_regex, status);
            cachedRegex.regexString = entry->regexString;
            cachedRegex.options = entry->options;
            cachedRegex.captureCount = entry->captureCount;
            cachedRegex.regexHash = entry->regexHash;
        }
        lock.unlock();
        rxl_raiseDeferred(deferred);
        if (!entry) return nullptr;
    }

    buffer.string = static_ref_cast<NSString>(string->copy());
    buffer.length = static_cast<NSInteger>(buffer.string->length());
    buffer.hash = rxl_hashOf(buffer.string.get());
    const unichar* chars = buffer.string->characters();
    if (!chars && buffer.length > 0) {
        buffer.uniChar = static_cast<unichar*>(std::malloc(static_cast<size_t>(buffer.length) * sizeof(unichar)));
        if (!buffer.uniChar) internalFailure(__func__, "buffer.uniChar != NULL");
        needToFreeBufferUniChar = true;
        buffer.string->getCharacters(buffer.uniChar, NSMakeRange(0, static_cast<NSUInteger>(buffer.length)));
        chars = buffer.uniChar;
    }
    static const unichar empty[1] = {0};
    if (!chars) chars = empty;
    cachedRegex.setToString = buffer.string;
    cachedRegex.setToHash = buffer.hash;
    cachedRegex.setToHashKnown = true;
    cachedRegex.setToLength = buffer.length;
    cachedRegex.setToUniChar = chars;
    cachedRegex.buffer = &buffer;

    if (buffer.length >= RXLIntMax || NSMaxRange(range) > static_cast<NSUInteger>(buffer.length))
        internalFailure(__func__, "length < INT_MAX && NSMaxRange(range) <= length");
    cachedRegex.lastFindRange = cachedRegex.lastMatchRange = RXLNotFoundRange;
    cachedRegex.setToRange = range;
    if (U_SUCCESS(status))
        uregex_setText(cachedRegex.icu_regex, chars + range.location, static_cast<int32_t>(range.length), &status);
    cachedRegex.icuAtStart = U_SUCCESS(status);

    if (status == U_ZERO_ERROR) return this;
    RXLErrorInfo info;
    info.regex = regex;
    info.options = options;
    info.status = status;
    info.subject = string;
    info.range = range;
    if (U_FAILURE(status)) throw rxl_icuException(caller, info);
    if (error) {
        info.extra.emplace_back(NSString::stringWithUTF8String("The ICU library returned an unexpected error."),
                                NSLocalizedDescriptionKey());
        *error = rxl_makeNSError(info);
    }
    return nullptr;
}

Ref<NSString> rxl_performEnumerationUsingBlock(const RXLCaller& caller, int regexOp, const Ref<NSString>& regex,
                                               RXLRegexOptions options, const Ref<NSString>& subject, NSRange range,
                                               RXLBlockEnumerationOp enumerationOp,
                                               RXLRegexEnumerationOptions enumerationOptions, NSInteger* replacedCount,
                                               bool* errorFree, Ref<NSError>* error, const RXLMatchBlock* matchBlock,
                                               const RXLReplaceBlock* replaceBlock)
{
    if (replacedCount) *replacedCount = -1;
    if (errorFree) *errorFree = false;
    if (error && *error) *error = nullptr;
    if (!validOptions(enumerationOptions, enumerationOp))
        rxl_raise(caller, NSInvalidArgumentException, "The RXLRegexEnumerationOptions argument is not valid.");
    if (!regex) rxl_raise(caller, NSInvalidArgumentException, "The regular expression argument is NULL.");
    if (!subject) rxl_raise(caller, NSInternalInconsistencyException, "The match string argument is NULL.");
    const NSUInteger length = subject->length();
    if (range.length == NSUIntegerMax && range.location <= length) range.length = length - range.location;
    if (range.location > length || range.length > length - range.location)
        rxl_raise(caller, NSRangeException, "Range or index out of bounds.");
    if (length >= static_cast<NSUInteger>(RXLIntMax))
        rxl_raise(caller, NSRangeException, "String length exceeds INT_MAX.");
    const bool isMatch = enumerationOp == RXLBlockEnumerationMatchOp;
    if (isMatch
            ? !((regexOp == RXLCapturesArrayOp || regexOp == RXLSplitOp) && matchBlock && *matchBlock && !replaceBlock)
            : !(regexOp == RXLCapturesArrayOp && replaceBlock && *replaceBlock && !matchBlock))
        internalFailure(__func__, "the operation and its block belong together");

    Ref<RXLBlockEnumerationHelper> helper =
        NSObject::alloc<RXLBlockEnumerationHelper>()->initWithRegex(caller, regex, options, subject, range, error);
    if (!helper) return nullptr;
    RXLCachedRegex& e = helper->cachedRegex;

    const size_t slots = regexOp == RXLSplitOp ? 1 : static_cast<size_t>(e.captureCount + 1);
    const bool makeStrings = !(enumerationOptions & RXLRegexEnumerationCapturedStringsNotRequired);
    const bool reuseStrings = (enumerationOptions & RXLRegexEnumerationReusableCapturedStrings) != 0;
    std::vector<Ref<NSString>> strings(slots);
    std::vector<Ref<RXLCapturedStringView>> views;
    if (reuseStrings)
        for (size_t i = 0; i < slots; ++i) views.push_back(NSObject::alloc<RXLCapturedStringView>());

    Ref<NSMutableString> result = isMatch ? nullptr : NSMutableString::string();
    const unichar* text = e.setToUniChar;
    auto appendText = [&](NSUInteger from, NSUInteger to) {
        if (to > from) result->appendString(NSString::stringWithCharacters(text + from, to - from));
    };

    RXLFindAll find;
    rxl_beginFind(find, regexOp, 0, range);
    UErrorCode status = U_ZERO_ERROR;
    NSUInteger previousEnd = range.location;
    NSInteger calls = 0;
    bool stop = false;
    while (!stop) {
        find.ranges.clear();
        if (!rxl_findNext(e, find, status) || find.ranges.size() < slots) break;
        const NSRange* ranges = find.ranges.data();
        if (!isMatch) {
            appendText(previousEnd, ranges[0].location);
            previousEnd = NSMaxRange(ranges[0]);
        }
        if (makeStrings) {
            for (size_t i = 0; i < slots; ++i) {
                const NSRange r = ranges[i];
                if (r.location == kNotFound || r.length == 0) {
                    strings[i] = NSString::string();
                } else if (reuseStrings) {
                    views[i]->pointAt(text + r.location, r.length);
                    strings[i] = views[i];
                } else {
                    strings[i] = NSString::stringWithCharacters(text + r.location, r.length);
                }
            }
        }
        const Ref<NSString>* passed = makeStrings ? strings.data() : nullptr;
        ++calls;
        if (isMatch) {
            (*matchBlock)(static_cast<NSInteger>(slots), passed, ranges, &stop);
        } else {
            Ref<NSString> replacement = (*replaceBlock)(static_cast<NSInteger>(slots), passed, ranges, &stop);
            if (replacement) result->appendString(replacement);
        }
    }
    if (U_FAILURE(status)) {
        RXLErrorInfo info;
        info.regex = regex;
        info.options = options;
        info.status = status;
        info.subject = subject;
        info.range = range;
        info.enumerationOptions = enumerationOptions;
        throw rxl_icuException(caller, info);
    }
    if (replacedCount) *replacedCount = calls;
    if (errorFree) *errorFree = true;
    if (isMatch) return nullptr;
    if (calls == 0) return NSString::stringWithCharacters(text + range.location, range.length);
    appendText(previousEnd, NSMaxRange(range));
    return static_ref_cast<NSString>(result->copy());
}
