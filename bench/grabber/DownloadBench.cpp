// Downloads one large file from nginx on loopback twice in the same run:
// with `curl -s -o FILE URL` and through TJvHttpUrlGrabber with a real Qt
// loop receiving the hand-overs. Prints wall time, throughput and the
// ratio, and the engine's peak resident memory above its idle figure.
//
//   grabber_bench [MiB ...]        (default: 512 2048)

#include "framework/SynchronizeBridge.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "support/NginxServer.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A figure from /proc/self/status, in KiB.
long StatusKiB(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

// Starts the peak resident figure afresh (Linux: "5" resets VmHWM).
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double CurlSeconds(const std::string& url, const std::string& output)
{
    std::string command = "curl -s -o '" + output + "' '" + url + "'";
    auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "curl failed\n");
    return Seconds(start);
}

struct EngineRun {
    double seconds = 0;
    long idleKiB = 0;
    long peakKiB = 0;
    std::int64_t bytes = 0;
    std::string error;
};

EngineRun EngineDownload(QCoreApplication& application, const std::string& url, const std::string& output)
{
    EngineRun run;
    TJvHttpUrlGrabber grabber;
    grabber.SetProxyMode(pmNoProxy);
    grabber.SetFileName(output);
    grabber.SetUrl(url);
    // Cheap handlers, like the download window's.
    std::int64_t lastPosition = 0;
    grabber.OnProgress = [&](TObject*, std::int64_t position, std::int64_t, const std::string&, bool&) {
        lastPosition = position;
    };
    grabber.OnDoneFile = [&](TObject*, const std::string&, std::int64_t size, const std::string&) { run.bytes = size; };
    grabber.OnError = [&](TObject*, const std::string& message) { run.error = message; };
    grabber.OnConnectionClosed = [&](TObject*) {
        if (grabber.Status() == gsStopped)
            application.quit();
    };
    ResetPeak();
    run.idleKiB = StatusKiB("VmRSS");
    auto start = Clock::now();
    grabber.Start();
    application.exec();
    run.seconds = Seconds(start);
    run.peakKiB = StatusKiB("VmHWM");
    grabber.Stop();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ConnectSynchronizeToQt();
    std::vector<long> sizesMiB;
    for (int i = 1; i < argc; ++i)
        sizesMiB.push_back(std::strtol(argv[i], nullptr, 10));
    if (sizesMiB.empty())
        sizesMiB = {512, 2048};

    auto folder = std::filesystem::temp_directory_path() / ("skerrow-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "root");
    std::printf("| size | curl s | engine s | curl MiB/s | engine MiB/s | engine/curl | peak above idle |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (long mib : sizesMiB) {
        std::string name = "file" + std::to_string(mib) + ".bin";
        std::filesystem::path served = folder / "root" / name;
        std::ofstream(served).close();
        std::filesystem::resize_file(served, static_cast<std::uintmax_t>(mib) << 20);
        NginxServer nginx((folder / "root").string());
        std::string url = nginx.BaseUrl() + "/" + name;
        std::string output = (folder / ("out-" + name)).string();

        double curl = CurlSeconds(url, output);
        std::filesystem::remove(output);
        EngineRun engine = EngineDownload(application, url, output);
        std::filesystem::remove(output);
        std::filesystem::remove(served);
        if (!engine.error.empty() || engine.bytes != (static_cast<std::int64_t>(mib) << 20)) {
            std::fprintf(stderr, "engine run failed: %s (%lld bytes)\n", engine.error.c_str(),
                static_cast<long long>(engine.bytes));
            return 1;
        }
        std::printf("| %ld MiB | %.2f | %.2f | %.0f | %.0f | %.0f%% | %.1f MiB |\n", mib, curl, engine.seconds,
            mib / curl, mib / engine.seconds, 100 * curl / engine.seconds,
            (engine.peakKiB - engine.idleKiB) / 1024.0);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
