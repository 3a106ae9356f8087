#pragma once

#include "support/ScriptedPeer.h"

#include <string>
#include <utility>

// The video site played by a scripted peer, for downloads that meet a
// faltering server: each stream answer can stop short. The video's server
// can continue (Accept-Ranges and an ETag), so its answers from an offset
// are 206s with their Content-Range.
//
//   CuttingSite site(bytes);
//   site.Pages("cut").Stream(0, 5000).Stream(5000, 10000);
//   site.Start();
class CuttingSite {
public:
    explicit CuttingSite(std::string video) : video_(std::move(video)) {}

    // The watch page and the information record of a video by this id (no
    // format list: the file is saved under the id alone).
    CuttingSite& Pages(const std::string& id)
    {
        Answer(Page("<html>" + id + "</html>"));
        return Answer(Page("status=ok&token=tok&title=" + id + "&video_id=" + id));
    }

    // A stream answer that sends the video's bytes from `from` up to `upTo`
    // and closes.
    CuttingSite& Stream(std::size_t from, std::size_t upTo)
    {
        std::string length = std::to_string(video_.size());
        std::string head = from == 0
            ? "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n"
            : "HTTP/1.1 206 Partial Content\r\nContent-Length: " + std::to_string(video_.size() - from) +
                "\r\nContent-Range: bytes " + std::to_string(from) + "-" + std::to_string(video_.size() - 1) + "/" +
                length + "\r\n";
        return Answer(head + "Accept-Ranges: bytes\r\nETag: \"e1\"\r\n\r\n" + video_.substr(from, upTo - from));
    }

    void Start() { peer.Start(); }
    std::string Host() const { return "127.0.0.1:" + std::to_string(peer.Port()); }
    std::string WatchAddress(const std::string& id) const { return "http://" + Host() + "/watch?v=" + id; }

    ScriptedPeer peer;

private:
    static std::string Page(const std::string& text)
    {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n" +
            text;
    }

    CuttingSite& Answer(const std::string& bytes)
    {
        if (answers_++ > 0)
            peer.Accept();
        peer.ReadUntil("\r\n\r\n").Send(bytes).Close();
        return *this;
    }

    std::string video_;
    int answers_ = 0;
};
