// Handing an e-mail to the desktop: the handler xdg-mime names chooses the
// script, and the script's message reaches xdg-email as arguments. Shims
// first on PATH stand in for both and record how they were called.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "AppKitExtensions/NSWorkspace+ZAKNSWorkspaceExtension.h"
#include "Foundation/NSAppleScript.h"
#include "Foundation/NSValue.h"
#include "LogCapture.h"
#include "TemporaryFolder.h"

namespace {

class MailHandOff : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder / "shims");
        // xdg-mime names the handler written in a file; xdg-email writes its
        // arguments NUL-separated and exits with the status in a file.
        shim("xdg-mime", "/bin/cat '" + (folder / "handler") + "' 2>/dev/null\n");
        shim("xdg-email", "printf '%s\\0' \"$@\" > '" + (folder / "email-args") + "'\nexit $(/bin/cat '" +
                              (folder / "email-status") + "' 2>/dev/null || echo 0)\n");
    }
    void shim(const std::string& name, const std::string& body)
    {
        const std::string path = folder / ("shims/" + name);
        std::ofstream(path) << "#!/bin/sh\n" << body;
        chmod(path.c_str(), 0755);
    }
    void setHandler(const std::string& desktopEntry) { writeFile(folder / "handler", desktopEntry + "\n"); }
    std::optional<std::vector<std::string>> composerArguments() const
    {
        auto bytes = readFile(folder / "email-args");
        if (!bytes) return std::nullopt;
        std::vector<std::string> args;
        size_t start = 0;
        for (size_t end; (end = bytes->find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes->substr(start, end - start));
        return args;
    }
    static std::string script(const Ref<NSString>& to, const Ref<NSString>& subject, const Ref<NSString>& body,
                              const Ref<NSArray>& files)
    {
        return NSWorkspaceExt::mailToScript(to, subject, body, files)->UTF8String();
    }

    TemporaryFolder folder;
    ScopedEnvironment path{"PATH", folder / "shims" + ":" + (::getenv("PATH") ? ::getenv("PATH") : "/usr/bin:/bin")};
    ScopedEnvironment dataHome{"XDG_DATA_HOME", folder / "data"};
    Ref<NSWorkspace> workspace = NSWorkspace::sharedWorkspace();
};

}

TEST_F(MailHandOff, TheHandlerChoosesTheScript)
{
    auto files = NSArray::arrayWithObjects({"/tmp/a.txt"_ns, "/tmp/b c.pdf"_ns});
    // No handler: the system mail program, with only the subject line, the
    // attachment lines and the closing lines when there is no recipient or body.
    EXPECT_EQ(script(nullptr, nullptr, nullptr, files),
              "tell application \"Mail\"\nactivate\n"
              "set m to make new outgoing message with properties {subject: \"\", visible:true}\ntell m\n"
              "tell its content\n"
              "make new attachment at after last character with properties {file name:\"/tmp/a.txt\"}\n"
              "make new attachment at after last character with properties {file name:\"/tmp/b c.pdf\"}\n"
              "end tell\nend tell\nend tell\n");

    setHandler("entourage.desktop");
    EXPECT_EQ(script("ann@example.org"_ns, "Hi"_ns, "Text"_ns, nullptr),
              "tell application \"Microsoft Entourage\"\nactivate\n"
              "set m to make new draft window with properties {subject: \"Hi\"}\ntell m\n"
              "set recipient to {address:{address: \"ann@example.org\", display name: \"ann@example.org\"}, "
              "recipient type:to recipient}\n"
              "set content to \"Text\"\n"
              "end tell\nend tell\n");

    setHandler("org.example.MailsmithPro.desktop");
    EXPECT_EQ(script("ann@example.org"_ns, "Hi"_ns, "Text"_ns, NSArray::arrayWithObjects({"/tmp/a.txt"_ns})),
              "tell application \"Mailsmith\"\nactivate\n"
              "set m to make new message window with properties {subject: \"Hi\"}\ntell m\n"
              "make new to_recipient at end with properties {address: \"ann@example.org\"}\n"
              "set contents to \"Text\"\n"
              "make new enclosure with properties {file:POSIX file \"/tmp/a.txt\"}\n"
              "end tell\nend tell\n");

    setHandler("thunderbird.desktop");
    EXPECT_NE(script(nullptr, nullptr, nullptr, nullptr).find("tell application \"Mail\""), std::string::npos);
}

TEST_F(MailHandOff, EveryScriptCompilesWithAllValuesAndHandsThemOverExactly)
{
    const std::string body = "Line one\nLine \"two\" with \\ and \\\" and \xC3\xA9t\xC3\xA9 \xF0\x9F\x93\x8F";
    const std::string subject = "Re: \"quoted\" \\ back";
    for (const char* handler : {"", "entourage.desktop", "mailsmith.desktop"}) {
        SCOPED_TRACE(handler);
        setHandler(handler);
        std::filesystem::remove(folder / "email-args");
        auto files = NSArray::arrayWithObjects({"/tmp/one file.txt"_ns, "/tmp/tw\"o\\.pdf"_ns});
        ASSERT_TRUE(NSWorkspaceExt::emailTo(workspace, "-x+y@example.org"_ns, NSString::stringWithUTF8String(subject),
                                            NSString::stringWithUTF8String(body), files));
        EXPECT_EQ(composerArguments(), (std::vector<std::string>{"--utf8", "--subject", subject, "--body", body,
                                                                 "--attach", "/tmp/one file.txt", "--attach",
                                                                 "/tmp/tw\"o\\.pdf", "mailto:-x%2By@example.org"}));
    }
}

TEST_F(MailHandOff, ASubjectMadeToBreakOutOfItsLiteralArrivesAsText)
{
    const std::string subject = "x\"}\ndo shell script \"touch /tmp/owned\"\ntell m\nset content to \"";
    ASSERT_TRUE(NSWorkspaceExt::emailTo(workspace, nullptr, NSString::stringWithUTF8String(subject), nullptr, nullptr));
    EXPECT_EQ(composerArguments(), (std::vector<std::string>{"--utf8", "--subject", subject}));
}

TEST_F(MailHandOff, AComposerThatIsMissingOrFailsIsAnExecutionError)
{
    struct Case {
        const char* name;
        bool removeComposer;
    } cases[] = {{"missing", true}, {"exit status 3", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.removeComposer) std::filesystem::remove(folder / "shims/xdg-email");
        else writeFile(folder / "email-status", "3");
        ScopedEnvironment onlyShims("PATH", folder / "shims");
        LogCapture log;
        EXPECT_FALSE(NSWorkspaceExt::emailTo(workspace, "ann@example.org"_ns, "Hi"_ns, nullptr, nullptr));
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.lines()[0].rfind("Error running mail to script: ", 0), 0u) << log.lines()[0];
    }
}

TEST(AppleScript, OnlyTheMailStatementsCompileAndErrorsNameTheirPlace)
{
    struct Case {
        const char* source;
        bool compiles;
        NSRange range;  // of the error
    } cases[] = {
        {"tell application \"Mail\"\nactivate\nend tell\n", true, {}},
        {"do shell script \"rm -rf ~\"\n", false, {0, 2}},
        {"tell application \"Mail\"\nactivate\n", false, {33, 0}},
        {"tell application \"Mail\"\nset content to \"unterminated\nend tell\n", false, {39, 23}},
        {"set m to make new draft window with properties {subject: \"\u00e9\"}}\n", false, {61, 1}},
        {"end tell\n", false, {0, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        auto script = NSObject::alloc<NSAppleScript>()->initWithSource(NSString::stringWithUTF8String(c.source));
        Ref<NSDictionary> error;
        EXPECT_EQ(script->compileAndReturnError(&error), c.compiles);
        if (c.compiles) {
            EXPECT_FALSE(error);
            continue;
        }
        ASSERT_TRUE(error);
        EXPECT_TRUE(
            dynamic_ref_cast<NSString>(error->objectForKey(NSString::stringWithUTF8String(NSAppleScriptErrorMessage))));
        auto range =
            dynamic_ref_cast<NSValue>(error->objectForKey(NSString::stringWithUTF8String(NSAppleScriptErrorRange)));
        ASSERT_TRUE(range);
        EXPECT_EQ(range->rangeValue().location, c.range.location);
        EXPECT_EQ(range->rangeValue().length, c.range.length);
    }
}
