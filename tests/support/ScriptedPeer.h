#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A loopback peer that accepts connections and plays a fixed script on them,
// so a test can say exactly what the other side sends, when it pauses and how
// it ends. Everything it receives is recorded.
//
//   ScriptedPeer peer;
//   peer.ReadUntil("\r\n\r\n").Send("HTTP/1.1 200 OK\r\n...").Close();
//   peer.Start();
//   ... connect to 127.0.0.1:peer.Port() ...
//   peer.Wait();
class ScriptedPeer {
public:
    ScriptedPeer();
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    // Script steps, played in order on the current connection.
    ScriptedPeer& Send(std::string bytes);
    ScriptedPeer& Pause(std::chrono::milliseconds delay);
    // Receives until the bytes received on this connection contain marker
    // (after what earlier ReadUntil steps consumed).
    ScriptedPeer& ReadUntil(std::string marker);
    // Receives until the client closes its side.
    ScriptedPeer& ReadUntilClosed();
    // Ends the connection with an orderly close, or with a reset.
    ScriptedPeer& Close();
    ScriptedPeer& Reset();
    // Accepts the next connection; later steps play on it.
    ScriptedPeer& Accept();

    // Binds 127.0.0.1 on a free port and starts playing (the first step
    // waits for a connection).
    void Start();
    std::uint16_t Port() const { return port_; }

    // Waits until the script has been played (or a step failed).
    void Wait();

    // Everything received on every connection, in order.
    std::string Received() const;
    // What was received on connection n (counting from 0).
    std::string Received(std::size_t connection) const;
    int Connections() const;
    // A step that could not be played (a read that timed out, say); empty when
    // everything went to plan.
    std::string Failure() const;

    // How long a ReadUntil or Accept waits before the script is abandoned.
    std::chrono::milliseconds stepTimeout{5000};

private:
    struct Step;
    void Play();
    bool PlayStep(const Step& step);
    bool AcceptConnection();
    bool ReceiveSome(std::chrono::milliseconds wait);
    void CloseConnection(bool reset);
    void Fail(std::string why);

    std::vector<Step> steps_;
    int listener_ = -1;
    int connection_ = -1;
    std::uint16_t port_ = 0;
    std::size_t consumed_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> received_;
    std::string failure_;
    bool done_ = false;
    std::condition_variable doneChanged_;
};
