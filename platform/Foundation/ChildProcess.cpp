#include "Foundation/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace {

std::vector<char*> argumentVector(const std::vector<std::string>& argv)
{
    std::vector<char*> out;
    for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}

namespace ChildProcess {

Result run(const std::vector<std::string>& argv)
{
    Result result;
    if (argv.empty()) return result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    auto args = argumentVector(argv);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (error == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) != 0) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            result.output.append(buffer, size_t(n));
        }
    }
    close(pipeFds[0]);
    if (error != 0) return result;
    // glibc's posix_spawnp reports a program that cannot be executed as an
    // error, so a spawned child is a started program.
    result.started = true;
    result.exitStatus = waitFor(pid);
    return result;
}

bool launch(const std::vector<std::string>& argv)
{
    if (argv.empty()) return false;
    auto args = argumentVector(argv);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    std::thread([pid] { waitFor(pid); }).detach();
    return true;
}

bool launchAfterExit(const std::vector<std::string>& argv)
{
    if (argv.empty()) return false;
    auto args = argumentVector(argv);  // prepared before fork: the child only waits and execs
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;
    const pid_t parent = getpid();
    const pid_t helper = fork();
    if (helper < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (helper == 0) {
        // The helper: a grandchild, so that the parent's end does not end it
        // and nobody needs to reap it.
        close(ready[0]);
        setsid();
        if (fork() != 0) _exit(0);
        // A pidfd becomes readable when the parent ends; when the parent has
        // already gone it cannot be opened, and the program starts at once.
        int pidFd = int(syscall(SYS_pidfd_open, parent, 0));
        char ok = 1;
        (void)!write(ready[1], &ok, 1);
        close(ready[1]);
        if (pidFd >= 0) {
            pollfd p{pidFd, POLLIN, 0};
            while (poll(&p, 1, -1) < 0 && errno == EINTR) { }
            close(pidFd);
        } else if (errno != ESRCH) {
            while (kill(parent, 0) == 0) usleep(20000);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    close(ready[1]);
    waitFor(helper);
    char ok = 0;
    ssize_t n;
    while ((n = read(ready[0], &ok, 1)) < 0 && errno == EINTR) { }
    close(ready[0]);
    return n == 1 && ok == 1;
}

}
