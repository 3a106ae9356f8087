#pragma once

#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

// What every secure connection of the program asks for: TLS 1.2 or newer,
// the server's certificate always verified against the system's trusted
// certificates. OpenSSL's default places are used, so SSL_CERT_FILE and
// SSL_CERT_DIR point elsewhere as they do for every program on Linux.
// Nothing turns verification off.

struct TTlsContextFree {
    void operator()(SSL_CTX* context) const;
};
using TTlsClientContext = std::unique_ptr<SSL_CTX, TTlsContextFree>;

// A context for client connections under that policy; the host name check
// is set per connection.
TTlsClientContext NewTlsClientContext();

// Where SSL_CERT_FILE and SSL_CERT_DIR point, empty when they are not set:
// for libcurl, which reads no environment of its own.
struct TTrustedCertificates {
    std::string File;
    std::string Directory;
};
TTrustedCertificates TrustedCertificatesFromEnvironment();
