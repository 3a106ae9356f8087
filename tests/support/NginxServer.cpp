#include "support/NginxServer.h"

#include "support/ChildProcess.h"
#include "support/Listening.h"
#include "support/LocalPort.h"
#include "support/ScratchFolder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

std::string NginxBinary()
{
    for (const char* candidate : {"/usr/sbin/nginx", "/usr/local/sbin/nginx"})
        if (::access(candidate, X_OK) == 0)
            return candidate;
    throw std::runtime_error("nginx is not installed (scripts/install-deps installs it)");
}

} // namespace

std::uint16_t FreeLoopbackPort()
{
    return static_cast<std::uint16_t>(LocalPort().Port());
}

NginxServer::NginxServer(std::string root, std::string serverConfig, std::vector<NginxTlsListener> tls,
                         std::string httpConfig)
{
    char pattern[] = "/tmp/skerrow-nginx-XXXXXX";
    prefix_ = ::mkdtemp(pattern);
    std::filesystem::create_directories(prefix_ + "/logs");
    port_ = FreeLoopbackPort();
    while (tlsPorts_.size() < tls.size()) {
        std::uint16_t port = FreeLoopbackPort();
        if (port != port_ && std::find(tlsPorts_.begin(), tlsPorts_.end(), port) == tlsPorts_.end())
            tlsPorts_.push_back(port);
    }
    WriteConfig(root, serverConfig, tls, httpConfig);

    std::string binary = NginxBinary();
    const pid_t test = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        EndWithTest(test);
        ::execl(binary.c_str(), "nginx", "-p", prefix_.c_str(), "-c", "nginx.conf", "-e", "logs/error.log",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    WaitUntilListening(port_);
    for (std::uint16_t port : tlsPorts_)
        WaitUntilListening(port);
}

NginxServer::~NginxServer()
{
    StopChild(pid_);
    std::error_code ignored;
    std::filesystem::remove_all(prefix_, ignored);
}

std::string NginxServer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string NginxServer::SecureBaseUrl(std::size_t listener) const
{
    return "https://127.0.0.1:" + std::to_string(TlsPort(listener));
}

std::string NginxServer::AccessLog() const
{
    return FileBytes(prefix_ + "/logs/access.log");
}

std::vector<std::string> NginxServer::LogLinesFor(const std::string& path, std::size_t wanted) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        std::vector<std::string> lines;
        std::istringstream log(AccessLog());
        for (std::string line; std::getline(log, line);)
            if (line.find(" " + path + " ") != std::string::npos)
                lines.push_back(line);
        if (lines.size() >= wanted || std::chrono::steady_clock::now() > deadline)
            return lines;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void NginxServer::WriteConfig(const std::string& root, const std::string& serverConfig,
                              const std::vector<NginxTlsListener>& tls, const std::string& httpConfig)
{
    std::string site = "    root " + root + ";\n" + serverConfig + "\n";
    auto replaceAll = [&site](const std::string& mark, const std::string& value) {
        for (std::size_t at; (at = site.find(mark)) != std::string::npos;)
            site.replace(at, mark.size(), value);
    };
    replaceAll("@PLAIN_PORT@", std::to_string(port_));
    if (!tlsPorts_.empty())
        replaceAll("@TLS_PORT@", std::to_string(tlsPorts_[0]));

    std::ofstream conf(prefix_ + "/nginx.conf");
    conf << "daemon off;\n"
         << "master_process on;\n"
         << "worker_processes 1;\n"
         << (::geteuid() == 0 ? "user root;\n" : "") << "pid " << prefix_ << "/nginx.pid;\n"
         << "error_log " << prefix_ << "/logs/error.log warn;\n"
         << "events { worker_connections 64; }\n"
         << "http {\n"
         << "  default_type application/octet-stream;\n"
         << "  log_format skerrow '$connection $scheme \"$request\" $status \"$http_cookie\" \"$http_range\" "
            "$body_bytes_sent';\n"
         << "  access_log " << prefix_ << "/logs/access.log skerrow;\n"
         << "  client_body_temp_path " << prefix_ << "/body;\n"
         << "  proxy_temp_path " << prefix_ << "/proxy;\n"
         << "  fastcgi_temp_path " << prefix_ << "/fastcgi;\n"
         << "  uwsgi_temp_path " << prefix_ << "/uwsgi;\n"
         << "  scgi_temp_path " << prefix_ << "/scgi;\n"
         << "  keepalive_requests 100000;\n"
         << "  sendfile on;\n"
         << httpConfig << "\n"
         << "  server {\n"
         << "    listen 127.0.0.1:" << port_ << ";\n"
         << site << "  }\n";
    for (std::size_t i = 0; i < tls.size(); ++i)
        conf << "  server {\n"
             << "    listen 127.0.0.1:" << tlsPorts_[i] << " ssl;\n"
             << "    ssl_certificate " << tls[i].certificate << ";\n"
             << "    ssl_certificate_key " << tls[i].key << ";\n"
             << site << "  }\n";
    conf << "}\n";
}

void NginxServer::WaitUntilListening(std::uint16_t port)
{
    ::WaitUntilListening(pid_, port, "nginx (its log: " + prefix_ + "/logs/error.log)");
}
