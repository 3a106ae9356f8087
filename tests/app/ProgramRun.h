#pragma once

#include "support/ChildProcess.h"

#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Runs the built program without windows, as a user would from a terminal.

// Starts `skerrow --site-host=siteHost words...` in folder, with standard
// output and error going to the file output.
inline pid_t SpawnProgram(const std::string& siteHost, std::vector<std::string> words, const std::string& folder,
                          const std::string& output = "/dev/null")
{
    words.insert(words.begin(), {SKERROW_BINARY, "--site-host=" + siteHost});
    pid_t pid = ::fork();
    if (pid == 0) {
        ::chdir(folder.c_str());
        int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ExecCommand(words);
    }
    return pid;
}

// Waits for the program; its exit status, or -1 when it died of a signal.
inline int ExitStatus(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
