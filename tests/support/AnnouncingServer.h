#pragma once

#include "support/ChildProcess.h"

#include <string>
#include <unistd.h>
#include <vector>

// Starts a server that tells how to reach it (a display number, a bus
// address) by writing one line to a descriptor it is handed once it accepts
// clients, and waits for that line. "{fd}" in the arguments stands for the
// descriptor. Returns the server's process, or -1 when it did not start.
inline pid_t StartAnnouncingServer(std::vector<std::string> arguments, std::string& announcement)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    for (std::string& argument : arguments)
        if (std::size_t at = argument.find("{fd}"); at != std::string::npos)
            argument.replace(at, 4, std::to_string(ready[1]));
    const pid_t test = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        EndWithTest(test);
        ::close(ready[0]);
        ExecCommand(arguments);
    }
    ::close(ready[1]);
    // A server may write the line in parts; the pipe stays open until all of
    // it arrived, or the server dies of a write to a closed pipe.
    announcement.clear();
    char byte;
    while (::read(ready[0], &byte, 1) == 1 && byte != '\n')
        announcement += byte;
    ::close(ready[0]);
    if (announcement.empty()) {
        StopChild(pid);
        return -1;
    }
    return pid;
}
