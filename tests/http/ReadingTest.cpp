#include "ConnectionFixture.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "runtime/TMemoryStream.h"

namespace {

// Line reads.

TEST_F(ConnectionTest, LinesEndInLfOrCrLfButNotInALoneCr)
{
    peer.Send("a\nb\r\nc\rd\n\r\n").ReadUntilClosed();
    Connect();
    EXPECT_EQ(IO().ReadLine(), "a");
    EXPECT_EQ(IO().ReadLine(), "b");
    EXPECT_EQ(IO().ReadLine(), "c\rd");
    EXPECT_EQ(IO().ReadLine(), "");
    EXPECT_FALSE(IO().ReadLnTimedOut()) << "an empty line is no timeout";
}

TEST_F(ConnectionTest, LinesSplitAcrossPacketsComeBackWhole)
{
    peer.Send("HTTP/1.1 2")
        .Pause(50ms)
        .Send("00 OK\r")
        .Pause(50ms)
        .Send("\nnext\r\n\r")
        .Pause(50ms)
        .Send("\ntail")
        .ReadUntilClosed();
    Connect();
    EXPECT_EQ(IO().ReadLine(), "HTTP/1.1 200 OK");
    // A longer terminator split between two packets is found as well.
    EXPECT_EQ(IO().ReadLine("\r\n\r\n"), "next");
    EXPECT_EQ(IO().TakeBufferedText(), "tail");
}

TEST_F(ConnectionTest, ALineReadTimeoutGivesAnEmptyLineAndKeepsTheBytes)
{
    peer.Send("partial").ReadUntilClosed();
    Connect(kShortTimeout);
    EXPECT_EQ(IO().ReadLine(), "");
    EXPECT_TRUE(IO().ReadLnTimedOut());
    EXPECT_EQ(IO().InputBuffer().Bytes(), "partial");
}

TEST_F(ConnectionTest, ALineReadTimeoutArgumentLimitsTheWholeRead)
{
    peer.Send("partial").ReadUntilClosed();
    Connect(0); // the read timeout alone would wait for ever
    EXPECT_EQ(IO().ReadLine("\n", 200), "");
    EXPECT_TRUE(IO().ReadLnTimedOut());
    EXPECT_EQ(IO().TakeBufferedText(), "partial");
}

TEST_F(ConnectionTest, APeerCloseInsideALineRaises)
{
    peer.Send("whole\npart").Close();
    Connect();
    EXPECT_EQ(IO().ReadLine(), "whole");
    EXPECT_RAISES(IO().ReadLine(), EIdConnClosedGracefully, "Connection Closed Gracefully.");
    EXPECT_EQ(IO().TakeBufferedText(), "part");
}

TEST_F(ConnectionTest, MaximumLineLength)
{
    const std::string longest(TIdIOHandler::kDefaultMaxLineLength, 'x');
    peer.Send(longest + "\n" + longest + "y\n").ReadUntilClosed();
    Connect();
    EXPECT_EQ(IO().ReadLine(), longest) << "exactly the maximum is accepted";
    EXPECT_RAISES(IO().ReadLine(), EIdReadLnMaxLineLengthExceeded, "Max line length exceeded.");
    EXPECT_EQ(IO().InputBuffer().ByteCount(), static_cast<std::int64_t>(longest.size() + 2));
}

TEST_F(ConnectionTest, AnOverlongLineRaisesBeforeItsTerminatorArrives)
{
    peer.Send(std::string(TIdIOHandler::kDefaultMaxLineLength + 1, 'x')).ReadUntilClosed();
    Connect();
    EXPECT_RAISES(IO().ReadLine(), EIdReadLnMaxLineLengthExceeded, "Max line length exceeded.");
}

TEST_F(ConnectionTest, SplittingReturnsTheFirstBytesOfAnOverlongLine)
{
    peer.Send("abcdefg\nhijklmnop").ReadUntilClosed();
    Connect();
    IO().SetMaxLineAction(maSplit);
    EXPECT_EQ(IO().ReadLine("\n", -1, 4), "abcd");
    EXPECT_TRUE(IO().ReadLnSplit());
    EXPECT_EQ(IO().ReadLine("\n", -1, 4), "efg");
    EXPECT_FALSE(IO().ReadLnSplit());
    EXPECT_EQ(IO().ReadLine("\n", -1, 4), "hijk") << "no terminator yet, but more than the maximum";
}

// Byte reads.

TEST_F(ConnectionTest, ByteCountsWaitForEveryByte)
{
    peer.Send("0123").Pause(50ms).Send("456789").ReadUntilClosed();
    Connect();
    std::string bytes = "<";
    IO().ReadByteCount(bytes, 3);
    IO().ReadByteCount(bytes, 7);
    EXPECT_EQ(bytes, "<0123456789");
    IO().ReadByteCount(bytes, 0, false);
    EXPECT_EQ(bytes, "");
}

TEST_F(ConnectionTest, AByteCountOfMinusOneTakesWhatIsThere)
{
    peer.Send("abc").ReadUntilClosed();
    Connect();
    std::string bytes;
    IO().ReadByteCount(bytes, -1);
    EXPECT_EQ(bytes, "abc");
}

TEST_F(ConnectionTest, AByteCountTimingOutRaisesAndKeepsTheBytes)
{
    peer.Send(std::string(40, 'b')).ReadUntilClosed();
    Connect(kShortTimeout);
    std::string bytes;
    EXPECT_RAISES(IO().ReadByteCount(bytes, 100), EIdReadTimeout, "Read Timeout");
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(IO().InputBuffer().ByteCount(), 40);
}

TEST_F(ConnectionTest, APeerCloseInsideAByteCountRaisesAndTheBytesStayReadable)
{
    peer.Send(std::string(40, 'b')).Close();
    Connect();
    std::string bytes;
    EXPECT_RAISES(IO().ReadByteCount(bytes, 100), EIdConnClosedGracefully, "Connection Closed Gracefully.");
    // After the peer closed, buffered bytes still count as a connection.
    EXPECT_TRUE(client.IsConnected());
    EXPECT_EQ(IO().TakeBufferedText(), std::string(40, 'b'));
    EXPECT_FALSE(client.IsConnected());
}

// Stream reads.

TEST_F(ConnectionTest, CopyingUntilTheCloseKeepsEverythingAndEndsNormally)
{
    std::string body;
    for (int i = 0; body.size() < 200000; ++i)
        body += std::to_string(i) + ",";
    peer.Send("head\r\n" + body.substr(0, 1000)).Pause(30ms).Send(body.substr(1000)).Close();
    Connect();
    EXPECT_EQ(IO().ReadLine(), "head");
    TMemoryStream stream;
    stream.WriteString("kept");
    IO().CopyToStream(stream, 0, true);
    EXPECT_EQ(stream.Bytes(), "kept" + body);
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(ConnectionTest, CopyingACountLeavesTheRestBuffered)
{
    peer.Send("0123456789").ReadUntilClosed();
    Connect();
    TMemoryStream stream;
    IO().CopyToStream(stream, 4);
    EXPECT_EQ(stream.Bytes(), "0123");
    std::string rest;
    IO().ReadByteCount(rest, 6);
    EXPECT_EQ(rest, "456789");
}

// A copy of 100 bytes after which 40 come and the peer closes or goes quiet:
// the stream always ends with the 40 bytes and nothing of its presizing.
TEST(CopyToStream, EndsEarlyWithWhatCame)
{
    struct Row {
        const char* why;
        bool peerCloses;
        bool untilDisconnect;
        const char* raised; // empty when the copy ends normally
    } rows[] = {
        {"close inside a counted copy", true, false, "Connection Closed Gracefully."},
        {"close inside an open-ended copy is its end", true, true, ""},
        {"stall inside a counted copy", false, false, "Read Timeout"},
        {"stall inside an open-ended copy", false, true, "Read Timeout"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        ScriptedPeer peer;
        peer.Send(std::string(40, 'c'));
        if (row.peerCloses)
            peer.Close();
        else
            peer.ReadUntilClosed();
        peer.Start();
        TIdTCPClientCustom client;
        client.SetHost("127.0.0.1");
        client.SetPort(peer.Port());
        client.SetReadTimeout(row.peerCloses ? ConnectionTest::kPatientTimeout : ConnectionTest::kShortTimeout);
        client.ConnectToPeer();
        TMemoryStream stream;
        std::string raised;
        try {
            client.IOHandler()->CopyToStream(stream, 100, row.untilDisconnect);
        } catch (const EIdException& e) {
            raised = e.what();
        }
        EXPECT_EQ(raised, row.raised);
        EXPECT_EQ(stream.Bytes(), std::string(40, 'c'));
    }
}

TEST_F(ConnectionTest, ReadProgressIsReportedAsOneNestedWork)
{
    peer.Send(std::string(100000, 'w')).Close();
    Connect();
    int begins = 0;
    int ends = 0;
    std::int64_t last = 0;
    client.OnWorkBegin = [&](TObject* sender, TWorkMode mode, std::int64_t) {
        EXPECT_EQ(sender, &client);
        EXPECT_EQ(mode, wmRead);
        ++begins;
    };
    client.OnWork = [&](TObject*, TWorkMode, std::int64_t count) {
        EXPECT_GT(count, last);
        last = count;
    };
    client.OnWorkEnd = [&](TObject*, TWorkMode) { ++ends; };
    client.BeginWork(wmRead);
    TMemoryStream stream;
    IO().CopyToStream(stream, 0, true);
    client.EndWork(wmRead);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(last, 100000);
}

// The connection's end.

TEST_F(ConnectionTest, AResetIsNoLongerConnectedWithoutRaising)
{
    // The reset waits for the client: one that came before the connect
    // ended would fail the connect instead.
    peer.Send("abc").ReadUntil("go").Reset();
    Connect();
    IO().SendText("go");
    peer.Wait();
    EXPECT_NO_THROW(client.IsConnected());
    IO().TakeBufferedText();
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(ConnectionTest, AResetWhileReadingRaisesASocketError)
{
    peer.ReadUntil("go").Reset();
    Connect();
    IO().SendText("go");
    peer.Wait();
    try {
        IO().ReadLine();
        FAIL() << "no exception";
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError(), 10054);
        EXPECT_EQ(e.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
    }
}

TEST_F(ConnectionTest, ClosingEndsTheConnectionEvenWithBytesBuffered)
{
    peer.Send("left over").ReadUntilClosed().Accept().Send("again\n").ReadUntilClosed();
    Connect();
    std::string first;
    IO().ReadByteCount(first, 1); // something arrived
    std::vector<TIdStatus> statuses;
    client.OnStatus = [&](TObject*, TIdStatus status, const std::string&) { statuses.push_back(status); };
    int disconnected = 0;
    client.OnDisconnected = [&](TObject*) { ++disconnected; };
    client.CloseConnection();
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(disconnected, 1);
    EXPECT_EQ(statuses, (std::vector<TIdStatus>{hsDisconnecting, hsDisconnected}));
    // The handler is used again by the next connect.
    TIdIOHandler* handler = client.IOHandler();
    client.ConnectToPeer();
    EXPECT_EQ(client.IOHandler(), handler);
    EXPECT_EQ(IO().ReadLine(), "again");
}

} // namespace
