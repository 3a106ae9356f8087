// The user's path: the built program, `skerrow --download URL`, run as a
// child against nginx on loopback, beside the peers a user would compare it
// with, in the same run: `curl -s -o FILE URL`, and aria2c with four
// connections where the server holds each connection to a rate. Each server
// is a row; in each round every program runs once, the order turning from
// round to round; every saved file is compared with the served one. The
// figures are medians: each program's time as a share of curl's speed, and
// each program's own peak resident memory.
//
//   skerrow_download_bench [--rounds N] [--size MiB] [ROW ...]
//
// Rows: plain (unthrottled), limited (limit_rate 8m per connection), single
// (one connection per client: the extra ones are answered 503). Default: all
// three, 5 rounds of 512 MiB.

#include "BenchFiles.h"
#include "support/NginxServer.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Row {
    const char* name;
    const char* what;
    std::string serverConfig;
    std::string httpConfig;
    bool withAria2;
};

const Row kRows[] = {
    {"plain", "unthrottled", "", "", false},
    {"limited", "limit_rate 8m per connection", "limit_rate 8m;", "", true},
    {"single", "one connection per client, the extra ones answered 503",
     "limit_conn perclient 1; limit_conn_status 503;", "limit_conn_zone $binary_remote_addr zone=perclient:1m;", false},
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
    bool succeeded = false;
};

// Runs a program with its output thrown away; its time from start to end
// and its own peak resident memory.
ChildRun RunChild(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {std::chrono::duration<double>(Clock::now() - start).count(), usage.ru_maxrss,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

struct Peer {
    std::string name;
    std::vector<std::string> (*command)(const std::string& url, const fs::path& output);
    std::vector<double> seconds;
    std::vector<double> peaksMiB;
};

std::vector<std::string> Skerrow(const std::string& url, const fs::path& output)
{
    return {SKERROW_BINARY, "--download", url, "--output", output.string()};
}

std::vector<std::string> Curl(const std::string& url, const fs::path& output)
{
    return {"curl", "-s", "-o", output.string(), url};
}

std::vector<std::string> Aria2(const std::string& url, const fs::path& output)
{
    return {"aria2c",          "-x4", "-s4", "-q", "--allow-overwrite=true", "-d", output.parent_path().string(), "-o",
            output.filename(), url};
}

// Every program once, in an order that turns from round to round.
bool RunRound(std::vector<Peer>& peers, int round, const std::string& url, const fs::path& served,
              const fs::path& output)
{
    for (std::size_t turn = 0; turn < peers.size(); ++turn) {
        Peer& peer = peers[(turn + static_cast<std::size_t>(round)) % peers.size()];
        fs::remove(output);
        ChildRun run = RunChild(peer.command(url, output));
        if (!run.succeeded || !SameBytes(served, output)) {
            std::fprintf(stderr, "%s failed or saved other bytes\n", peer.name.c_str());
            return false;
        }
        peer.seconds.push_back(run.seconds);
        peer.peaksMiB.push_back(static_cast<double>(run.peakKiB) / 1024);
    }
    fs::remove(output);
    return true;
}

bool RunRow(const Row& row, int rounds, long mib, const fs::path& folder)
{
    const std::string name = "random.mp4"; // a direct link: the program fetches no page first
    NginxServer nginx((folder / "root").string(), "location / { " + row.serverConfig + " }", {}, row.httpConfig);
    const std::string url = nginx.BaseUrl() + "/" + name;
    std::vector<Peer> peers{{"curl", &Curl, {}, {}}, {"skerrow", &Skerrow, {}, {}}};
    if (row.withAria2)
        peers.push_back({"aria2c -x4 -s4", &Aria2, {}, {}});
    for (int round = 0; round < rounds; ++round)
        if (!RunRound(peers, round, url, folder / "root" / name, folder / "out" / name))
            return false;
    const double curl = Median(peers[0].seconds);
    for (const Peer& peer : peers) {
        const double seconds = Median(peer.seconds);
        std::printf("| %s (%s) | %s | %.2f | %.0f | %.2f | %.1f |\n", row.name, row.what, peer.name.c_str(), seconds,
                    static_cast<double>(mib) / seconds, curl / seconds, Median(peer.peaksMiB));
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    long mib = 512;
    std::vector<std::string> rowNames;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc)
            mib = std::max(1L, std::strtol(argv[++i], nullptr, 10));
        else
            rowNames.push_back(argv[i]);
    }
    fs::path folder = fs::temp_directory_path() / ("skerrow-program-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "root");
    fs::create_directories(folder / "out");
    WriteRandomFile(folder / "root" / "random.mp4", mib);
    // What the program holds before it downloads anything: the libraries it
    // loads, which every row's figure includes.
    std::vector<std::string> version{SKERROW_BINARY, "--version"};
    std::printf("%ld MiB, medians of %d rounds; skerrow --version peaks at %.1f MiB\n\n", mib, rounds,
                static_cast<double>(RunChild(version).peakKiB) / 1024);
    std::printf("| server | program | seconds | MiB/s | speed / curl's | peak memory MiB |\n");
    std::printf("|---|---|---|---|---|---|\n");
    int status = 0;
    for (const Row& row : kRows) {
        if (!rowNames.empty() && std::find(rowNames.begin(), rowNames.end(), row.name) == rowNames.end())
            continue;
        if (!RunRow(row, rounds, mib, folder)) {
            status = 1;
            break;
        }
    }
    fs::remove_all(folder);
    return status;
}
