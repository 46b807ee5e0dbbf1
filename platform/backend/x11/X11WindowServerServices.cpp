#include "backend/x11/X11WindowServer.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "Foundation/NSBundle.h"

// The bell and opening URLs.

extern char** environ;

void X11WindowServer::beep()
{
    if (m_lost) return;
    xcb_bell(m_conn, 0);
    xcb_flush(m_conn);
}

bool X11WindowServer::openURL(const std::string& url)
{
    const auto colon = url.find(':');
    if (colon == std::string::npos) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (scheme != "http" && scheme != "https" && scheme != "ftp" && scheme != "mailto") return false;
    // An argument vector, never a shell: the URL cannot run anything.
    const std::string program = scheme == "mailto" ? "xdg-email" : "xdg-open";
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    // Reap the handler whenever it ends.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

const std::string& X11WindowServer::programName()
{
    static const std::string name = [] {
        auto bundleName =
            NSBundle::mainBundle()->objectForInfoDictionaryKey(NSString::stringWithUTF8String("CFBundleName"));
        if (auto string = dynamic_ref_cast<NSString>(bundleName); string && string->length())
            return std::string(string->UTF8String());
        return std::string(program_invocation_short_name);
    }();
    return name;
}
