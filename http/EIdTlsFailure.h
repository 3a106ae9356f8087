#pragma once

#include "http/EIdException.h"

#include <string>
#include <vector>

// A secure connection that failed. Every message names the host and says
// what went wrong in plain words, in the user's language.
class EIdTlsFailure : public EIdException {
public:
    // A session that broke down after its handshake: "(reason)" is
    // OpenSSL's own short text.
    EIdTlsFailure(const std::string& host, const std::string& reason);

    void Reword() override;

protected:
    // The message of the catalogue with its "%s" marks filled in order.
    EIdTlsFailure(const char* message, std::vector<std::string> arguments);

private:
    const char* wording_;
    std::vector<std::string> arguments_;
};

// The handshake failed; nothing of the request was sent.
class EIdTlsHandshakeFailed : public EIdTlsFailure {
public:
    EIdTlsHandshakeFailed(const std::string& host, const std::string& reason);

protected:
    EIdTlsHandshakeFailed(const char* message, std::vector<std::string> arguments)
        : EIdTlsFailure(message, std::move(arguments))
    {}
};

// The server's certificate was refused: not trusted, out of date, or made
// out for another name. The verify result is OpenSSL's.
class EIdTlsCertificateRefused : public EIdTlsHandshakeFailed {
public:
    EIdTlsCertificateRefused(const std::string& host, long verifyResult);
    long VerifyResult() const { return verifyResult_; }

private:
    long verifyResult_;
};

// The server ended the connection without a TLS close notification, so
// what was being read cannot be told from a cut-off copy: it counts as
// incomplete, never as complete.
class EIdTlsTruncated : public EIdTlsFailure {
public:
    explicit EIdTlsTruncated(const std::string& host);
};
