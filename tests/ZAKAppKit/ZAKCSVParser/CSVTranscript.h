#pragma once
// A delegate that writes what a CSV reader reports as one line of text:
// "<" the document starts, "3:" line 3 starts, "[x]" a field, ";" the line
// ends, ">" the document ends, "!2" the run fails with code 2. Line breaks in
// fields show as \r and \n.
#include <functional>
#include <string>

#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKCSVParser/ZAKCSVParser.h"

class CSVTranscript : public NSObject, public ZAKCSVParserDelegate {
    NS_OBJECT(CSVTranscript, NSObject)
protected:
    CSVTranscript() = default;

public:
    std::string text;
    Ref<NSError> error;
    std::function<void(ZAKCSVParser*, const std::string&)> onField;

    void parserDidStartDocument(ZAKCSVParser*, const Ref<NSString>&) override { text += "<"; }
    void parserDidStartLine(ZAKCSVParser*, NSUInteger line) override { text += std::to_string(line) + ":"; }
    void parserDidReadField(ZAKCSVParser* parser, const Ref<NSString>& field) override
    {
        std::string shown;
        for (char c : field->UTF8String()) {
            if (c == '\r') shown += "\\r";
            else if (c == '\n') shown += "\\n";
            else shown += c;
        }
        text += "[" + shown + "]";
        if (onField) onField(parser, field->UTF8String());
    }
    void parserDidEndLine(ZAKCSVParser*, NSUInteger) override { text += ";"; }
    void parserDidEndDocument(ZAKCSVParser*, const Ref<NSString>&) override { text += ">"; }
    void parserDidFailWithError(ZAKCSVParser*, const Ref<NSError>& e) override
    {
        error = e;
        text += "!" + std::to_string(e->code());
    }
};

// The transcript of reading the bytes through a stream, in chunks of the size.
inline std::string transcriptOf(const std::string& bytes, NSStringEncoding encoding = NSUTF8StringEncoding,
                                NSUInteger chunkSize = ZAKCSVParser::kDefaultChunkSize, Ref<NSError>* error = nullptr)
{
    auto stream = NSInputStream::inputStreamWithData(NSData::dataWithBytes(bytes.data(), bytes.size()));
    auto parser = NSObject::alloc<ZAKCSVParser>()->initWithStream(stream, encoding, nullptr);
    auto transcript = NSObject::make<CSVTranscript>();
    parser->setParserDelegate(transcript);
    parser->setChunkSize(chunkSize);
    parser->parse();
    if (error) *error = transcript->error;
    return transcript->text;
}
