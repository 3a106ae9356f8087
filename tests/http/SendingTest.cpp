#include "ConnectionFixture.h"

#include "http/EIdException.h"
#include "http/EIdSocketError.h"
#include "runtime/TStringStream.h"

namespace {

TEST_F(ConnectionTest, SendsLinesTextAndBytesAsGiven)
{
    peer.ReadUntil("end\r\n");
    Connect();
    IO().SendText("");
    IO().SendText("GET / HTTP/1.1");
    IO().SendLine("");
    IO().SendBytes(std::string("\0\x01", 2));
    IO().SendLine("end");
    peer.Wait();
    EXPECT_EQ(peer.Failure(), "");
    EXPECT_EQ(peer.Received(),
              std::string("GET / HTTP/1.1\r\n\0\x01"
                          "end\r\n",
                          23));
}

TEST_F(ConnectionTest, ABatchGoesOutWhenFlushedAndACancelledOneNever)
{
    peer.ReadUntil("B\r\n");
    Connect();
    IO().BeginBatch();
    IO().SendLine("dropped");
    IO().CancelBatch();
    EXPECT_FALSE(IO().Batching());
    IO().BeginBatch();
    IO().SendLine("A");
    IO().SendLine("B");
    IO().EndBatch();
    peer.Wait();
    EXPECT_EQ(peer.Received(), "A\r\nB\r\n");
}

TEST_F(ConnectionTest, ABatchFlushesOnReachingItsThreshold)
{
    peer.ReadUntil("12345");
    Connect();
    IO().BeginBatch(5);
    IO().SendText("123");
    IO().SendText("45");
    peer.Wait(); // would time out if the bytes were still held
    EXPECT_EQ(peer.Failure(), "");
    IO().CancelBatch();
}

TEST_F(ConnectionTest, SendsLinesWithTheirCount)
{
    peer.ReadUntil("two\r\n");
    Connect();
    IO().SendLines({"one", "two"}, true);
    peer.Wait();
    EXPECT_EQ(peer.Received(), std::string("\0\0\0\2one\r\ntwo\r\n", 14));
}

TEST_F(ConnectionTest, SendsStreamsWholeOrFromTheirPosition)
{
    peer.ReadUntil("|");
    Connect();
    IO().SetSendBufferSize(3);
    TStringStream stream("0123456789");
    stream.SetPosition(5);
    IO().SendStream(stream); // size 0: all of it, from the start
    stream.SetPosition(7);
    IO().SendStream(stream, -1, true); // the rest, after its size
    IO().SendText("|");
    peer.Wait();
    EXPECT_EQ(peer.Received(),
              std::string("0123456789\0\0\0\3"
                          "789|",
                          18));
}

TEST_F(ConnectionTest, SendingToAClosedPeerRaisesInsteadOfKillingTheProcess)
{
    peer.Close();
    Connect();
    peer.Wait();
    bool raised = false;
    for (int i = 0; i < 10000 && !raised; ++i) {
        try {
            IO().SendText("x");
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError(), 10054);
            raised = true;
        }
    }
    EXPECT_TRUE(raised);
}

TEST_F(ConnectionTest, SendingAfterThePeerClosedRaisesConnClosedGracefully)
{
    peer.Close();
    Connect();
    peer.Wait();
    EXPECT_FALSE(client.IsConnected()); // sees the close
    EXPECT_RAISES(IO().SendText("x"), EIdConnClosedGracefully, "Connection Closed Gracefully.");
}

} // namespace
