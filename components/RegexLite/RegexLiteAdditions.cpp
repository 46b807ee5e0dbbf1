// The public methods: each is a thin form of one operation with its
// defaults filled in and its own selector for messages.
#include "RegexLite/RXLBlockEnumerationHelper.h"
#include "RegexLite/RXLPrivate.h"

namespace {

constexpr size_t kMaxKeyPairs = 62;

RXLCaller instanceCaller(const Ref<NSString>& receiver, const char* selector)
{
    return RXLCaller{receiver.get(), selector, nullptr};
}

RXLOpArgs opArgs(const Ref<NSString>& s, const char* selector, int op, const Ref<NSString>& regex,
                 RXLRegexOptions options, NSRange* range, Ref<NSError>* error)
{
    return RXLOpArgs(instanceCaller(s, selector), op, regex.get(), options, s.get(), range, error);
}

NSRange rangeOp(const Ref<NSString>& s, const char* selector, const Ref<NSString>& regex, RXLRegexOptions options,
                NSRange range, NSInteger capture, Ref<NSError>* error)
{
    NSRange found;
    if (!error && capture == 0 && rxl_cachedRange(regex.get(), options, s.get(), range, found)) return found;
    RXLOpArgs a = opArgs(s, selector, RXLRangeOp, regex, options, &range, error);
    a.capture = capture;
    NSRange result = RXLNotFoundRange;
    a.rangeResult = &result;
    rxl_performRegexOp(a);
    return result;
}

Ref<NSString> matchOp(const Ref<NSString>& s, const char* selector, const Ref<NSString>& regex, RXLRegexOptions options,
                      NSRange range, NSInteger capture, Ref<NSError>* error)
{
    NSRange found = rangeOp(s, selector, regex, options, range, capture, error);
    if (found.location == static_cast<NSUInteger>(NSNotFound)) return nullptr;
    return s->substringWithRange(found);
}

Ref<NSArray> arrayOp(const Ref<NSString>& s, const char* selector, int op, const Ref<NSString>& regex,
                     RXLRegexOptions options, NSRange range, NSInteger capture, Ref<NSError>* error)
{
    RXLOpArgs a = opArgs(s, selector, op, regex, options, &range, error);
    a.capture = capture;
    return static_ref_cast<NSArray>(rxl_performRegexOp(a));
}

Ref<NSString> replaceOp(const Ref<NSString>& s, const char* selector, const Ref<NSString>& regex,
                        const Ref<NSString>& replacement, RXLRegexOptions options, NSRange range, Ref<NSError>* error)
{
    RXLOpArgs a = opArgs(s, selector, RXLReplaceOp, regex, options, &range, error);
    a.replacement = replacement.get();
    NSInteger count = 0;
    a.replacedCount = &count;
    return static_ref_cast<NSString>(rxl_performRegexOp(a));
}

Id keyedOp(const Ref<NSString>& s, const char* selector, int op, const Ref<NSString>& regex, RXLRegexOptions options,
           NSRange range, Ref<NSError>* error, const Id* keys, const int32_t* captures, NSUInteger count)
{
    RXLOpArgs a = opArgs(s, selector, op, regex, options, &range, error);
    a.keys = keys;
    a.captures = captures;
    a.keyCount = count;
    return rxl_performRegexOp(a);
}

// The pair lists end at the first null key; at most 62 pairs are read.
struct KeyList {
    std::vector<Id> keys;
    std::vector<int32_t> captures;
};

KeyList fromPairs(std::span<const RXLKeyCapture> pairs)
{
    KeyList list;
    for (const auto& pair : pairs) {
        if (!pair.key || list.keys.size() == kMaxKeyPairs) break;
        list.keys.push_back(pair.key);
        list.captures.push_back(pair.capture);
    }
    return list;
}

KeyList fromArguments(const Id& firstKey, std::span<const RXLCaptureThenKey> arguments)
{
    KeyList list;
    Id key = firstKey;
    for (const auto& argument : arguments) {
        if (!key || list.keys.size() == kMaxKeyPairs) break;
        list.keys.push_back(key);
        list.captures.push_back(argument.capture);
        key = argument.nextKey;
    }
    return list;
}

Id keyedOp(const Ref<NSString>& s, const char* selector, int op, const Ref<NSString>& regex, RXLRegexOptions options,
           NSRange range, Ref<NSError>* error, const KeyList& list)
{
    return keyedOp(s, selector, op, regex, options, range, error, list.keys.data(), list.captures.data(),
                   list.keys.size());
}

NSInteger captureCountOp(const RXLCaller& caller, const Ref<NSString>& regex, RXLRegexOptions options,
                         Ref<NSError>* error)
{
    if (error && *error) *error = nullptr;
    if (!regex) rxl_raise(caller, NSInvalidArgumentException, "The regular expression argument is NULL.");
    RXLDeferred deferred;
    NSInteger count = -1;
    RXLLockScope lock;
    lock.lock();
    if (RXLCachedRegex* e = rxl_getCachedRegex(caller, regex.get(), options, error, deferred)) count = e->captureCount;
    lock.unlock();
    rxl_raiseDeferred(deferred);
    return count;
}

bool enumerate(const Ref<NSString>& s, const char* selector, int op, const Ref<NSString>& regex,
               RXLRegexOptions options, NSRange range, Ref<NSError>* error,
               RXLRegexEnumerationOptions enumerationOptions, const RXLMatchBlock& block)
{
    bool errorFree = false;
    rxl_performEnumerationUsingBlock(instanceCaller(s, selector), op, regex, options, s, range,
                                     RXLBlockEnumerationMatchOp, enumerationOptions, nullptr, &errorFree, error, &block,
                                     nullptr);
    return errorFree;
}

Ref<NSString> replaceByBlock(const Ref<NSString>& s, const char* selector, const Ref<NSString>& regex,
                             RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                             RXLRegexEnumerationOptions enumerationOptions, const RXLReplaceBlock& block,
                             NSInteger* count, bool* errorFree)
{
    return rxl_performEnumerationUsingBlock(instanceCaller(s, selector), RXLCapturesArrayOp, regex, options, s, range,
                                            RXLBlockEnumerationReplaceOp, enumerationOptions, count, errorFree, error,
                                            nullptr, &block);
}

}  // namespace

namespace NSStringExt {

NSInteger captureCountForRegex(const Ref<NSString>& regex)
{
    return captureCountOp({nullptr, "captureCountForRegex:", "NSString"}, regex, 0, nullptr);
}
NSInteger captureCountForRegex(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error)
{
    return captureCountOp({nullptr, "captureCountForRegex:options:error:", "NSString"}, regex, options, error);
}
NSInteger captureCount(const Ref<NSString>& regex)
{
    return captureCountOp(instanceCaller(regex, "captureCount"), regex, 0, nullptr);
}
NSInteger captureCountWithOptions(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error)
{
    return captureCountOp(instanceCaller(regex, "captureCountWithOptions:error:"), regex, options, error);
}
bool isRegexValid(const Ref<NSString>& regex)
{
    return captureCountOp(instanceCaller(regex, "isRegexValid"), regex, 0, nullptr) >= 0;
}
bool isRegexValidWithOptions(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error)
{
    return captureCountOp(instanceCaller(regex, "isRegexValidWithOptions:error:"), regex, options, error) >= 0;
}

Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return arrayOp(s, "componentsSeparatedByRegex:", RXLSplitOp, regex, 0, RXLWholeRange, 0, nullptr);
}
Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return arrayOp(s, "componentsSeparatedByRegex:range:", RXLSplitOp, regex, 0, range, 0, nullptr);
}
Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                        NSRange range, Ref<NSError>* error)
{
    return arrayOp(s, "componentsSeparatedByRegex:options:range:error:", RXLSplitOp, regex, options, range, 0, error);
}

bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return rangeOp(s, "isMatchedByRegex:", regex, 0, RXLWholeRange, 0, nullptr).location !=
           static_cast<NSUInteger>(NSNotFound);
}
bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return rangeOp(s, "isMatchedByRegex:inRange:", regex, 0, range, 0, nullptr).location !=
           static_cast<NSUInteger>(NSNotFound);
}
bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options, NSRange range,
                      Ref<NSError>* error)
{
    return rangeOp(s, "isMatchedByRegex:options:inRange:error:", regex, options, range, 0, error).location !=
           static_cast<NSUInteger>(NSNotFound);
}

NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return rangeOp(s, "rangeOfRegex:", regex, 0, RXLWholeRange, 0, nullptr);
}
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture)
{
    return rangeOp(s, "rangeOfRegex:capture:", regex, 0, RXLWholeRange, capture, nullptr);
}
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return rangeOp(s, "rangeOfRegex:inRange:", regex, 0, range, 0, nullptr);
}
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options, NSRange range,
                     NSInteger capture, Ref<NSError>* error)
{
    return rangeOp(s, "rangeOfRegex:options:inRange:capture:error:", regex, options, range, capture, error);
}

Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return matchOp(s, "stringByMatching:", regex, 0, RXLWholeRange, 0, nullptr);
}
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture)
{
    return matchOp(s, "stringByMatching:capture:", regex, 0, RXLWholeRange, capture, nullptr);
}
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return matchOp(s, "stringByMatching:inRange:", regex, 0, range, 0, nullptr);
}
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                               NSRange range, NSInteger capture, Ref<NSError>* error)
{
    return matchOp(s, "stringByMatching:options:inRange:capture:error:", regex, options, range, capture, error);
}

Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement)
{
    return replaceOp(s, "stringByReplacingOccurrencesOfRegex:withString:", regex, replacement, 0, RXLWholeRange,
                     nullptr);
}
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement, NSRange range)
{
    return replaceOp(s, "stringByReplacingOccurrencesOfRegex:withString:range:", regex, replacement, 0, range, nullptr);
}
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement, RXLRegexOptions options,
                                                  NSRange range, Ref<NSError>* error)
{
    return replaceOp(s, "stringByReplacingOccurrencesOfRegex:withString:options:range:error:", regex, replacement,
                     options, range, error);
}

Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return arrayOp(s, "componentsMatchedByRegex:", RXLArrayOfStringsOp, regex, 0, RXLWholeRange, 0, nullptr);
}
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture)
{
    return arrayOp(s, "componentsMatchedByRegex:capture:", RXLArrayOfStringsOp, regex, 0, RXLWholeRange, capture,
                   nullptr);
}
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return arrayOp(s, "componentsMatchedByRegex:range:", RXLArrayOfStringsOp, regex, 0, range, 0, nullptr);
}
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                      NSRange range, NSInteger capture, Ref<NSError>* error)
{
    return arrayOp(s, "componentsMatchedByRegex:options:range:capture:error:", RXLArrayOfStringsOp, regex, options,
                   range, capture, error);
}

Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return arrayOp(s, "captureComponentsMatchedByRegex:", RXLCapturesArrayOp, regex, 0, RXLWholeRange, 0, nullptr);
}
Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return arrayOp(s, "captureComponentsMatchedByRegex:range:", RXLCapturesArrayOp, regex, 0, range, 0, nullptr);
}
Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                             RXLRegexOptions options, NSRange range, Ref<NSError>* error)
{
    return arrayOp(s, "captureComponentsMatchedByRegex:options:range:error:", RXLCapturesArrayOp, regex, options, range,
                   0, error);
}

Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex)
{
    return arrayOp(s, "arrayOfCaptureComponentsMatchedByRegex:", RXLArrayOfCapturesOp | RXLSubcapturesArray, regex, 0,
                   RXLWholeRange, 0, nullptr);
}
Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range)
{
    return arrayOp(s, "arrayOfCaptureComponentsMatchedByRegex:range:", RXLArrayOfCapturesOp | RXLSubcapturesArray,
                   regex, 0, range, 0, nullptr);
}
Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                    RXLRegexOptions options, NSRange range, Ref<NSError>* error)
{
    return arrayOp(s, "arrayOfCaptureComponentsMatchedByRegex:options:range:error:",
                   RXLArrayOfCapturesOp | RXLSubcapturesArray, regex, options, range, 0, error);
}

Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                            std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSDictionary>(keyedOp(s, "dictionaryByMatchingRegex:withKeysAndCaptures:", RXLDictionaryOp,
                                                 regex, 0, RXLWholeRange, nullptr, fromPairs(keysAndCaptures)));
}
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range,
                                            std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSDictionary>(
        keyedOp(s, "dictionaryByMatchingRegex:range:withKeysAndCaptures:", RXLDictionaryOp, regex, 0, range, nullptr,
                fromPairs(keysAndCaptures)));
}
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error,
                                            std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSDictionary>(
        keyedOp(s, "dictionaryByMatchingRegex:options:range:error:withKeysAndCaptures:", RXLDictionaryOp, regex,
                options, range, error, fromPairs(keysAndCaptures)));
}
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error, const Id& firstKey,
                                            std::span<const RXLCaptureThenKey> arguments)
{
    return static_ref_cast<NSDictionary>(
        keyedOp(s, "dictionaryByMatchingRegex:options:range:error:withFirstKey:arguments:", RXLDictionaryOp, regex,
                options, range, error, fromArguments(firstKey, arguments)));
}
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error, const Id* keys, const int32_t* captures,
                                            NSUInteger count)
{
    return static_ref_cast<NSDictionary>(
        keyedOp(s, "dictionaryByMatchingRegex:options:range:error:withKeys:forCaptures:count:", RXLDictionaryOp, regex,
                options, range, error, keys, captures, count));
}

Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSArray>(
        keyedOp(s, "arrayOfDictionariesByMatchingRegex:withKeysAndCaptures:", RXLArrayOfDictionariesOp, regex, 0,
                RXLWholeRange, nullptr, fromPairs(keysAndCaptures)));
}
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range,
                                                std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSArray>(
        keyedOp(s, "arrayOfDictionariesByMatchingRegex:range:withKeysAndCaptures:", RXLArrayOfDictionariesOp, regex, 0,
                range, nullptr, fromPairs(keysAndCaptures)));
}
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                std::span<const RXLKeyCapture> keysAndCaptures)
{
    return static_ref_cast<NSArray>(keyedOp(
        s, "arrayOfDictionariesByMatchingRegex:options:range:error:withKeysAndCaptures:", RXLArrayOfDictionariesOp,
        regex, options, range, error, fromPairs(keysAndCaptures)));
}
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                const Id& firstKey, std::span<const RXLCaptureThenKey> arguments)
{
    return static_ref_cast<NSArray>(keyedOp(
        s, "arrayOfDictionariesByMatchingRegex:options:range:error:withFirstKey:arguments:", RXLArrayOfDictionariesOp,
        regex, options, range, error, fromArguments(firstKey, arguments)));
}
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                const Id* keys, const int32_t* captures, NSUInteger count)
{
    return static_ref_cast<NSArray>(
        keyedOp(s, "arrayOfDictionariesByMatchingRegex:options:range:error:withKeys:forCaptures:count:",
                RXLArrayOfDictionariesOp, regex, options, range, error, keys, captures, count));
}

bool enumerateStringsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, const RXLMatchBlock& block)
{
    return enumerate(s, "enumerateStringsMatchedByRegex:usingBlock:", RXLCapturesArrayOp, regex, 0, RXLWholeRange,
                     nullptr, 0, block);
}
bool enumerateStringsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                    NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                    const RXLMatchBlock& block)
{
    return enumerate(s, "enumerateStringsMatchedByRegex:options:inRange:error:enumerationOptions:usingBlock:",
                     RXLCapturesArrayOp, regex, options, range, error, enumerationOptions, block);
}
bool enumerateStringsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, const RXLMatchBlock& block)
{
    return enumerate(s, "enumerateStringsSeparatedByRegex:usingBlock:", RXLSplitOp, regex, 0, RXLWholeRange, nullptr, 0,
                     block);
}
bool enumerateStringsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                      NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                      const RXLMatchBlock& block)
{
    return enumerate(s, "enumerateStringsSeparatedByRegex:options:inRange:error:enumerationOptions:usingBlock:",
                     RXLSplitOp, regex, options, range, error, enumerationOptions, block);
}
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const RXLReplaceBlock& block)
{
    return replaceByBlock(s, "stringByReplacingOccurrencesOfRegex:usingBlock:", regex, 0, RXLWholeRange, nullptr, 0,
                          block, nullptr, nullptr);
}
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                  RXLRegexEnumerationOptions enumerationOptions,
                                                  const RXLReplaceBlock& block)
{
    return replaceByBlock(s, "stringByReplacingOccurrencesOfRegex:options:inRange:error:enumerationOptions:usingBlock:",
                          regex, options, range, error, enumerationOptions, block, nullptr, nullptr);
}

}  // namespace NSStringExt

namespace {

NSInteger replaceInPlace(const Ref<NSMutableString>& s, const char* selector, const Ref<NSString>& regex,
                         const Ref<NSString>& replacement, RXLRegexOptions options, NSRange range, Ref<NSError>* error)
{
    RXLOpArgs a = opArgs(s, selector, RXLReplaceOp | RXLReplaceMutable, regex, options, &range, error);
    a.replacement = replacement.get();
    NSInteger count = -1;
    a.replacedCount = &count;
    rxl_performRegexOp(a);
    return count;
}

NSInteger replaceInPlaceByBlock(const Ref<NSMutableString>& s, const char* selector, const Ref<NSString>& regex,
                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                RXLRegexEnumerationOptions enumerationOptions, const RXLReplaceBlock& block,
                                bool wholeText)
{
    NSInteger count = -1;
    bool errorFree = false;
    Ref<NSString> replaced =
        replaceByBlock(s, selector, regex, options, range, error, enumerationOptions, block, &count, &errorFree);
    if (!errorFree || count <= 0 || !replaced) return count;
    if (wholeText) {
        s->setString(replaced);
    } else {
        if (range.length == NSUIntegerMax) range.length = s->length() - range.location;
        s->replaceCharactersInRange(range, replaced);
    }
    return count;
}

}  // namespace

namespace NSMutableStringExt {

NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement)
{
    return replaceInPlace(s, "replaceOccurrencesOfRegex:withString:", regex, replacement, 0, RXLWholeRange, nullptr);
}
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement, NSRange range)
{
    return replaceInPlace(s, "replaceOccurrencesOfRegex:withString:range:", regex, replacement, 0, range, nullptr);
}
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement, RXLRegexOptions options, NSRange range,
                                    Ref<NSError>* error)
{
    return replaceInPlace(s, "replaceOccurrencesOfRegex:withString:options:range:error:", regex, replacement, options,
                          range, error);
}
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const RXLReplaceBlock& block)
{
    return replaceInPlaceByBlock(s, "replaceOccurrencesOfRegex:usingBlock:", regex, 0, RXLWholeRange, nullptr, 0, block,
                                 true);
}
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                    NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                    const RXLReplaceBlock& block)
{
    return replaceInPlaceByBlock(s, "replaceOccurrencesOfRegex:options:inRange:error:enumerationOptions:usingBlock:",
                                 regex, options, range, error, enumerationOptions, block, false);
}

}  // namespace NSMutableStringExt
