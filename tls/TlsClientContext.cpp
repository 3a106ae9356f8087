#include "tls/TlsClientContext.h"

#include "tls/TransferPolicy.h"

#include <openssl/ssl.h>

#include <cstdlib>
#include <new>

void TTlsContextFree::operator()(SSL_CTX* context) const
{
    SSL_CTX_free(context);
}

TTlsClientContext NewTlsClientContext()
{
    TTlsClientContext context(SSL_CTX_new(TLS_client_method()));
    if (!context)
        throw std::bad_alloc();
    SSL_CTX_set_min_proto_version(context.get(), TransferPolicy::kMinimumTlsVersion);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    // A missing bundle is no failure here: every certificate is then
    // untrusted, and the handshake says so.
    SSL_CTX_set_default_verify_paths(context.get());
    // A server may not ask the client to renegotiate in the middle of a
    // response; a request is never held up by it.
    SSL_CTX_set_options(context.get(), SSL_OP_NO_RENEGOTIATION);
    return context;
}

TTrustedCertificates TrustedCertificatesFromEnvironment()
{
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return {variable("SSL_CERT_FILE"), variable("SSL_CERT_DIR")};
}
