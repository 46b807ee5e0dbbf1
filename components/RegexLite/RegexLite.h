#pragma once
// Regular expressions over ICU as methods of the string classes. Patterns and
// subjects are UTF-16; every range, length and offset counts UTF-16 units.
// Compiled patterns are cached process-wide, so repeated use of a pattern
// costs no compilation.
#include <functional>
#include <span>

#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSError.h"
#include "Foundation/NSString.h"

// Flags handed to ICU unchanged (uregex_open's flags).
using RXLRegexOptions = uint32_t;
inline constexpr RXLRegexOptions RXLNoOptions = 0;
inline constexpr RXLRegexOptions RXLCaseless = 2;
inline constexpr RXLRegexOptions RXLComments = 4;
inline constexpr RXLRegexOptions RXLDotAll = 32;
inline constexpr RXLRegexOptions RXLMultiline = 8;
inline constexpr RXLRegexOptions RXLUnicodeWordBoundaries = 256;

using RXLRegexEnumerationOptions = NSUInteger;
inline constexpr RXLRegexEnumerationOptions RXLRegexEnumerationNoOptions = 0;
// No strings are made; blocks get a null strings argument and use the ranges.
inline constexpr RXLRegexEnumerationOptions RXLRegexEnumerationCapturedStringsNotRequired = 0x200;
// Replace only: the block hands over its own reference to the answer. Ownership
// is carried by Ref here, so the flag is accepted and changes nothing.
inline constexpr RXLRegexEnumerationOptions RXLRegexEnumerationReleaseReturnedString = 0x400;
// The strings passed are reused from call to call, one per capture slot.
inline constexpr RXLRegexEnumerationOptions RXLRegexEnumerationReusableCapturedStrings = 0x800;

// Steps of ICU's match engine a match may take by default (see
// setRegexMatchTimeLimit).
inline constexpr int32_t RXLDefaultMatchTimeLimit = 100;

// The "whole receiver" range of the short forms.
inline constexpr NSRange RXLWholeRange = {0, NSUIntegerMax};

// One key and the capture whose text it receives.
struct RXLKeyCapture {
    Id key;
    int32_t capture = 0;
};
// The variable-argument tail of the first-key forms: the capture of the
// current key, then the next key; a null next key ends the list.
struct RXLCaptureThenKey {
    int32_t capture = 0;
    Id nextKey;
};

// Blocks get the number of strings and ranges passed, the strings (null with
// RXLRegexEnumerationCapturedStringsNotRequired), the ranges, and a stop flag.
using RXLMatchBlock = std::function<void(NSInteger captureCount, const Ref<NSString>* capturedStrings,
                                         const NSRange* capturedRanges, bool* stop)>;
using RXLReplaceBlock = std::function<Ref<NSString>(NSInteger captureCount, const Ref<NSString>* capturedStrings,
                                                    const NSRange* capturedRanges, bool* stop)>;

namespace NSStringExt {

// Cache maintenance. clearStringCache empties the cache and every buffer;
// flushCachedRegexData forgets every cached reference to the receiver (send it
// after changing a mutable string in place).
void clearStringCache();
void flushCachedRegexData(const Ref<NSString>& receiver);

// No pattern may hang its caller: a match that runs longer than this many
// steps of ICU's match engine (roughly a millisecond each) stops with the
// error U_REGEX_TIME_OUT, raised or handed back like any other regular-
// expression error. 0 lets matches run as long as they take. The setting
// holds for the whole process and empties the cache.
void setRegexMatchTimeLimit(int32_t steps);
int32_t regexMatchTimeLimit();

// Capture counts: -1 when the pattern does not compile.
NSInteger captureCountForRegex(const Ref<NSString>& regex);
NSInteger captureCountForRegex(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error);
NSInteger captureCount(const Ref<NSString>& regex);
NSInteger captureCountWithOptions(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error);
bool isRegexValid(const Ref<NSString>& regex);
bool isRegexValidWithOptions(const Ref<NSString>& regex, RXLRegexOptions options, Ref<NSError>* error);

// Pieces between matches.
Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
Ref<NSArray> componentsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                        NSRange range, Ref<NSError>* error);

bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
bool isMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options, NSRange range,
                      Ref<NSError>* error);

// {NSNotFound, 0} when nothing matched or the capture took no part.
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture);
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
NSRange rangeOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options, NSRange range,
                     NSInteger capture, Ref<NSError>* error);

Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex);
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture);
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
Ref<NSString> stringByMatching(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                               NSRange range, NSInteger capture, Ref<NSError>* error);

// Templates use ICU's syntax: "$n" inserts group n, a backslash quotes the
// next character. With a range, the answer is that range's replaced text.
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement);
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement, NSRange range);
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const Ref<NSString>& replacement, RXLRegexOptions options,
                                                  NSRange range, Ref<NSError>* error);

Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSInteger capture);
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
Ref<NSArray> componentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                      NSRange range, NSInteger capture, Ref<NSError>* error);

Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
Ref<NSArray> captureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                             RXLRegexOptions options, NSRange range, Ref<NSError>* error);

Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex);
Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range);
Ref<NSArray> arrayOfCaptureComponentsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                    RXLRegexOptions options, NSRange range, Ref<NSError>* error);

// Keyed captures. The pair lists end at the first null key; at most 62 pairs
// are read.
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                            std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range,
                                            std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error,
                                            std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error, const Id& firstKey,
                                            std::span<const RXLCaptureThenKey> arguments);
Ref<NSDictionary> dictionaryByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                            NSRange range, Ref<NSError>* error, const Id* keys, const int32_t* captures,
                                            NSUInteger count);

Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex, NSRange range,
                                                std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                std::span<const RXLKeyCapture> keysAndCaptures);
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                const Id& firstKey, std::span<const RXLCaptureThenKey> arguments);
Ref<NSArray> arrayOfDictionariesByMatchingRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                const Id* keys, const int32_t* captures, NSUInteger count);

// Block enumeration. The blocks run without the cache lock and may use
// regular expressions themselves. Answers YES when no error occurred.
bool enumerateStringsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, const RXLMatchBlock& block);
bool enumerateStringsMatchedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                    NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                    const RXLMatchBlock& block);
bool enumerateStringsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, const RXLMatchBlock& block);
bool enumerateStringsSeparatedByRegex(const Ref<NSString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                      NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                      const RXLMatchBlock& block);
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  const RXLReplaceBlock& block);
Ref<NSString> stringByReplacingOccurrencesOfRegex(const Ref<NSString>& s, const Ref<NSString>& regex,
                                                  RXLRegexOptions options, NSRange range, Ref<NSError>* error,
                                                  RXLRegexEnumerationOptions enumerationOptions,
                                                  const RXLReplaceBlock& block);

}  // namespace NSStringExt

namespace NSMutableStringExt {

// The number of replacements; -1 after an error.
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement);
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement, NSRange range);
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const Ref<NSString>& replacement, RXLRegexOptions options, NSRange range,
                                    Ref<NSError>* error);
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex,
                                    const RXLReplaceBlock& block);
NSInteger replaceOccurrencesOfRegex(const Ref<NSMutableString>& s, const Ref<NSString>& regex, RXLRegexOptions options,
                                    NSRange range, Ref<NSError>* error, RXLRegexEnumerationOptions enumerationOptions,
                                    const RXLReplaceBlock& block);

}  // namespace NSMutableStringExt
