// Buffered reading over loopback against plain socket loops over the same
// bytes. Run by hand: build with -DSKERROW_BENCH=ON, then
//   build/bench/bench/http/http_bench
// and compare each pair in the same run.
#include "http/TIdIOHandler.h"
#include "http/TIdTCPClientCustom.h"
#include "runtime/TMemoryStream.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

constexpr std::int64_t kCopyBytes = std::int64_t(1) << 30;
constexpr std::int64_t kLineBytes = 100 << 20;
constexpr int kLineLength = 80;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// Accepts one connection, sends total bytes made of pattern repeated, closes.
class LoopbackSender {
public:
    LoopbackSender(std::string pattern, std::int64_t total) : pattern_(std::move(pattern)), total_(total)
    {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener_, 1) != 0)
            throw std::runtime_error("cannot listen on loopback");
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackSender()
    {
        thread_.join();
        close(listener_);
    }
    int Port() const { return port_; }

private:
    void Serve()
    {
        int connection = accept(listener_, nullptr, nullptr);
        for (std::int64_t left = total_; left > 0;) {
            std::size_t step = static_cast<std::size_t>(std::min<std::int64_t>(left, pattern_.size()));
            ssize_t sent = send(connection, pattern_.data(), step, MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            left -= sent;
        }
        close(connection);
    }

    std::string pattern_;
    std::int64_t total_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

int ConnectPlain(int port)
{
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(port);
    if (connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect");
    return handle;
}

std::string Lines(std::size_t count)
{
    std::string line(kLineLength - 1, 'l');
    line += '\n';
    std::string lines;
    for (std::size_t i = 0; i < count; ++i)
        lines += line;
    return lines;
}

TMemoryStream& CopyTarget()
{
    static TMemoryStream target;
    if (target.Size() != kCopyBytes)
        target.SetSize(kCopyBytes);
    return target;
}

void BM_CopyToStream(benchmark::State& state)
{
    TMemoryStream& target = CopyTarget();
    for (auto _ : state) {
        LoopbackSender sender(std::string(1 << 20, 'c'), kCopyBytes);
        TIdTCPClientCustom client;
        client.SetHost("127.0.0.1");
        client.SetPort(sender.Port());
        client.ConnectToPeer();
        target.SetPosition(0);
        client.IOHandler()->CopyToStream(target, kCopyBytes);
        if (target.Position() != kCopyBytes)
            state.SkipWithError("short copy");
    }
    state.SetBytesProcessed(state.iterations() * kCopyBytes);
}

void BM_PlainRecvLoop(benchmark::State& state)
{
    char* memory = const_cast<char*>(CopyTarget().Memory());
    for (auto _ : state) {
        LoopbackSender sender(std::string(1 << 20, 'c'), kCopyBytes);
        int handle = ConnectPlain(sender.Port());
        std::int64_t received = 0;
        while (received < kCopyBytes) {
            std::size_t step = static_cast<std::size_t>(std::min<std::int64_t>(kCopyBytes - received, 32768));
            ssize_t n = recv(handle, memory + received, step, 0);
            if (n <= 0)
                break;
            received += n;
        }
        close(handle);
        if (received != kCopyBytes)
            state.SkipWithError("short receive");
    }
    state.SetBytesProcessed(state.iterations() * kCopyBytes);
}

void BM_ReadLine(benchmark::State& state)
{
    const std::string pattern = Lines(8192);
    std::int64_t lines = 0;
    for (auto _ : state) {
        LoopbackSender sender(pattern, kLineBytes);
        TIdTCPClientCustom client;
        client.SetHost("127.0.0.1");
        client.SetPort(sender.Port());
        client.ConnectToPeer();
        TIdIOHandler& io = *client.IOHandler();
        for (std::int64_t i = 0; i < kLineBytes / kLineLength; ++i) {
            std::string line = io.ReadLine();
            benchmark::DoNotOptimize(line.data());
            ++lines;
        }
    }
    state.SetBytesProcessed(state.iterations() * kLineBytes);
    state.counters["lines"] = static_cast<double>(lines);
}

// The same lines received with a plain loop, in receives of the same size as
// the handler's, and split with memchr, each line copied out as ReadLine
// hands it out.
void BM_PlainRecvSplit(benchmark::State& state)
{
    const std::string pattern = Lines(8192);
    std::int64_t lines = 0;
    constexpr std::size_t kReceive = 32768;
    std::string buffer(kReceive + kLineLength, '\0');
    for (auto _ : state) {
        LoopbackSender sender(pattern, kLineBytes);
        int handle = ConnectPlain(sender.Port());
        std::size_t held = 0;
        for (;;) {
            ssize_t n = recv(handle, buffer.data() + held, kReceive, 0);
            if (n <= 0)
                break;
            held += static_cast<std::size_t>(n);
            std::size_t start = 0;
            while (const void* end = std::memchr(buffer.data() + start, '\n', held - start)) {
                std::size_t stop = static_cast<const char*>(end) - buffer.data();
                std::string line(buffer.data() + start, stop - start);
                benchmark::DoNotOptimize(line.data());
                ++lines;
                start = stop + 1;
            }
            std::memmove(buffer.data(), buffer.data() + start, held - start);
            held -= start;
        }
        close(handle);
    }
    state.SetBytesProcessed(state.iterations() * kLineBytes);
    state.counters["lines"] = static_cast<double>(lines);
}

} // namespace

BENCHMARK(BM_CopyToStream)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRecvLoop)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadLine)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRecvSplit)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
