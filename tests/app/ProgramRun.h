#pragma once

#include "support/ChildProcess.h"
#include "support/ScratchFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Runs the built program without windows, as a user would from a terminal.

// Variables the program gets besides the test's own: an empty value takes
// one away.
using TProgramEnvironment = std::vector<std::pair<std::string, std::string>>;

// Starts `skerrow --site-host=siteHost words...` in folder, with standard
// output and error going to the file output (error to the file errors, when
// one is named).
inline pid_t SpawnProgram(const std::string& siteHost, std::vector<std::string> words, const std::string& folder,
                          const std::string& output = "/dev/null", const TProgramEnvironment& environment = {},
                          const std::string& errors = "")
{
    words.insert(words.begin(), {SKERROW_BINARY, "--site-host=" + siteHost});
    pid_t pid = ::fork();
    if (pid == 0) {
        for (const auto& [name, value] : environment)
            value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
        ::chdir(folder.c_str());
        int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(errors.empty() ? out : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644), STDERR_FILENO);
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

// Runs the program to its end: its exit status, and what it wrote when
// output is given.
inline int RunProgram(const std::string& siteHost, std::vector<std::string> words, const std::string& folder,
                      std::string* output = nullptr, const TProgramEnvironment& environment = {})
{
    char file[] = "/tmp/skerrow-output-XXXXXX";
    ::close(::mkstemp(file));
    int status = ExitStatus(SpawnProgram(siteHost, std::move(words), folder, file, environment));
    if (output)
        *output = FileBytes(file);
    ::unlink(file);
    return status;
}

// What a run wrote to standard output and to standard error, apart.
struct TProgramOutput {
    int Status = -1;
    std::string Output, Errors;
};

inline TProgramOutput RunProgramApart(const std::string& siteHost, std::vector<std::string> words,
                                      const std::string& folder, const TProgramEnvironment& environment = {})
{
    char output[] = "/tmp/skerrow-output-XXXXXX", errors[] = "/tmp/skerrow-errors-XXXXXX";
    ::close(::mkstemp(output));
    ::close(::mkstemp(errors));
    TProgramOutput run;
    run.Status = ExitStatus(SpawnProgram(siteHost, std::move(words), folder, output, environment, errors));
    run.Output = FileBytes(output);
    run.Errors = FileBytes(errors);
    ::unlink(output);
    ::unlink(errors);
    return run;
}
