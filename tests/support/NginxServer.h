#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// A real nginx on loopback for one test fixture: it serves `root` on a free
// port with the given extra server-block configuration, logs every request
// with its connection number, and is stopped by the destructor.
//
//   NginxServer nginx(root, "location /old { return 301 /new; }");
//   ... http://127.0.0.1:nginx.Port()/ ...
class NginxServer {
public:
    explicit NginxServer(std::string root, std::string serverConfig = {});
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    std::uint16_t Port() const { return port_; }
    std::string BaseUrl() const;
    // The access log: one line per request,
    // "<connection> "<request line>" <status> "<Range header>" <body bytes sent>".
    std::string AccessLog() const;
    const std::string& Prefix() const { return prefix_; }

private:
    void WriteConfig(const std::string& root, const std::string& serverConfig);
    void WaitUntilListening();

    std::string prefix_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

// A port on loopback that nothing listens on at the moment of the call.
std::uint16_t FreeLoopbackPort();
