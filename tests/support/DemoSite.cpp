#include "support/DemoSite.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

std::string SourceDir()
{
    const char* dir = std::getenv("SKERROW_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string RunPython(const std::string& code)
{
    std::string command = "python3 -c '" + code + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("python3 did not start");
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

} // namespace

DemoSite::DemoSite()
{
    char pattern[] = "/tmp/skerrow-demo-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::string portFile = folder_ + "/port";
    std::string script = SourceDir() + "/tools/demo-site/demo_site.py";
    pid_ = ::fork();
    if (pid_ == 0) {
        ::freopen("/dev/null", "w", stdout);
        ::execlp("python3", "python3", script.c_str(), "--port", "0", "--port-file", portFile.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The site writes its port file once it listens; there is no event to
    // wait on from here, so look for it in short steps.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!std::filesystem::exists(portFile)) {
        if (std::chrono::steady_clock::now() > deadline || ::waitpid(pid_, nullptr, WNOHANG) == pid_)
            throw std::runtime_error("the demo site did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream(portFile) >> port_;
}

DemoSite::~DemoSite()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string DemoSite::StreamBytes(const std::string& id, const std::string& format, std::size_t size)
{
    std::string code = "import sys; sys.path.insert(0, \"" + SourceDir() +
                       "/tools/demo-site\"); import demo_site as d; "
                       "sys.stdout.buffer.write(d.stream_bytes(d.VIDEOS[\"" + id + "\"], \"" + format + "\", 0, " +
                       std::to_string(size) + "))";
    return RunPython(code);
}
