#include "framework/SynchronizeBridge.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "support/ScriptedPeer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <filesystem>

// The Qt loop alone runs a whole download's hand-overs: nothing in the test
// calls CheckSynchronize or waits for the worker.
TEST(SynchronizeBridge, TheQtLoopServesAWholeDownload)
{
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    ConnectSynchronizeToQt(); // already done by the test main; a second call changes nothing
    QEventLoop loop;

    ScriptedPeer peer;
    peer.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcd").Close();
    peer.Start();
    TJvHttpUrlGrabber grabber;
    grabber.SetProxyMode(pmNoProxy);
    grabber.SetOutputMode(omStream);
    grabber.SetUrl("http://127.0.0.1:" + std::to_string(peer.Port()) + "/x");
    std::string content;
    int progressEvents = 0;
    grabber.OnProgress = [&](TObject*, std::int64_t, std::int64_t, const std::string&, bool&) { ++progressEvents; };
    grabber.OnDoneStream = [&](TObject*, TStream& stream, std::int64_t size, const std::string&) {
        content.resize(static_cast<std::size_t>(size));
        stream.ReadBuffer(content.data(), size);
    };
    grabber.OnConnectionClosed = [&](TObject*) {
        if (grabber.Status() == gsStopped)
            loop.quit();
    };
    grabber.Start();
    loop.exec();
    grabber.Stop();

    EXPECT_EQ(content, "abcd");
    EXPECT_GT(progressEvents, 0);
}
