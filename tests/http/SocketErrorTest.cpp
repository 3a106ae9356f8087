#include "http/EIdSocketError.h"
#include "http/TIdStack.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>

namespace {

TEST(EIdSocketError, MessageNamesTheCodeAndItsText)
{
    struct Row {
        int code;
        const char* message;
    } rows[] = {
        {10061, "Socket Error # 10061\r\nConnection refused."},
        {11001, "Socket Error # 11001\r\nHost not found."},
        {10066, "Socket Error # 10066\r\nDirectory not empty"},
        {11002, "Socket Error # 11002\r\n"}, // codes without a text
        {42, "Socket Error # 42\r\n"},
    };
    for (const Row& row : rows) {
        EIdSocketError error(row.code);
        EXPECT_EQ(error.Message(), row.message);
        EXPECT_EQ(error.LastError(), row.code);
    }
}

// Once the caller names the peer, the message is the program's words, in
// the language of the moment it is worded in; the code stays.
TEST(EIdSocketError, NamingThePeerWordsItForTheUser)
{
    struct Row {
        int code;
        TIdSocketErrorStage stage;
        const char* host;
        const char* message;
    } rows[] = {
        {10061, seConnecting, "127.0.0.1", "Could not connect to 127.0.0.1:8000: connection refused."},
        {10060, seConnecting, "::1", "Could not connect to [::1]:8000: connection timed out."},
        {11001, seConnecting, "example.invalid", "Host not found: example.invalid"},
        {11002, seConnecting, "example.invalid", "Host not found: example.invalid"}, // the resolver had no answer
        {10054, seExchanging, "127.0.0.1", "The connection to 127.0.0.1:8000 failed: connection reset by peer."},
        {42, seConnecting, "h", "Could not connect to h:8000: Socket Error # 42"}, // a code without a text
    };
    for (const Row& row : rows) {
        EIdSocketError error(row.code);
        error.SetPeer(row.stage, row.host, 8000);
        EXPECT_EQ(error.Message(), row.message);
        EXPECT_EQ(error.LastError(), row.code);
    }

    EIdSocketError error(10061);
    error.SetPeer(seConnecting, "127.0.0.1", 8000);
    SetResourceStringLoader([](const std::string& text) {
        if (text == "Could not connect to %s: %s")
            return std::string("No se pudo conectar con %s: %s");
        return text == "Connection refused." ? std::string("Conexi\xc3\xb3n rechazada.") : text;
    });
    error.Reword();
    SetResourceStringLoader(nullptr);
    EXPECT_EQ(error.Message(), "No se pudo conectar con 127.0.0.1:8000: conexi\xc3\xb3n rechazada.");
}

TEST(EIdSocketError, NotASocketHasItsOwnClass)
{
    EXPECT_THROW(RaiseSocketError(10038), EIdNotASocket);
    try {
        RaiseSocketError(10054);
    } catch (const EIdNotASocket&) {
        FAIL() << "10054 is an ordinary socket error";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError(), 10054);
    }
}

TEST(TIdStack, MapsSystemErrorsOntoSocketErrorCodes)
{
    struct Row {
        int error;
        int code;
    } rows[] = {
        {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060},    {ECONNRESET, 10054}, {EPIPE, 10054},
        {ENOTSOCK, 10038},     {EBADF, 10009},        {EADDRINUSE, 10048}, {EADDRNOTAVAIL, 10049},
        {ENETUNREACH, 10051},  {EHOSTUNREACH, 10065}, {EINTR, 10004},      {EWOULDBLOCK, 10035},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TIdStack::TranslateErrno(row.error), row.code) << "errno " << row.error;

    struct ResolverRow {
        int error;
        int code;
    } resolverRows[] = {
        {EAI_NONAME, 11001},   {EAI_AGAIN, 11002},   {EAI_FAIL, 11003}, {EAI_FAMILY, 10047},
        {EAI_SOCKTYPE, 10044}, {EAI_SERVICE, 10109}, {EAI_MEMORY, 8},   {EAI_BADFLAGS, 10022},
    };
    for (const ResolverRow& row : resolverRows)
        EXPECT_EQ(TIdStack::TranslateResolverError(row.error, 0), row.code) << "resolver error " << row.error;
    EXPECT_EQ(TIdStack::TranslateResolverError(EAI_SYSTEM, ECONNREFUSED), 10061);
}

TEST(TIdStack, RecognisesAddressesAndResolvesWithoutLookup)
{
    TIdStack& stack = TIdStack::IncUsage();
    struct Row {
        const char* host;
        TIdIPVersion version;
        bool isIP;
    } rows[] = {
        {"127.0.0.1", Id_IPv4, true},  {"255.255.255.255", Id_IPv4, true},
        {"256.1.1.1", Id_IPv4, false}, {"1.2.3", Id_IPv4, false},
        {"1.2.3.4.", Id_IPv4, false},  {"1..2.3", Id_IPv4, false},
        {"a.b.c.d", Id_IPv4, false},   {"", Id_IPv4, false},
        {"::1", Id_IPv6, true},        {"fe80::1:2", Id_IPv6, true},
        {"127.0.0.1", Id_IPv6, false}, {"h", Id_IPv6, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TIdStack::IsIP(row.host, row.version), row.isIP) << row.host;

    EXPECT_EQ(stack.ResolveHost("LocalHost", Id_IPv4), "127.0.0.1");
    EXPECT_EQ(stack.ResolveHost("10.0.0.1", Id_IPv4), "10.0.0.1");
    EXPECT_EQ(stack.ResolveHost("0:0:0::1", Id_IPv6), "::1") << "IPv6 literals come back canonical";
    TIdStack::DecUsage();
}

TEST(TIdStack, IsSharedAndFreedWithTheLastUser)
{
    int before = TIdStack::UsageCount();
    TIdStack& first = TIdStack::IncUsage();
    TIdStack& second = TIdStack::IncUsage();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(TIdStack::UsageCount(), before + 2);
    TIdStack::DecUsage();
    TIdStack::DecUsage();
    EXPECT_EQ(TIdStack::UsageCount(), before);
}

} // namespace
