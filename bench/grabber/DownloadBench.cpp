// Downloads one file of random bytes from nginx on loopback, round after
// round, with `curl -s -o FILE URL` and through TJvHttpUrlGrabber with a
// real Qt loop receiving the hand-overs. The order of the two alternates
// from round to round, every saved file is compared with the served one,
// and the medians are compared: the engine's throughput as a share of
// curl's, and its peak resident memory above its idle figure.
//
//   grabber_bench [--rounds N] [MiB ...]        (default: 5 rounds of 512)

#include "BenchFiles.h"
#include "framework/SynchronizeBridge.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "support/NginxServer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

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
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double CurlSeconds(const std::string& url, const fs::path& output)
{
    std::string command = "curl -s -o '" + output.string() + "' '" + url + "'";
    auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "curl failed\n");
    return Seconds(start);
}

struct EngineRun {
    double seconds = 0;
    long peakAboveIdleKiB = 0;
    std::string error;
};

EngineRun EngineDownload(QCoreApplication& application, const std::string& url, const fs::path& output)
{
    EngineRun run;
    TJvHttpUrlGrabber grabber;
    grabber.SetProxyMode(pmNoProxy);
    grabber.SetFileName(output.string());
    grabber.SetUrl(url);
    // Cheap handlers, like the download window's.
    std::int64_t lastPosition = 0;
    grabber.OnProgress = [&](TObject*, std::int64_t position, std::int64_t, const std::string&, bool&) {
        lastPosition = position;
    };
    grabber.OnError = [&](TObject*, const std::string& message) { run.error = message; };
    grabber.OnConnectionClosed = [&](TObject*) {
        if (grabber.Status() == gsStopped)
            application.quit();
    };
    ResetPeak();
    const long idleKiB = StatusKiB("VmRSS");
    auto start = Clock::now();
    grabber.Start();
    application.exec();
    run.seconds = Seconds(start);
    run.peakAboveIdleKiB = StatusKiB("VmHWM") - idleKiB;
    grabber.Stop();
    return run;
}

struct Rounds {
    std::vector<double> curl;
    std::vector<double> engine;
    long peakAboveIdleKiB = 0;
};

// One round: both downloads, in the order given, each checked byte by byte.
bool RunRound(QCoreApplication& application, const std::string& url, const fs::path& served, const fs::path& output,
              bool curlFirst, Rounds& rounds)
{
    for (int turn = 0; turn < 2; ++turn) {
        fs::remove(output);
        if ((turn == 0) == curlFirst) {
            rounds.curl.push_back(CurlSeconds(url, output));
            if (!SameBytes(served, output)) {
                std::fprintf(stderr, "curl saved other bytes\n");
                return false;
            }
            continue;
        }
        EngineRun engine = EngineDownload(application, url, output);
        if (!engine.error.empty() || !SameBytes(served, output)) {
            std::fprintf(stderr, "engine run failed: %s\n",
                         engine.error.empty() ? "other bytes" : engine.error.c_str());
            return false;
        }
        rounds.engine.push_back(engine.seconds);
        rounds.peakAboveIdleKiB = std::max(rounds.peakAboveIdleKiB, engine.peakAboveIdleKiB);
    }
    fs::remove(output);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ConnectSynchronizeToQt();
    int roundCount = 5;
    std::vector<long> sizesMiB;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            roundCount = std::max(1, std::atoi(argv[++i]));
        else
            sizesMiB.push_back(std::strtol(argv[i], nullptr, 10));
    }
    if (sizesMiB.empty())
        sizesMiB = {512};

    fs::path folder = fs::temp_directory_path() / ("skerrow-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "root");
    std::printf("| size | rounds | curl median s | engine median s | curl MiB/s | engine MiB/s | engine/curl | "
                "peak above idle |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    int status = 0;
    for (long mib : sizesMiB) {
        std::string name = "random" + std::to_string(mib) + ".bin";
        fs::path served = folder / "root" / name;
        WriteRandomFile(served, mib);
        NginxServer nginx((folder / "root").string());
        std::string url = nginx.BaseUrl() + "/" + name;
        Rounds rounds;
        for (int round = 0; round < roundCount && status == 0; ++round)
            if (!RunRound(application, url, served, folder / ("out-" + name), round % 2 == 0, rounds))
                status = 1;
        fs::remove(served);
        if (status != 0)
            break;
        const double curl = Median(rounds.curl), engine = Median(rounds.engine);
        std::printf("| %ld MiB | %d | %.3f | %.3f | %.0f | %.0f | %.0f%% | %.1f MiB |\n", mib, roundCount, curl, engine,
                    mib / curl, mib / engine, 100 * curl / engine, rounds.peakAboveIdleKiB / 1024.0);
        std::fflush(stdout);
    }
    fs::remove_all(folder);
    return status;
}
