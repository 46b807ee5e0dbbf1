#pragma once
// Starting other programs without a shell: an argument vector handed to
// posix_spawnp (the program looked up on PATH), so no argument is ever
// parsed as a command.
#include <optional>
#include <string>
#include <vector>

namespace ChildProcess {

struct Result {
    bool started = false;  // the program could be started
    int exitStatus = -1;   // its exit code; -1 when it did not exit normally
    std::string output;    // what it wrote to standard output
};

// Runs the program (argv[0] is looked up on PATH) to its end, reading its
// standard output; standard input is /dev/null.
Result run(const std::vector<std::string>& argv);

// Starts the program and leaves it running; a thread reaps it when it ends.
// Answers whether it started.
bool launch(const std::vector<std::string>& argv);

// Starts argv once this process has ended: a forked helper, detached from
// this process's session, waits for the parent to exit and then executes
// the program in its place. Answers whether the helper was started.
bool launchAfterExit(const std::vector<std::string>& argv);

}
