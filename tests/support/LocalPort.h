#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

// A loopback port that is bound (so nobody else takes it) but not listening,
// or listening with a queue that is already full: a connect to it then never
// completes, the machine dropping every further attempt.
class LocalPort {
public:
    explicit LocalPort(bool listening = false, int backlog = 0)
    {
        handle_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(handle_, reinterpret_cast<sockaddr*>(&address), length);
        getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (listening)
            listen(handle_, backlog);
    }
    ~LocalPort()
    {
        for (int handle : fillers_)
            close(handle);
        close(handle_);
    }
    LocalPort(const LocalPort&) = delete;
    LocalPort& operator=(const LocalPort&) = delete;

    int Port() const { return port_; }

    // Connections that nobody accepts, until the queue holds no more.
    void FillQueue(int count)
    {
        for (int i = 0; i < count; ++i) {
            int handle = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<std::uint16_t>(port_));
            connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(handle);
        }
    }

private:
    int handle_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};
