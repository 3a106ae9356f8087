#pragma once

#include "http/TIdIOHandler.h"
#include "http/TIdTCPClientCustom.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

// A client connected to a scripted loopback peer. The script is written
// before Connect. Tests that expect a read to time out ask for a short read
// timeout; the others wait patiently, so a busy machine cannot fail them.
class ConnectionTest : public ::testing::Test {
public:
    static constexpr int kShortTimeout = 300;
    static constexpr int kPatientTimeout = 5000;

protected:
    void Connect(int readTimeout = kPatientTimeout)
    {
        peer.Start();
        client.SetHost("127.0.0.1");
        client.SetPort(peer.Port());
        client.SetReadTimeout(readTimeout);
        client.ConnectToPeer();
    }

    TIdIOHandler& IO() { return *client.IOHandler(); }

    // Declared first, so that the client closes before the peer goes.
    ScriptedPeer peer;
    TIdTCPClientCustom client;
};

// Expects statement to raise Exception with exactly message.
#define EXPECT_RAISES(statement, Exception, message)                                                                   \
    do {                                                                                                               \
        try {                                                                                                          \
            statement;                                                                                                 \
            ADD_FAILURE() << "no " #Exception;                                                                         \
        } catch (const Exception& raised) {                                                                            \
            EXPECT_EQ(std::string(raised.what()), message);                                                            \
        }                                                                                                              \
    } while (false)
