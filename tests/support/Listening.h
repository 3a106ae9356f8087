#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

// A socket listening on a free loopback port, which port receives; raises
// with what's name when none can be had.
inline int ListenOnLoopback(int backlog, std::uint16_t& port, const std::string& what)
{
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, backlog) != 0) {
        ::close(listener);
        throw std::runtime_error(what + ": cannot listen on loopback");
    }
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

// Waits until the server the child pid runs accepts connections on a
// loopback port, for at most ten seconds; raises when the child ended (pid
// becomes -1) or the time ran out. what names the server in the message.
inline void WaitUntilListening(pid_t& pid, std::uint16_t port, const std::string& what)
{
    auto connectable = [port] {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    };
    using namespace std::chrono;
    auto deadline = steady_clock::now() + seconds(10);
    while (!connectable()) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            throw std::runtime_error(what + " did not start");
        }
        if (steady_clock::now() > deadline)
            throw std::runtime_error(what + " did not listen within 10 seconds");
        // Polling a port has no event to wait on; a short pause between tries.
        std::this_thread::sleep_for(milliseconds(20));
    }
}
