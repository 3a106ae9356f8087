#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A real forward proxy on loopback for a test: tinyproxy on a free port,
// asking for a user and password in the Basic scheme when given them. It
// forwards plain requests and opens tunnels (CONNECT) to any port, logs the
// request line of each, and is stopped by the destructor.
class ForwardProxy {
public:
    explicit ForwardProxy(std::string user = {}, std::string password = {});
    ~ForwardProxy();
    ForwardProxy(const ForwardProxy&) = delete;
    ForwardProxy& operator=(const ForwardProxy&) = delete;

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT", with the user and password when there are.
    std::string Address() const;
    // The request lines it was sent, in order: "GET http://host/path
    // HTTP/1.1", "CONNECT host:port HTTP/1.1".
    std::vector<std::string> Requests() const;

private:
    std::string folder_;
    std::string user_;
    std::string password_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};
