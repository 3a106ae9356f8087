#include "support/ForwardProxy.h"

#include "support/ChildProcess.h"
#include "support/Listening.h"
#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

ForwardProxy::ForwardProxy(std::string user, std::string password)
    : user_(std::move(user)), password_(std::move(password))
{
    char pattern[] = "/tmp/skerrow-proxy-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    port_ = FreeLoopbackPort();
    std::ofstream config(folder_ + "/tinyproxy.conf");
    // Without ConnectPort lines tinyproxy tunnels to any port.
    config << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 30\nMaxClients 32\nAllow 127.0.0.1\n"
           << "LogLevel Connect\nLogFile \"" << folder_ << "/log\"\n";
    if (!user_.empty())
        config << "BasicAuth " << user_ << " " << password_ << "\n";
    config.close();

    const pid_t test = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        EndWithTest(test);
        std::vector<std::string> words{"tinyproxy", "-d", "-c", folder_ + "/tinyproxy.conf"};
        ExecCommand(words);
    }
    WaitUntilListening(pid_, port_, "tinyproxy (scripts/install-deps installs it; its log: " + folder_ + "/log)");
}

ForwardProxy::~ForwardProxy()
{
    StopChild(pid_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ForwardProxy::Address() const
{
    const std::string credentials = user_.empty() ? "" : user_ + ":" + password_ + "@";
    return "http://" + credentials + "127.0.0.1:" + std::to_string(port_);
}

// tinyproxy logs "CONNECT   <date> [pid]: Request (file descriptor 5): GET
// http://... HTTP/1.1" for each request it reads.
std::vector<std::string> ForwardProxy::Requests() const
{
    const std::string mark = "): ";
    std::vector<std::string> requests;
    std::istringstream log(FileBytes(folder_ + "/log"));
    for (std::string line; std::getline(log, line);)
        if (std::size_t at = line.find("Request (file descriptor "); at != std::string::npos)
            requests.push_back(line.substr(line.find(mark, at) + mark.size()));
    return requests;
}
