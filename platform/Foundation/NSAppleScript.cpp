#include "Foundation/NSAppleScript.h"

#include <cctype>
#include <memory>

#include "Foundation/ChildProcess.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValue.h"
#include "Foundation/PercentEscapes.h"

NS_CLASS_DEFINE(NSAppleScript)

namespace {

// The platform's numbers for a syntax error and a failed application.
constexpr NSInteger kSyntaxError = -2741;
constexpr NSInteger kApplicationError = -10000;

struct Token {
    enum Kind { Word, String, Open, Close, Colon, Comma, Newline, End } kind;
    std::string text;           // the word, or the string's value
    size_t start = 0, end = 0;  // bytes in the source
};

struct SyntaxError {
    std::string message;
    size_t start, end;
};

std::vector<Token> tokenize(const std::string& s)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        const size_t start = i;
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '\n' || c == '\r') {
            tokens.push_back({Token::Newline, "", start, ++i});
        } else if (c == '{' || c == '}' || c == ':' || c == ',') {
            auto kind = c == '{' ? Token::Open : c == '}' ? Token::Close : c == ':' ? Token::Colon : Token::Comma;
            tokens.push_back({kind, std::string(1, c), start, ++i});
        } else if (c == '"') {
            std::string value;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (s[i] == '\\' && i + 1 < s.size()) {
                    const char e = s[++i];
                    // \n, \r and \t stand for their characters; any other
                    // escaped character stands for itself.
                    value += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                    ++i;
                    continue;
                }
                value += s[i++];
            }
            if (!closed) throw SyntaxError{"Expected \"\"\" but found end of script.", start, s.size()};
            tokens.push_back({Token::String, value, start, i});
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
            tokens.push_back({Token::Word, s.substr(start, i - start), start, i});
        } else {
            size_t n = 1;
            while (start + n < s.size() && (static_cast<unsigned char>(s[start + n]) & 0xC0) == 0x80) ++n;
            throw SyntaxError{"Expected expression but found unknown token.", start, start + n};
        }
    }
    tokens.push_back({Token::End, "", s.size(), s.size()});
    return tokens;
}

// A property value: a string, a record, a POSIX file or a constant (words).
struct Value;
using Record = std::vector<std::pair<std::string, Value>>;
struct Value {
    enum Kind { String, RecordValue, File, Constant } kind = Constant;
    std::string text;
    std::shared_ptr<Record> record;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, NSAppleScript::MailMessage& message)
        : m_tokens(std::move(tokens))
        , m_message(message)
    { }

    void script()
    {
        while (peek().kind != Token::End) {
            if (peek().kind == Token::Newline) {
                ++m_at;
                continue;
            }
            statement();
            if (peek().kind != Token::Newline && peek().kind != Token::End)
                fail("Expected end of line but found " + describe(peek()) + ".");
        }
        if (m_depth > 0) fail("Expected \"end\" but found end of script.");
    }

private:
    const Token& peek(size_t ahead = 0) const { return m_tokens[std::min(m_at + ahead, m_tokens.size() - 1)]; }
    bool isWord(const char* w, size_t ahead = 0) const
    {
        return peek(ahead).kind == Token::Word && peek(ahead).text == w;
    }
    static std::string describe(const Token& t)
    {
        switch (t.kind) {
        case Token::Word: return "identifier";
        case Token::String: return "string";
        case Token::Newline: return "end of line";
        case Token::End: return "end of script";
        default: return "\"" + t.text + "\"";
        }
    }
    [[noreturn]] void fail(const std::string& message) const { throw SyntaxError{message, peek().start, peek().end}; }
    void expectWord(const char* w)
    {
        if (!isWord(w)) fail(std::string("Expected \"") + w + "\" but found " + describe(peek()) + ".");
        ++m_at;
    }
    const Token& expect(Token::Kind kind, const char* what)
    {
        if (peek().kind != kind) fail(std::string("Expected ") + what + " but found " + describe(peek()) + ".");
        return m_tokens[m_at++];
    }
    // Words up to (not including) one of the stop words.
    std::string words(std::initializer_list<const char*> stops)
    {
        std::string out;
        while (peek().kind == Token::Word) {
            for (const char* stop : stops)
                if (peek().text == stop) return out;
            out += (out.empty() ? "" : " ") + m_tokens[m_at++].text;
        }
        if (out.empty()) fail("Expected class name but found " + describe(peek()) + ".");
        return out;
    }

    void statement()
    {
        if (isWord("tell")) {
            ++m_at;
            if (isWord("application")) {
                ++m_at;
                m_message.application = expect(Token::String, "string").text;
            } else {
                words({});
            }
            ++m_depth;
        } else if (isWord("end")) {
            if (m_depth == 0) fail("Expected end of line, etc. but found \"end\".");
            ++m_at;
            expectWord("tell");
            --m_depth;
        } else if (isWord("activate")) {
            ++m_at;
        } else if (isWord("set")) {
            ++m_at;
            const std::string property = expect(Token::Word, "identifier").text;
            expectWord("to");
            if (isWord("make")) {
                makeNew();
            } else if (peek().kind == Token::Open) {
                take(record(), property);
            } else {
                const std::string text = expect(Token::String, "string").text;
                if (property == "content" || property == "contents") m_message.body = text;
            }
        } else if (isWord("make")) {
            makeNew();
        } else {
            fail("Expected command but found " + describe(peek()) + ".");
        }
    }

    void makeNew()
    {
        expectWord("make");
        expectWord("new");
        words({"at", "with"});
        if (isWord("at")) {
            ++m_at;
            words({"with"});
        }
        expectWord("with");
        expectWord("properties");
        take(record(), "");
    }

    Record record()
    {
        expect(Token::Open, "\"{\"");
        Record r;
        while (peek().kind != Token::Close) {
            if (!r.empty()) expect(Token::Comma, "\",\"");
            std::string key = words({});
            expect(Token::Colon, "\":\"");
            r.emplace_back(key, value());
        }
        ++m_at;
        return r;
    }

    Value value()
    {
        if (peek().kind == Token::String) return {Value::String, m_tokens[m_at++].text, nullptr};
        if (peek().kind == Token::Open) return {Value::RecordValue, "", std::make_shared<Record>(record())};
        if (isWord("POSIX") && isWord("file", 1)) {
            m_at += 2;
            return {Value::File, expect(Token::String, "string").text, nullptr};
        }
        std::string constant;
        while (peek().kind == Token::Word) constant += (constant.empty() ? "" : " ") + m_tokens[m_at++].text;
        if (constant.empty()) fail("Expected expression but found " + describe(peek()) + ".");
        return {Value::Constant, constant, nullptr};
    }

    // What a record says about the message.
    void take(const Record& r, const std::string& property)
    {
        for (const auto& [key, v] : r) {
            if (key == "subject" && v.kind == Value::String) m_message.subject = v.text;
            else if (key == "address" && v.kind == Value::String) m_message.recipients.push_back(v.text);
            else if ((key == "file" || key == "file name") && (v.kind == Value::File || v.kind == Value::String))
                m_message.attachments.push_back(v.text);
            else if (v.kind == Value::RecordValue) take(*v.record, property);
        }
    }

    std::vector<Token> m_tokens;
    size_t m_at = 0;
    int m_depth = 0;
    NSAppleScript::MailMessage& m_message;
};

// UTF-16 units in the first `bytes` bytes of the UTF-8 text.
NSUInteger utf16Length(const std::string& s, size_t bytes)
{
    NSUInteger units = 0;
    for (size_t i = 0; i < bytes && i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

Ref<NSDictionary> errorInfo(const std::string& message, NSInteger number, NSRange range)
{
    return NSDictionary::dictionaryWithEntries({
        {NSString::stringWithUTF8String(NSAppleScriptErrorMessage), NSString::stringWithUTF8String(message)},
        {NSString::stringWithUTF8String(NSAppleScriptErrorNumber), NSNumber::numberWithInteger(number)},
        {NSString::stringWithUTF8String(NSAppleScriptErrorRange), NSValue::valueWithRange(range)},
    });
}

bool keepInAddress(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '@';
}

}

Ref<NSAppleScript> NSAppleScript::initWithSource(const Ref<NSString>& source)
{
    m_source = source;
    return this;
}

bool NSAppleScript::compileAndReturnError(Ref<NSDictionary>* error)
{
    if (m_compiled) return true;
    const std::string text = m_source ? m_source->UTF8String() : "";
    MailMessage message;
    try {
        Parser(tokenize(text), message).script();
    } catch (const SyntaxError& e) {
        if (error) {
            const NSUInteger start = utf16Length(text, e.start);
            *error = errorInfo(e.message, kSyntaxError, NSMakeRange(start, utf16Length(text, e.end) - start));
        }
        return false;
    }
    m_message = std::move(message);
    m_compiled = true;
    return true;
}

std::vector<std::string> NSAppleScript::composerArguments() const
{
    std::vector<std::string> argv{"xdg-email", "--utf8", "--subject", m_message.subject};
    if (m_message.body) {
        argv.push_back("--body");
        argv.push_back(*m_message.body);
    }
    for (const auto& file : m_message.attachments) {
        argv.push_back("--attach");
        argv.push_back(file);
    }
    // Recipients travel as mailto: URIs, so none can be taken for an option.
    for (const auto& address : m_message.recipients)
        argv.push_back("mailto:" + PercentEscapes::encode(address, keepInAddress));
    return argv;
}

Id NSAppleScript::executeAndReturnError(Ref<NSDictionary>* error)
{
    if (!compileAndReturnError(error)) return nullptr;
    const auto result = ChildProcess::run(composerArguments());
    if (result.started && result.exitStatus == 0) return NSString::string();
    if (error) {
        const std::string message = !result.started ? "The mail composer xdg-email could not be started."
                                                    : "The mail composer xdg-email failed with status " +
                                                          std::to_string(result.exitStatus) + ".";
        *error = errorInfo(message, kApplicationError, NSMakeRange(0, 0));
    }
    return nullptr;
}
