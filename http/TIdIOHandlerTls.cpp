#include "http/TIdIOHandlerTls.h"

#include "http/EIdException.h"
#include "http/EIdTlsFailure.h"
#include "http/TIdStack.h"
#include "runtime/ResourceString.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <new>

namespace {

// Plain bytes go into the session in pieces of this size, so that the work
// events report a long send as it goes.
constexpr int kWritePiece = 64 * 1024;

// OpenSSL's short text for the failure it recorded last on this thread.
std::string LastTlsErrorText()
{
    unsigned long code = ERR_peek_last_error();
    const char* reason = code ? ERR_reason_error_string(code) : nullptr;
    return reason ? reason : LoadResString("unknown reason");
}

} // namespace

TIdIOHandlerTls::TIdIOHandlerTls(TComponent* owner) : TIdIOHandlerStack(owner) {}

TIdIOHandlerTls::~TIdIOHandlerTls()
{
    EndSession();
}

void TIdIOHandlerTls::Open()
{
    EndSession();
    cutShort_ = false;
    serverName_.clear();
    TIdIOHandlerStack::Open();
    if (!passThrough_ && BindingAllocated())
        StartSession();
}

void TIdIOHandlerTls::BeginTls(const std::string& serverName)
{
    EndSession();
    serverName_ = serverName;
    StartSession();
}

void TIdIOHandlerTls::Close()
{
    EndSession();
    TIdIOHandlerStack::Close();
}

void TIdIOHandlerTls::StartSession()
{
    if (!context_)
        context_ = NewTlsClientContext();
    session_ = SSL_new(context_.get());
    incoming_ = BIO_new(BIO_s_mem());
    outgoing_ = BIO_new(BIO_s_mem());
    if (!session_ || !incoming_ || !outgoing_) {
        BIO_free(incoming_);
        BIO_free(outgoing_);
        incoming_ = outgoing_ = nullptr;
        EndSession();
        throw std::bad_alloc();
    }
    // The session reads and writes memory; the socket stays the plain
    // handler's, with its waits, its time-outs and its error codes.
    SSL_set_bio(session_, incoming_, outgoing_);
    SSL_set_connect_state(session_);
    records_.resize(static_cast<std::size_t>(RecvBufferSize()));
    NameTheServer();
    Handshake();
}

// The name (or address) the certificate must be made out for, and for a
// name the server-name indication, so that a server of many sites shows the
// certificate of this one.
void TIdIOHandlerTls::NameTheServer()
{
    const std::string& host = ServerName();
    if (TIdStack::IsIP(host, Id_IPv4) || TIdStack::IsIP(host, Id_IPv6)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session_), host.c_str());
        return;
    }
    SSL_set_tlsext_host_name(session_, host.c_str());
    SSL_set_hostflags(session_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    SSL_set1_host(session_, host.c_str());
}

// Each wait for the server's part is a read under the read timeout.
void TIdIOHandlerTls::Handshake()
{
    const TDeadline limit = DeadlineAfter(EffectiveTimeout(-1));
    for (;;) {
        ERR_clear_error();
        int result = SSL_do_handshake(session_);
        SendRecords();
        if (result == 1)
            return;
        if (SSL_get_error(session_, result) != SSL_ERROR_WANT_READ)
            RaiseHandshakeFailure();
        int received = ReceiveRecords();
        if (received == 0)
            throw EIdTlsHandshakeFailed(ServerName(), LoadResString("the server closed the connection"));
        if (received < 0 && !WaitReadable(MillisecondsLeft(limit)))
            throw EIdReadTimeout();
    }
}

void TIdIOHandlerTls::RaiseHandshakeFailure()
{
    long verifyResult = SSL_get_verify_result(session_);
    if (verifyResult != X509_V_OK)
        throw EIdTlsCertificateRefused(ServerName(), verifyResult);
    throw EIdTlsHandshakeFailed(ServerName(), LastTlsErrorText());
}

// A session whose handshake completed says goodbye with a close
// notification while the peer still listens; a failure to say it changes
// nothing.
void TIdIOHandlerTls::EndSession()
{
    if (!session_)
        return;
    if (SSL_is_init_finished(session_) && BindingAllocated() && !ClosedGracefully()) {
        try {
            ERR_clear_error();
            SSL_shutdown(session_);
            SendRecords();
        } catch (const EIdException&) {}
    }
    SSL_free(session_);
    session_ = nullptr;
    incoming_ = outgoing_ = nullptr;
}

int TIdIOHandlerTls::ReceiveWithin(int wait)
{
    if (!session_)
        return TIdIOHandlerStack::ReceiveWithin(wait);
    const TDeadline limit = DeadlineAfter(wait);
    for (;;) {
        int decrypted = Decrypt();
        if (decrypted >= 0)
            return decrypted;
        int received = ReceiveRecords();
        if (received == 0) {
            cutShort_ = true;
            return 0;
        }
        // Part of a record is no byte for the reader: wait for the rest
        // within what remains of the wait.
        if (received < 0 && !WaitReadable(MillisecondsLeft(limit)))
            return -1;
    }
}

int TIdIOHandlerTls::Decrypt()
{
    const int room = RecvBufferSize();
    char* into = inputBuffer_->PrepareAppend(room);
    int total = 0;
    int result = 0;
    ERR_clear_error();
    // One record at a time: take every complete one that is there.
    while (total < room && (result = SSL_read(session_, into + total, room - total)) > 0)
        total += result;
    inputBuffer_->CommitAppend(total);
    SendRecords();
    if (total > 0)
        return total;
    switch (SSL_get_error(session_, result)) {
    case SSL_ERROR_WANT_READ: return -1;
    case SSL_ERROR_ZERO_RETURN: return 0;
    default: throw EIdTlsFailure(ServerName(), LastTlsErrorText());
    }
}

int TIdIOHandlerTls::ReceiveRecords()
{
    int received = Binding()->Receive(records_.data(), static_cast<int>(records_.size()), false);
    if (received > 0)
        BIO_write(incoming_, records_.data(), received);
    return received;
}

void TIdIOHandlerTls::SendRecords()
{
    char piece[16 * 1024];
    for (int count; (count = BIO_read(outgoing_, piece, sizeof piece)) > 0;)
        for (std::string_view rest(piece, static_cast<std::size_t>(count)); !rest.empty();)
            rest.remove_prefix(static_cast<std::size_t>(SendSome(rest)));
}

void TIdIOHandlerTls::SendNow(std::string_view bytes)
{
    if (!session_) {
        TIdIOHandlerStack::SendNow(bytes);
        return;
    }
    DetectPeerClose(true, true);
    while (!bytes.empty()) {
        ERR_clear_error();
        int offered = static_cast<int>(std::min<std::size_t>(bytes.size(), kWritePiece));
        int written = SSL_write(session_, bytes.data(), offered);
        if (written <= 0)
            throw EIdTlsFailure(ServerName(), LastTlsErrorText());
        SendRecords();
        bytes.remove_prefix(static_cast<std::size_t>(written));
        DoWork(wmWrite, written);
    }
}

void TIdIOHandlerTls::DetectPeerClose(bool raiseIfDisconnected, bool ignoreBuffer)
{
    try {
        TIdIOHandlerStack::DetectPeerClose(raiseIfDisconnected, ignoreBuffer);
    } catch (const EIdConnClosedGracefully&) {
        if (cutShort_)
            throw EIdTlsTruncated(ServerName());
        throw;
    }
}

// A session that broke down is no connection; the next read says why.
bool TIdIOHandlerTls::IsConnected()
{
    try {
        return TIdIOHandlerStack::IsConnected();
    } catch (const EIdTlsFailure&) {
        Binding()->CloseSocket();
        return Opened() && !InputBufferIsEmpty();
    }
}
