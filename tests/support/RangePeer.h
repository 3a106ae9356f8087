#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A loopback server of one file that serves every connection at once (a
// thread each) and honours Range and If-Range, for downloads over several
// connections that meet a fault on one of them: a range cut short, or the
// file replaced by another version while it is fetched. The ScriptedPeer
// plays one connection after another; a download in ranges needs several
// open together.
//
//   RangePeer peer({{body, "\"v1\""}});
//   peer.CutRangeAt(4 << 20, 1000);
//   ... http://127.0.0.1:peer.Port()/video.mp4 ...
class RangePeer {
public:
    struct TVersion {
        std::string Body;
        std::string ETag;
    };

    // Serves the first version; see ServeNextVersionFrom.
    explicit RangePeer(std::vector<TVersion> versions);
    ~RangePeer();
    RangePeer(const RangePeer&) = delete;
    RangePeer& operator=(const RangePeer&) = delete;

    std::uint16_t Port() const { return port_; }

    // The first request for a range that begins at `first` gets its head and
    // `bytes` bytes of its body, then the connection closes.
    void CutRangeAt(std::int64_t first, std::size_t bytes);
    // From the request-th request on (counting from 0, in the order they
    // arrive), the file is the next version.
    void ServeNextVersionFrom(int request);

    // The Range header of every request so far, in order ("" for none), and
    // their If-Range headers.
    std::vector<std::string> Ranges() const;
    std::vector<std::string> IfRanges() const;

private:
    void AcceptLoop();
    void Serve(int connection);
    // Answers one request; false when the connection is to close.
    bool Answer(int connection, const std::string& head);

    std::vector<TVersion> versions_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> servers_;
    std::vector<int> connections_;
    std::vector<std::string> ranges_;
    std::vector<std::string> ifRanges_;
    std::int64_t cutFirst_ = -1;
    std::size_t cutBytes_ = 0;
    int nextVersionFrom_ = -1;
    bool stopping_ = false;
};
