#pragma once
// What a CSV reader reports, piece by piece. Every message is sent, so a
// delegate implements all six.
#include "Foundation/NSError.h"
#include "Foundation/NSString.h"

class ZAKCSVParser;

class ZAKCSVParserDelegate {
public:
    virtual ~ZAKCSVParserDelegate() = default;
    // csvFile is the path the reader was made with, or nil.
    virtual void parserDidStartDocument(ZAKCSVParser* parser, const Ref<NSString>& csvFile) = 0;
    // Lines count from 1; comment lines and merged empty lines get no number.
    virtual void parserDidStartLine(ZAKCSVParser* parser, NSUInteger line) = 0;
    virtual void parserDidReadField(ZAKCSVParser* parser, const Ref<NSString>& field) = 0;
    virtual void parserDidEndLine(ZAKCSVParser* parser, NSUInteger line) = 0;
    virtual void parserDidEndDocument(ZAKCSVParser* parser, const Ref<NSString>& csvFile) = 0;
    // Ends a run that failed or was cancelled, instead of the end of the
    // document.
    virtual void parserDidFailWithError(ZAKCSVParser* parser, const Ref<NSError>& error) = 0;
};
