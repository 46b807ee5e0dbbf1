#pragma once
// A dbus-daemon of the test's own: a session bus at a socket in a temporary
// folder, named by DBUS_SESSION_BUS_ADDRESS for the test and the programs it
// starts, ended by its process id.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "TemporaryFolder.h"

extern char** environ;

class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        int out[2];
        if (pipe(out) != 0) return;
        const std::string address = "--address=unix:path=" + (m_folder / "bus");
        const char* argv[] = {"dbus-daemon", "--session", "--nofork", address.c_str(), "--print-address", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The daemon prints its address once it listens.
        char c;
        while (m_pid > 0 && read(out[0], &c, 1) == 1 && c != '\n') m_address += c;
        close(out[0]);
        if (!m_address.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
    }
    ~PrivateSessionBus()
    {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !m_address.empty(); }
    const std::string& address() const { return m_address; }

private:
    TemporaryFolder m_folder;
    pid_t m_pid = -1;
    std::string m_address;
};
