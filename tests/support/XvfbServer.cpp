#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "WaitUntil.h"

namespace test_support {

void dieWithParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
}

bool onPath(const char* program)
{
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

void stopChild(pid_t pid, std::chrono::milliseconds limit)
{
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    waitForExitOrKill(pid, limit);
}

bool XvfbServer::start(int width, int height, const std::vector<std::string>& extraArguments,
                       const std::string& logPath)
{
    stop();
    m_problem.clear();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        m_problem = "pipe failed";
        return false;
    }
    const std::string log = logPath.empty() ? "/dev/null" : logPath;
    std::vector<std::string> arguments{
        "Xvfb",     "-displayfd", "3",
        "-noreset", "-nolisten",  "tcp",
        "-screen",  "0",          std::to_string(width) + "x" + std::to_string(height) + "x24"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t self = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        dieWithParent(self);
        dup2(fds[1], 3);  // -displayfd names a descriptor the server inherits
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (m_pid < 0) {
        close(fds[0]);
        m_problem = "fork failed";
        return false;
    }
    // The server writes its display number once it accepts clients.
    std::string number;
    bool complete = false;
    pollfd p{fds[0], POLLIN, 0};
    waitUntil(
        [&] {
            if (poll(&p, 1, 100) <= 0) return false;
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') return complete = true;
            number.push_back(c);
            return false;
        },
        std::chrono::seconds(20), std::chrono::milliseconds(0));
    close(fds[0]);
    if (number.empty()) {
        std::ostringstream text;
        text << std::ifstream(log).rdbuf();
        m_problem = "Xvfb did not start: " + text.str();
        stop();
        return false;
    }
    m_display = ":" + number;
    return true;
}

void XvfbServer::stop()
{
    stopChild(m_pid);
    m_pid = -1;
    m_display.clear();
}

}  // namespace test_support
