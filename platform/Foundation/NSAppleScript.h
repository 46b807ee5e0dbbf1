#pragma once
// Scripts that hand a prepared message to the user's mail program. There is
// no script interpreter here: a script compiles when it is made only of the
// statements mail scripts use (tell blocks, activate, making a message,
// recipients and attachments with properties, setting its content; string
// literals with \" and \\ escapes), and running it gives the message to
// the desktop's composer, `xdg-email`, as an argument vector. Anything
// else fails to compile with an error dictionary.
#include <optional>
#include <string>
#include <vector>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

inline const char* const NSAppleScriptErrorMessage = "NSAppleScriptErrorMessage";
inline const char* const NSAppleScriptErrorNumber = "NSAppleScriptErrorNumber";
inline const char* const NSAppleScriptErrorRange = "NSAppleScriptErrorRange";

class NSAppleScript : public NSObject {
    NS_OBJECT(NSAppleScript, NSObject)
protected:
    NSAppleScript() = default;

public:
    Ref<NSAppleScript> initWithSource(const Ref<NSString>& source);
    Ref<NSString> source() const { return m_source; }
    bool isCompiled() const { return m_compiled; }

    // NO with the error dictionary (message, number, range in the source)
    // when the text is not a script of the supported statements.
    bool compileAndReturnError(Ref<NSDictionary>* errorInfo);
    // Compiles when needed and hands the message over; answers nil with an
    // error dictionary when the composer cannot be started or fails.
    Id executeAndReturnError(Ref<NSDictionary>* errorInfo);

    // What the compiled script sends.
    struct MailMessage {
        std::string application;
        std::string subject;
        std::vector<std::string> recipients;
        std::optional<std::string> body;
        std::vector<std::string> attachments;
    };
    const MailMessage& message() const { return m_message; }
    // The composer's argument vector for the message.
    std::vector<std::string> composerArguments() const;

private:
    Ref<NSString> m_source;
    bool m_compiled = false;
    MailMessage m_message;
};
