#include "grabber/internet/CurlTransfer.h"

#include "grabber/internet/ProxyLists.h"
#include "runtime/AsciiText.h"
#include "tls/CertificateProblem.h"
#include "tls/TlsClientContext.h"
#include "tls/TlsFailureWords.h"
#include "tls/TransferPolicy.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <mutex>
#include <optional>

namespace {

// What libcurl receives in one call. Its default of 16 KiB costs a receive
// and a round through the transfer's callbacks for every 16 KiB; a larger
// buffer lets one call take what a fast connection has waiting.
constexpr long kReceiveBufferBytes = 256 * 1024;

std::uint32_t ErrorCodeFor(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_WRITE_ERROR: return ERROR_INTERNET_OPERATION_CANCELLED;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR: return ERROR_INTERNET_SECURE_FAILURE;
    default: return ERROR_INTERNET_INVALID_SERVER_RESPONSE;
    }
}

// A refused certificate, by what was wrong with it.
std::uint32_t ErrorCodeFor(TCertificateProblem problem)
{
    switch (problem) {
    case cpExpired:
    case cpNotYetValid: return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
    case cpOtherName: return ERROR_INTERNET_SEC_CERT_CN_INVALID;
    case cpUntrusted:
    case cpRejected: break;
    }
    return ERROR_INTERNET_INVALID_CA;
}

// The host of the address a transfer ended at (a redirect may have led to
// another), as a certificate names it: without the brackets of an IPv6
// literal. Empty when there is none.
std::string EffectiveHost(CURL* easy)
{
    char* address = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &address);
    std::optional<TWebAddress> parsed = address ? TWebAddress::Parse(address) : std::nullopt;
    return parsed ? parsed->HostName() : "";
}

// OpenSSL's short reason for the failure libcurl words as
// "OpenSSL/3.0.x: error:0A00042E:SSL routines::tlsv1 alert protocol version",
// as the page client gives it; libcurl's text when it names no code.
std::string OpenSslReason(const std::string& curlText)
{
    const std::size_t at = curlText.find("error:");
    if (at == std::string::npos)
        return curlText;
    const std::string digits = curlText.substr(at + 6, curlText.find(':', at + 6) - at - 6);
    std::optional<std::uint64_t> code = AsciiText::ParseUnsigned(digits, 16);
    const char* reason = code ? ERR_reason_error_string(static_cast<unsigned long>(*code)) : nullptr;
    return reason ? reason : curlText;
}

// libcurl's name for the least TLS version, as OpenSSL numbers it.
long CurlTlsVersion(int openSslVersion)
{
    return static_cast<long>(openSslVersion >= 0x0304 ? CURL_SSLVERSION_TLSv1_3 : CURL_SSLVERSION_TLSv1_2);
}

// Every TLS message received passes here, so that the server's close
// notification is seen.
void TlsMessage(int written, int, int contentType, const void* bytes, std::size_t length, SSL*, void* closeNotified)
{
    // An alert is a level and a description; close_notify is description 0.
    constexpr unsigned char kCloseNotify = 0;
    if (!written && contentType == SSL3_RT_ALERT && length >= 2 &&
        static_cast<const unsigned char*>(bytes)[1] == kCloseNotify)
        *static_cast<bool*>(closeNotified) = true;
}

CURLcode WatchTlsMessages(CURL*, void* context, void* closeNotified)
{
    SSL_CTX_set_msg_callback(static_cast<SSL_CTX*>(context), &TlsMessage);
    SSL_CTX_set_msg_callback_arg(static_cast<SSL_CTX*>(context), closeNotified);
    return CURLE_OK;
}

} // namespace

void CurlTransfer::InitialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void CurlTransfer::ApplyTls(CURL* easy, bool* closeNotified)
{
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_SSLVERSION, CurlTlsVersion(TransferPolicy::kMinimumTlsVersion));
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &WatchTlsMessages);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, closeNotified);
    const TTrustedCertificates trusted = TrustedCertificatesFromEnvironment();
    if (!trusted.File.empty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, trusted.File.c_str());
    if (!trusted.Directory.empty())
        curl_easy_setopt(easy, CURLOPT_CAPATH, trusted.Directory.c_str());
}

void CurlTransfer::ApplyProxy(CURL* easy, const TInternetSettings& settings, const TWebAddress& address,
                              const char* scheme)
{
    std::string proxy;
    if (settings.accessType == INTERNET_OPEN_TYPE_PROXY && !BypassesLocal(settings.proxyBypass, address.HostName()))
        proxy = ProxyFor(settings.proxyList, scheme);
    std::string noProxy = NoProxyList(settings.proxyBypass);
    if (settings.accessType != INTERNET_OPEN_TYPE_PRECONFIG) {
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!settings.proxyUserName.empty())
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, settings.proxyUserName.c_str());
    if (!settings.proxyPassword.empty())
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, settings.proxyPassword.c_str());
}

void CurlTransfer::ApplyCommon(CURL* easy, const TInternetSettings& settings, const char* protocols)
{
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, protocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(TransferPolicy::kRedirectsFollowed));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    if (!settings.agent.empty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, settings.agent.c_str());
    if (settings.receiveRateLimit > 0)
        curl_easy_setopt(easy, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(settings.receiveRateLimit));
}

TInternetFailure CurlTransfer::FailureOf(CURL* easy, int curlCode, const std::string& errorText)
{
    const auto result = static_cast<CURLcode>(curlCode);
    if (result == CURLE_PEER_FAILED_VERIFICATION) {
        long verifyResult = 0;
        curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
        const std::string host = EffectiveHost(easy);
        verifyResult = RefusedCertificateResult(verifyResult, host);
        const TCertificateProblem problem = CertificateProblemOf(verifyResult);
        return {fkRefused,
                ErrorCodeFor(problem),
                CertificateProblemMessage(problem),
                {host, VerifyResultText(verifyResult)},
                {},
                nullptr};
    }
    if (result == CURLE_SSL_CONNECT_ERROR)
        return {fkRefused,
                ERROR_INTERNET_SECURE_FAILURE,
                TlsFailureWords::kNotSetUp,
                {EffectiveHost(easy), OpenSslReason(errorText)},
                {},
                nullptr};
    return InternetFailure(ErrorCodeFor(result), errorText);
}

bool CurlTransfer::CutWithoutCloseNotify(const std::string& scheme, bool closeNotified, bool lengthKnown, bool chunked)
{
    return scheme == "https" && !closeNotified && !lengthKnown && !chunked;
}

TInternetFailure CurlTransfer::TlsCutFailure(const TWebAddress& address)
{
    return {fkCut, ERROR_INTERNET_CONNECTION_ABORTED, TlsFailureWords::kCutOff, {address.HostName()}, {}, nullptr};
}
