#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// A real FTP server (pyftpdlib) on a free loopback port for one fixture:
// anonymous and read-only over `root`; a file named "cut-..." is cut off
// halfway. Stopped by the destructor.
class FtpServer {
public:
    explicit FtpServer(std::string root);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    std::uint16_t Port() const { return port_; }
    std::string BaseUrl() const { return "ftp://127.0.0.1:" + std::to_string(port_); }
    // Every command the server received, one a line.
    std::string Commands() const;

private:
    std::string log_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};
