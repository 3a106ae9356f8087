#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// The source tree, where the peers' scripts are.
std::string SourceDir();

// A peer written in Python, started on a free loopback port for one fixture
// and stopped by the destructor. The script is given --port 0 and
// --port-file FILE after its own arguments and writes its port there once it
// listens; the file lives in the caller's folder.
class PythonPeer {
public:
    PythonPeer(const std::string& script, std::vector<std::string> arguments, const std::filesystem::path& folder);
    ~PythonPeer();
    PythonPeer(const PythonPeer&) = delete;
    PythonPeer& operator=(const PythonPeer&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};
