#include "support/RangePeer.h"
#include "support/Listening.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// A request's head is a few lines; more than this is no client of ours.
constexpr std::size_t kLongestHead = 64 * 1024;

// The value of a header line of head; empty when it has none.
std::string HeaderValue(const std::string& head, const std::string& name)
{
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos)
        return "";
    const std::size_t start = at + name.size() + 4;
    return head.substr(start, head.find("\r\n", start) - start);
}

bool SendAll(int connection, const char* bytes, std::size_t count)
{
    while (count > 0) {
        ssize_t sent = ::send(connection, bytes, count, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

} // namespace

RangePeer::RangePeer(std::vector<TVersion> versions) : versions_(std::move(versions))
{
    listener_ = ListenOnLoopback(16, port_, "range peer");
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

RangePeer::~RangePeer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (int connection : connections_)
            ::shutdown(connection, SHUT_RDWR);
    }
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    for (std::thread& server : servers_)
        server.join();
    for (int connection : connections_)
        ::close(connection);
    ::close(listener_);
}

void RangePeer::CutRangeAt(std::int64_t first, std::size_t bytes)
{
    std::lock_guard lock(mutex_);
    cutFirst_ = first;
    cutBytes_ = bytes;
}

void RangePeer::ServeNextVersionFrom(int request)
{
    std::lock_guard lock(mutex_);
    nextVersionFrom_ = request;
}

std::vector<std::string> RangePeer::Ranges() const
{
    std::lock_guard lock(mutex_);
    return ranges_;
}

std::vector<std::string> RangePeer::IfRanges() const
{
    std::lock_guard lock(mutex_);
    return ifRanges_;
}

void RangePeer::AcceptLoop()
{
    for (;;) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(connection);
            return;
        }
        connections_.push_back(connection);
        servers_.emplace_back([this, connection] { Serve(connection); });
    }
}

// Requests one after another on a kept connection, until the client closes.
void RangePeer::Serve(int connection)
{
    std::string received;
    char buffer[16384];
    for (;;) {
        const std::size_t end = received.find("\r\n\r\n");
        if (end != std::string::npos) {
            const std::string head = received.substr(0, end + 2);
            received.erase(0, end + 4);
            if (!Answer(connection, head))
                break;
            continue;
        }
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0 || received.size() > kLongestHead)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    ::shutdown(connection, SHUT_RDWR);
}

bool RangePeer::Answer(int connection, const std::string& head)
{
    const std::string range = HeaderValue(head, "Range");
    const std::string ifRange = HeaderValue(head, "If-Range");
    std::size_t version = 0;
    std::size_t cutAfter = std::string::npos;
    std::int64_t first = 0;
    std::int64_t last = -1;
    if (range.rfind("bytes=", 0) == 0) {
        first = std::stoll(range.substr(6));
        const std::string lastText = range.substr(range.find('-') + 1);
        last = lastText.empty() ? -1 : std::stoll(lastText);
    }
    {
        std::lock_guard lock(mutex_);
        if (nextVersionFrom_ >= 0 && static_cast<int>(ranges_.size()) >= nextVersionFrom_)
            version = 1;
        ranges_.push_back(range);
        ifRanges_.push_back(ifRange);
        if (!range.empty() && first == cutFirst_) {
            cutAfter = cutBytes_;
            cutFirst_ = -1;
        }
    }
    const TVersion& served = versions_[std::min(version, versions_.size() - 1)];
    const auto length = static_cast<std::int64_t>(served.Body.size());
    const bool partial = !range.empty() && (ifRange.empty() || ifRange == served.ETag) && first < length;
    if (!partial || last < 0 || last >= length)
        last = length - 1;
    if (!partial)
        first = 0;
    std::string reply = partial ? "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) +
            "-" + std::to_string(last) + "/" + std::to_string(length) + "\r\n"
                                : "HTTP/1.1 200 OK\r\n";
    reply += "Content-Length: " + std::to_string(last - first + 1) +
        "\r\nAccept-Ranges: bytes\r\nETag: " + served.ETag + "\r\n\r\n";
    const std::size_t count = std::min(static_cast<std::size_t>(last - first + 1), cutAfter);
    return SendAll(connection, reply.data(), reply.size()) && SendAll(connection, served.Body.data() + first, count) &&
        cutAfter == std::string::npos;
}
