#pragma once
// The private state of one block enumeration: its own clone of the compiled
// expression and its own copy of the subject, so that the blocks run without
// the cache lock.
#include "RegexLite/RXLPrivate.h"

class RXLBlockEnumerationHelper : public NSObject {
    NS_OBJECT(RXLBlockEnumerationHelper, NSObject)
protected:
    RXLBlockEnumerationHelper() = default;

public:
    ~RXLBlockEnumerationHelper() override;

    // Nil when the pattern does not compile (the error is then in `error`);
    // raises on ICU failures.
    Ref<RXLBlockEnumerationHelper> initWithRegex(const RXLCaller& caller, const Ref<NSString>& regex,
                                                 RXLRegexOptions options, const Ref<NSString>& string, NSRange range,
                                                 Ref<NSError>* error);

    RXLCachedRegex cachedRegex;
    RXLBuffer buffer;
    bool needToFreeBufferUniChar = false;
};

enum RXLBlockEnumerationOp : int { RXLBlockEnumerationMatchOp = 1, RXLBlockEnumerationReplaceOp = 2 };

// Runs a block per match (operation 6) or per split piece (operation 1), or a
// replace block per match. Answers the new text for the replace enumeration.
Ref<NSString> rxl_performEnumerationUsingBlock(const RXLCaller& caller, int regexOp, const Ref<NSString>& regex,
                                               RXLRegexOptions options, const Ref<NSString>& subject, NSRange range,
                                               RXLBlockEnumerationOp enumerationOp,
                                               RXLRegexEnumerationOptions enumerationOptions, NSInteger* replacedCount,
                                               bool* errorFree, Ref<NSError>* error, const RXLMatchBlock* matchBlock,
                                               const RXLReplaceBlock* replaceBlock);
