#pragma once

#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The programs the tests start: peers, servers and the built program.

// Called in a peer's child process between fork and exec: the peer is asked
// to end when the test that started it dies, so a crashed test does not leave
// a server running until CTest's time-out. The signal is bound to the thread
// that forked, so peers are started from the test's own thread.
inline void EndWithTest(pid_t test)
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The test may have died before the request was made.
    if (::getppid() != test)
        ::_exit(127);
}

// Called in a child process after fork: becomes the program the words name
// (the first found on PATH unless it holds a "/"), or ends with status 127
// when there is none.
[[noreturn]] inline void ExecCommand(std::vector<std::string>& words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

// Asks a child to end and waits until it has; nothing for no child (-1).
inline void StopChild(pid_t pid)
{
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}
