#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A TLS port of an NginxServer: the same site, shown with this certificate.
struct NginxTlsListener {
    std::string certificate;
    std::string key;
};

// A real nginx on loopback for one test fixture: it serves `root` on a free
// port with the given extra server-block configuration, and on one more free
// port per TLS listener; it logs every request with its connection number,
// and is stopped by the destructor. In the configuration, @PLAIN_PORT@ and
// @TLS_PORT@ stand for the plain port and the first TLS port. What only the
// http block may hold (a zone of limit_conn) goes in httpConfig.
//
//   NginxServer nginx(root, "location /old { return 301 /new; }");
//   ... http://127.0.0.1:nginx.Port()/ ...
class NginxServer {
public:
    explicit NginxServer(std::string root, std::string serverConfig = {}, std::vector<NginxTlsListener> tls = {},
                         std::string httpConfig = {});
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    std::uint16_t Port() const { return port_; }
    std::string BaseUrl() const;
    std::uint16_t TlsPort(std::size_t listener = 0) const { return tlsPorts_.at(listener); }
    std::string SecureBaseUrl(std::size_t listener = 0) const;
    // The access log: one line per request,
    // "<connection> <scheme> "<request line>" <status> "<Cookie header>" "<Range header>"
    // <body bytes sent>".
    std::string AccessLog() const;
    // The log lines of requests for path, once at least `wanted` are there
    // (nginx writes a line once the reply is out, so it may trail the client
    // by a moment), or whatever there is after five seconds.
    std::vector<std::string> LogLinesFor(const std::string& path, std::size_t wanted = 1) const;
    const std::string& Prefix() const { return prefix_; }

private:
    void WriteConfig(const std::string& root, const std::string& serverConfig, const std::vector<NginxTlsListener>& tls,
                     const std::string& httpConfig);
    void WaitUntilListening(std::uint16_t port);

    std::string prefix_;
    std::uint16_t port_ = 0;
    std::vector<std::uint16_t> tlsPorts_;
    pid_t pid_ = -1;
};

// A port on loopback that nothing listens on at the moment of the call.
std::uint16_t FreeLoopbackPort();
