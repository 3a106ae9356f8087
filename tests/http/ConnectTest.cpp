#include "ConnectionFixture.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "http/TIdIOHandlerStack.h"
#include "http/TIdStack.h"
#include "support/LocalPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

TEST_F(ConnectionTest, ConnectReportsEachStepAndReadsBackBothEnds)
{
    std::vector<std::string> statuses;
    client.OnStatus = [&](TObject* sender, TIdStatus, const std::string& text) {
        EXPECT_EQ(sender, &client);
        statuses.push_back(text);
    };
    int connected = 0;
    client.OnConnected = [&](TObject*) { ++connected; };
    peer.ReadUntilClosed();
    Connect();
    EXPECT_EQ(statuses, (std::vector<std::string>{"Connecting to 127.0.0.1.", "Connected."}));
    EXPECT_EQ(connected, 1);
    EXPECT_TRUE(client.IsConnected());
    EXPECT_TRUE(client.ManagedIOHandler());

    auto* stack = dynamic_cast<TIdIOHandlerStack*>(client.IOHandler());
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->Binding()->PeerIP(), "127.0.0.1");
    EXPECT_EQ(stack->Binding()->PeerPort(), peer.Port());
    EXPECT_NE(stack->Binding()->Port(), 0);
}

TEST_F(ConnectionTest, LocalhostNeedsNoLookup)
{
    std::vector<TIdStatus> statuses;
    client.OnStatus = [&](TObject*, TIdStatus status, const std::string&) { statuses.push_back(status); };
    peer.ReadUntilClosed();
    peer.Start();
    client.SetHost("LOCALHOST");
    client.SetPort(peer.Port());
    client.ConnectToPeer();
    EXPECT_EQ(statuses, (std::vector<TIdStatus>{hsConnecting, hsConnected}));
}

TEST_F(ConnectionTest, ConnectingTwiceRaises)
{
    peer.ReadUntilClosed();
    Connect();
    EXPECT_RAISES(client.ConnectToPeer(), EIdAlreadyConnected, "Already connected.");
    EXPECT_TRUE(client.IsConnected()) << "the first connection goes on";
}

TEST(Connect, NeedsAHostAndAPort)
{
    TIdTCPClientCustom client;
    client.SetPort(80);
    EXPECT_THROW(client.ConnectToPeer(), EIdHostRequired);
    client.SetHost("127.0.0.1");
    client.SetPort(0);
    EXPECT_THROW(client.ConnectToPeer(), EIdPortRequired);
    EXPECT_EQ(client.IOHandler(), nullptr) << "nothing was made before the checks";
}

TEST(Connect, ARefusedConnectionIsSocketError10061)
{
    LocalPort closed;
    for (int connectTimeout : {0, 2000}) {
        SCOPED_TRACE(connectTimeout == 0 ? "plain connect" : "connect on its own thread");
        TIdTCPClientCustom client;
        client.SetHost("127.0.0.1");
        client.SetPort(closed.Port());
        client.SetConnectTimeout(connectTimeout);
        try {
            client.ConnectToPeer();
            FAIL() << "connected";
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), 10061);
            EXPECT_EQ(e.Message(), "Socket Error # 10061\r\nConnection refused.");
        }
        EXPECT_EQ(client.IOHandler(), nullptr) << "the managed handler is dropped";
        EXPECT_FALSE(client.IsConnected());
    }
}

TEST(Connect, AnUnknownHostIsSocketError11001)
{
    TIdTCPClientCustom client;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TObject*, TIdStatus, const std::string& text) { statuses.push_back(text); };
    // Blanks make the name invalid, so the resolver answers at once.
    client.SetHost("no such host");
    client.SetPort(80);
    try {
        client.ConnectToPeer();
        FAIL() << "connected";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError(), 11001);
        EXPECT_EQ(e.Message(), "Socket Error # 11001\r\nHost not found.");
    }
    EXPECT_EQ(statuses, (std::vector<std::string>{"Resolving hostname no such host."}));
}

TEST(Connect, OverIPv6)
{
    int listener = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener, 1) != 0) {
        close(listener);
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    TIdTCPClientCustom client;
    client.SetIPVersion(Id_IPv6);
    client.SetHost("0::1");
    client.SetPort(ntohs(address.sin6_port));
    client.ConnectToPeer();
    auto* stack = dynamic_cast<TIdIOHandlerStack*>(client.IOHandler());
    EXPECT_EQ(stack->Binding()->PeerIP(), "::1");
    EXPECT_EQ(stack->Binding()->IPVersion(), Id_IPv6);
    client.CloseConnection();
    close(listener);
}

TEST(Connect, AConnectTimeoutGivesUpOnAPeerThatNeverAnswers)
{
    LocalPort busy(true, 0);
    busy.FillQueue(8);
    TIdTCPClientCustom client;
    client.SetHost("127.0.0.1");
    client.SetPort(busy.Port());
    client.SetConnectTimeout(200);
    EXPECT_RAISES(client.ConnectToPeer(), EIdConnectTimeout, "Connect timed out.");
    EXPECT_FALSE(client.IsConnected());
}

TEST(Connect, BindingTheLocalEnd)
{
    LocalPort taken(true, 4);
    TIdTCPClientCustom client;
    client.SetHost("127.0.0.1");
    client.SetPort(taken.Port());

    client.SetBoundPort(taken.Port());
    EXPECT_RAISES(client.ConnectToPeer(), EIdCouldNotBindSocket,
                  "Could not bind socket. Address and port are already in use.");

    client.SetBoundPort(0);
    client.SetBoundPortRange(taken.Port(), taken.Port());
    std::string range = std::to_string(taken.Port()) + " - " + std::to_string(taken.Port());
    EXPECT_RAISES(client.ConnectToPeer(), EIdCanNotBindPortInRange, "Can not bind in port range (" + range + ")");

    client.SetBoundPortRange(5, 3);
    EXPECT_RAISES(client.ConnectToPeer(), EIdInvalidPortRange, "Invalid Port Range (5 - 3)");

    client.SetBoundPortRange(0, 0);
    client.SetBoundIP("127.0.0.1");
    client.ConnectToPeer();
    EXPECT_TRUE(client.IsConnected());
}

TEST(Connect, AGivenHandlerStaysItsCreators)
{
    TIdIOHandlerStack handler;
    {
        TIdTCPClientCustom client;
        client.SetIOHandler(&handler);
        client.SetHost("127.0.0.1");
        client.SetPort(1);
        client.SetReadTimeout(1234);
        EXPECT_EQ(handler.ReadTimeout(), 1234) << "parameters reach the handler when they change";
        EXPECT_FALSE(client.ManagedIOHandler());
        EXPECT_THROW(client.ConnectToPeer(), EIdSocketError);
        EXPECT_EQ(client.IOHandler(), &handler);
    }
    EXPECT_FALSE(handler.Opened());
}

TEST(Connect, ComponentsShareOneStack)
{
    int before = TIdStack::UsageCount();
    {
        TIdTCPClientCustom first;
        TIdTCPClientCustom second;
        EXPECT_GE(TIdStack::UsageCount(), before + 2);
    }
    EXPECT_EQ(TIdStack::UsageCount(), before);
}

TEST(Connect, CheckingWithoutAHandler)
{
    TIdTCPClientCustom client;
    EXPECT_RAISES(client.CheckPeerClosed(true), EIdException, "Not Connected");
    EXPECT_NO_THROW(client.CheckPeerClosed(false));
    EXPECT_FALSE(client.IsConnected());
}

} // namespace
