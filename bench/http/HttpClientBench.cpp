// TIdHTTP against libcurl, both fetching from one nginx on loopback, over
// plain http and over TLS (both verifying a certificate made for the run):
//   1,000 GETs of a 20 KB page over one kept-alive connection (curl reuses
//   its handle), and one GET of a 64 MiB body into memory.
// Run by hand: build with -DSKERROW_BENCH=ON, then
//   build/bench/bench/http/http_client_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
// and compare the medians of each Skerrow/curl pair.
#include "http/TIdHTTP.h"

#include "support/NginxServer.h"
#include "support/TestCertificates.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kSmallGets = 1000;
constexpr std::size_t kSmallSize = 20 * 1024;
constexpr std::size_t kLargeSize = std::size_t(64) << 20;

struct Site {
    fs::path root;
    std::unique_ptr<NginxServer> nginx;

    Site() : root(fs::temp_directory_path() / ("skerrow-http-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(root);
        std::ofstream(root / "page.html", std::ios::binary) << std::string(kSmallSize, 'p');
        std::ofstream(root / "large.bin", std::ios::binary) << std::string(kLargeSize, 'L');
        TestCertificates::Instance().Trust();
        nginx = std::make_unique<NginxServer>(root.string(), "", std::vector{TestCertificates::Instance().Good()});
    }
    ~Site()
    {
        nginx.reset();
        fs::remove_all(root);
    }
    std::string Url(const char* path, bool secure) const
    {
        return (secure ? nginx->SecureBaseUrl() : nginx->BaseUrl()) + path;
    }
};

Site& TheSite()
{
    static Site site;
    return site;
}

std::size_t AppendToString(char* bytes, std::size_t size, std::size_t count, void* target)
{
    static_cast<std::string*>(target)->append(bytes, size * count);
    return size * count;
}

// count GETs of path over one client (and so one kept-alive connection).
void SkerrowGets(benchmark::State& state, const char* path, int count, std::size_t size, bool secure)
{
    const std::string url = TheSite().Url(path, secure);
    for (auto _ : state) {
        TIdHTTP http;
        http.SetReadTimeout(6000);
        for (int i = 0; i < count; ++i)
            if (http.GetToString(url).size() != size)
                state.SkipWithError("short body");
    }
}

// The same with one reused curl handle.
void CurlGets(benchmark::State& state, const char* path, int count, std::size_t size, bool secure)
{
    const std::string url = TheSite().Url(path, secure);
    const std::string authority = TestCertificates::Instance().Authority();
    for (auto _ : state) {
        CURL* curl = curl_easy_init();
        std::string body;
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_CAINFO, authority.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToString);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        for (int i = 0; i < count; ++i) {
            body.clear();
            if (curl_easy_perform(curl) != CURLE_OK || body.size() != size)
                state.SkipWithError("curl failed");
        }
        curl_easy_cleanup(curl);
    }
}

} // namespace

BENCHMARK_CAPTURE(SkerrowGets, small_pages, "/page.html", kSmallGets, kSmallSize, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(CurlGets, small_pages, "/page.html", kSmallGets, kSmallSize, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(SkerrowGets, large_body, "/large.bin", 1, kLargeSize, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(CurlGets, large_body, "/large.bin", 1, kLargeSize, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(SkerrowGets, small_pages_tls, "/page.html", kSmallGets, kSmallSize, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(CurlGets, small_pages_tls, "/page.html", kSmallGets, kSmallSize, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(SkerrowGets, large_body_tls, "/large.bin", 1, kLargeSize, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(CurlGets, large_body_tls, "/large.bin", 1, kLargeSize, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
