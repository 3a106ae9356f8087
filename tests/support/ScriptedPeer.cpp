#include "support/ScriptedPeer.h"
#include "support/Listening.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

struct ScriptedPeer::Step {
    enum Kind { Send, Pause, ReadUntil, ReadUntilClosed, Close, Reset, Accept } kind;
    std::string bytes;
    std::chrono::milliseconds delay{0};
};

ScriptedPeer::ScriptedPeer()
{
    steps_.push_back({Step::Accept, {}, {}});
}

ScriptedPeer::~ScriptedPeer()
{
    if (thread_.joinable()) {
        // Unblock a step that still waits, so the destructor cannot hang.
        if (listener_ >= 0)
            ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
    }
    if (connection_ >= 0)
        ::close(connection_);
    if (listener_ >= 0)
        ::close(listener_);
}

ScriptedPeer& ScriptedPeer::Send(std::string bytes)
{
    steps_.push_back({Step::Send, std::move(bytes), {}});
    return *this;
}

ScriptedPeer& ScriptedPeer::Pause(std::chrono::milliseconds delay)
{
    steps_.push_back({Step::Pause, {}, delay});
    return *this;
}

ScriptedPeer& ScriptedPeer::ReadUntil(std::string marker)
{
    steps_.push_back({Step::ReadUntil, std::move(marker), {}});
    return *this;
}

ScriptedPeer& ScriptedPeer::ReadUntilClosed()
{
    steps_.push_back({Step::ReadUntilClosed, {}, {}});
    return *this;
}

ScriptedPeer& ScriptedPeer::Close()
{
    steps_.push_back({Step::Close, {}, {}});
    return *this;
}

ScriptedPeer& ScriptedPeer::Reset()
{
    steps_.push_back({Step::Reset, {}, {}});
    return *this;
}

ScriptedPeer& ScriptedPeer::Accept()
{
    steps_.push_back({Step::Accept, {}, {}});
    return *this;
}

void ScriptedPeer::Start()
{
    listener_ = ListenOnLoopback(8, port_, "scripted peer");
    thread_ = std::thread([this] { Play(); });
}

void ScriptedPeer::Wait()
{
    std::unique_lock lock(mutex_);
    doneChanged_.wait(lock, [this] { return done_; });
}

std::string ScriptedPeer::Received() const
{
    std::lock_guard lock(mutex_);
    std::string all;
    for (const std::string& bytes : received_)
        all += bytes;
    return all;
}

std::string ScriptedPeer::Received(std::size_t connection) const
{
    std::lock_guard lock(mutex_);
    return connection < received_.size() ? received_[connection] : std::string();
}

int ScriptedPeer::Connections() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(received_.size());
}

std::string ScriptedPeer::Failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

void ScriptedPeer::Play()
{
    for (const Step& step : steps_)
        if (!PlayStep(step))
            break;
    std::lock_guard lock(mutex_);
    done_ = true;
    doneChanged_.notify_all();
}

bool ScriptedPeer::PlayStep(const Step& step)
{
    switch (step.kind) {
    case Step::Accept: return AcceptConnection();
    case Step::Send: {
        std::size_t sent = 0;
        while (sent < step.bytes.size()) {
            ssize_t n = ::send(connection_, step.bytes.data() + sent, step.bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                Fail("send failed");
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    case Step::Pause: std::this_thread::sleep_for(step.delay); return true;
    case Step::ReadUntil: {
        auto deadline = std::chrono::steady_clock::now() + stepTimeout;
        for (;;) {
            std::string mine = Received(received_.size() - 1);
            std::size_t at = mine.find(step.bytes, consumed_);
            if (at != std::string::npos) {
                consumed_ = at + step.bytes.size();
                return true;
            }
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReceiveSome(left)) {
                Fail("did not receive \"" + step.bytes + "\"");
                return false;
            }
        }
    }
    case Step::ReadUntilClosed:
        while (ReceiveSome(stepTimeout)) {}
        return true;
    case Step::Close:
    case Step::Reset: CloseConnection(step.kind == Step::Reset); return true;
    }
    return false;
}

bool ScriptedPeer::AcceptConnection()
{
    if (connection_ >= 0)
        CloseConnection(false);
    pollfd wait{listener_, POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(stepTimeout.count())) <= 0 || !(wait.revents & POLLIN)) {
        Fail("no connection came");
        return false;
    }
    connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection_ < 0) {
        Fail("accept failed");
        return false;
    }
    std::lock_guard lock(mutex_);
    received_.emplace_back();
    consumed_ = 0;
    return true;
}

// Receives what is there within wait; false when the client closed, the
// connection failed or nothing came.
bool ScriptedPeer::ReceiveSome(std::chrono::milliseconds wait)
{
    pollfd ready{connection_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(wait.count())) <= 0)
        return false;
    char buffer[65536];
    ssize_t n = ::recv(connection_, buffer, sizeof buffer, 0);
    if (n <= 0)
        return false;
    std::lock_guard lock(mutex_);
    received_.back().append(buffer, static_cast<std::size_t>(n));
    return true;
}

void ScriptedPeer::CloseConnection(bool reset)
{
    if (connection_ < 0)
        return;
    if (reset) {
        linger abort{1, 0};
        ::setsockopt(connection_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(connection_);
    connection_ = -1;
}

void ScriptedPeer::Fail(std::string why)
{
    std::lock_guard lock(mutex_);
    if (failure_.empty())
        failure_ = std::move(why);
}
