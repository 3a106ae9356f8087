#pragma once

#include "grabber/internet/TInternetFailure.h"
#include "grabber/internet/TInternetHandle.h"

#include <string>

typedef void CURL;

// What every libcurl transfer of the internet layer is given, whether it
// runs alone (TInternetRequest) or beside others (TInternetPool), and how
// its failures are worded.
namespace CurlTransfer {

// libcurl's process-wide start, once, whoever comes first.
void InitialiseOnce();

// The program's TLS policy, for an https address and for any redirect to
// one: verification always on, the least version of tls/TransferPolicy.h,
// and the certificates that SSL_CERT_FILE and SSL_CERT_DIR name, which
// libcurl does not read itself. closeNotified is set once the server's TLS
// close notification arrives: libcurl takes a connection that merely ends
// for the end of a body without a length.
void ApplyTls(CURL* easy, bool* closeNotified);

// None at all, the desktop's environment (libcurl reads http_proxy and
// no_proxy itself when no proxy is set), or the session's list, for an
// address of the scheme given.
void ApplyProxy(CURL* easy, const TInternetSettings& settings, const TWebAddress& address, const char* scheme);

// The agent, the connect time-out, the receive cap, the protocols and
// redirects followed, and how much one receive may take.
void ApplyCommon(CURL* easy, const TInternetSettings& settings, const char* protocols);

// The failure libcurl ended a transfer with, in the program's words: a
// refused certificate or TLS handshake as the page client words them,
// anything else by its code with libcurl's text as the detail.
TInternetFailure FailureOf(CURL* easy, int curlCode, const std::string& errorText);

// Over TLS, a body whose length nothing announced ends where the server
// says so with its close notification; without one, it was cut. The
// failure that says so.
bool CutWithoutCloseNotify(const std::string& scheme, bool closeNotified, bool lengthKnown, bool chunked);
TInternetFailure TlsCutFailure(const TWebAddress& address);

} // namespace CurlTransfer
