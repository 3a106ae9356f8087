#include "support/PythonPeer.h"

#include "support/ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

std::string SourceDir()
{
    const char* dir = std::getenv("SKERROW_SOURCE_DIR");
    return dir ? dir : ".";
}

PythonPeer::PythonPeer(const std::string& script, std::vector<std::string> arguments,
                       const std::filesystem::path& folder)
{
    const std::string portFile = (folder / "port").string();
    std::filesystem::remove(portFile);
    // Debian's interpreter, which install-deps brings: a python3 of the
    // user's own (a version manager's shim) may take seconds to start.
    arguments.insert(arguments.begin(), {"/usr/bin/python3", SourceDir() + "/" + script});
    arguments.insert(arguments.end(), {"--port", "0", "--port-file", portFile});
    const pid_t test = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        EndWithTest(test);
        std::freopen("/dev/null", "w", stdout);
        ExecCommand(arguments);
    }
    // The peer writes its port file once it listens; there is no event to
    // wait on from here, so look for it in short steps.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!std::filesystem::exists(portFile)) {
        if (std::chrono::steady_clock::now() > deadline || ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error(script + " did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream(portFile) >> port_;
}

PythonPeer::~PythonPeer()
{
    StopChild(pid_);
}
