// The matcher against PCRE2's interpreter (no JIT) and std::regex on the
// link-resolution patterns, and a search for an absent literal against
// memchr. Run by hand:
//   cmake -S . -B build/bench -G Ninja -DSKERROW_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/bench -j2 --target regex_bench
//   build/bench/bench/regex/regex_bench
// and compare the rows of one run with each other.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "regex/TRegExpr.h"

#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstring>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct LinkPattern {
    const char* pattern;
    bool greedy;
};

// All four are case-insensitive; the identifier pattern alone is greedy.
const LinkPattern kLinkPatterns[] = {
    {"v=(.*)", true},
    {"&token=(.*)&", false},
    {"&title=(.*)(&|$)", false},
    {"&fmt_map=(.*)&", false},
};

// A video-information record of about 30 KB: '&'-separated fields, long
// percent-encoded stream lists first, the wanted fields among the others.
std::string Record()
{
    std::string streams = "&url_encoded_fmt_stream_map=";
    for (int i = 0; streams.size() < 24000; ++i) {
        streams += "url%3Dhttp%253A%252F%252Fv" + std::to_string(i % 24) + ".lscache" + std::to_string(i % 8) +
            ".c.youtube.com%252Fvideoplayback%253Fip%253D0.0.0.0"
            "%2526sparams%253Did%25252Cexpire%25252Cip%25252Citag%2526itag%253D" +
            std::to_string(i % 40) + "%2526expire%253D1262304000%26quality%3Dmedium%26fallback_host%3Dtc.v" +
            std::to_string(i) + ".cache%2C";
    }
    std::string record = "status=ok&allow_embed=1&creator=rockband&length_seconds=212"
                         "&keywords=live%2Cconcert%2Crock%2Cband%2Cstage&avg_rating=4.91"
                         "&view_count=1234567&author=rockband";
    record += streams;
    record += "&token=vjVQa1PpcFNqD9lLqC3vbxXpMZgD0B5CQyJxH3Gq9oM%3D"
              "&thumbnail_url=http%3A%2F%2Fi.ytimg.com%2Fvi%2FdQw4w9WgXcQ%2Fdefault.jpg";
    while (record.size() < 29000)
        record += "&watermark=http%3A%2F%2Fs.ytimg.com%2Fyt%2Fswf%2Flogowatermark-vfl" + std::to_string(record.size()) +
            ".swf";
    record += "&title=Rock+%26+Roll%3A+Live+at+the+Stadium+%282009%29"
              "&fmt_map=22%2F2000000%2F9%2F0%2F115%2C35%2F640000%2F9%2F0%2F115%2C18%2F512000%2F9%2F0%2F115"
              "&video_id=dQw4w9WgXcQ&plid=AASX8Y6zAtUa4b5g&ftoken=";
    return record;
}

std::vector<std::string> Addresses()
{
    std::vector<std::string> addresses;
    const char* const ids[] = {"dQw4w9WgXcQ", "9bZkp7q19f0", "kJQP7kiw5Fk", "JGwWNGJdvx8"};
    for (int i = 0; i < 200; ++i) {
        std::string address = "http://www.youtube.com/watch?";
        if (i % 3 == 1)
            address += "feature=related&";
        address += (i % 5 == 0 ? "V=" : "v=") + std::string(ids[i % 4]);
        if (i % 2 == 0)
            address += "&feature=player_embedded&list=PL" + std::to_string(i);
        addresses.push_back(address);
    }
    return addresses;
}

const std::string& TheRecord()
{
    static const std::string record = Record();
    return record;
}

const std::vector<std::string>& TheAddresses()
{
    static const std::vector<std::string> addresses = Addresses();
    return addresses;
}

// Ours: one compiled object per pattern.
std::vector<std::unique_ptr<TRegExpr>> OurMatchers()
{
    std::vector<std::unique_ptr<TRegExpr>> matchers;
    for (const auto& link : kLinkPatterns) {
        auto re = std::make_unique<TRegExpr>();
        re->SetModifier(rmIgnoreCase, true);
        re->SetModifier(rmGreedy, link.greedy);
        re->SetExpression(link.pattern);
        matchers.push_back(std::move(re));
    }
    return matchers;
}

struct Pcre2Pattern {
    pcre2_code* code;
    pcre2_match_data* data;
};

std::vector<Pcre2Pattern> Pcre2Patterns()
{
    std::vector<Pcre2Pattern> patterns;
    for (const auto& link : kLinkPatterns) {
        int error;
        PCRE2_SIZE offset;
        const uint32_t options = PCRE2_CASELESS | PCRE2_DOTALL | (link.greedy ? 0 : PCRE2_UNGREEDY);
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(link.pattern), PCRE2_ZERO_TERMINATED, options,
                                         &error, &offset, nullptr);
        if (!code)
            throw std::runtime_error("pcre2 compile");
        patterns.push_back({code, pcre2_match_data_create_from_pattern(code, nullptr)});
    }
    return patterns;
}

bool Pcre2Cut(const Pcre2Pattern& pattern, const std::string& text, std::string& value)
{
    if (pcre2_match(pattern.code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, pattern.data,
                    nullptr) <= 0)
        return false;
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(pattern.data);
    value.assign(text, offsets[2], offsets[3] - offsets[2]);
    return true;
}

std::vector<std::regex> StdPatterns()
{
    // std::regex has no ungreedy switch: the non-greedy ones are spelt so.
    return {std::regex("v=(.*)", std::regex::icase), std::regex("&token=(.*?)&", std::regex::icase),
            std::regex("&title=(.*?)(&|$)", std::regex::icase), std::regex("&fmt_map=(.*?)&", std::regex::icase)};
}

void BM_Record_Ours(benchmark::State& state)
{
    auto matchers = OurMatchers();
    const std::string& record = TheRecord();
    for (auto _ : state) {
        for (auto& re : matchers) {
            benchmark::DoNotOptimize(re->Exec(record));
            benchmark::DoNotOptimize(re->Capture(1));
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 4 * int64_t(record.size()));
}

void BM_Record_Pcre2(benchmark::State& state)
{
    auto patterns = Pcre2Patterns();
    const std::string& record = TheRecord();
    std::string value;
    for (auto _ : state) {
        for (const auto& pattern : patterns) {
            benchmark::DoNotOptimize(Pcre2Cut(pattern, record, value));
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 4 * int64_t(record.size()));
}

void BM_Record_StdRegex(benchmark::State& state)
{
    auto patterns = StdPatterns();
    const std::string& record = TheRecord();
    std::smatch match;
    for (auto _ : state) {
        for (const auto& pattern : patterns) {
            benchmark::DoNotOptimize(std::regex_search(record, match, pattern));
            benchmark::DoNotOptimize(match[1].str());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 4 * int64_t(record.size()));
}

void BM_Addresses_Ours(benchmark::State& state)
{
    auto matchers = OurMatchers();
    TRegExpr& re = *matchers[0];
    for (auto _ : state) {
        for (const auto& address : TheAddresses()) {
            re.Exec(address);
            benchmark::DoNotOptimize(re.Capture(1));
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 200);
}

void BM_Addresses_Pcre2(benchmark::State& state)
{
    auto patterns = Pcre2Patterns();
    std::string value;
    for (auto _ : state) {
        for (const auto& address : TheAddresses()) {
            Pcre2Cut(patterns[0], address, value);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 200);
}

void BM_Addresses_StdRegex(benchmark::State& state)
{
    const std::regex identifier("v=(.*)", std::regex::icase);
    std::smatch match;
    for (auto _ : state) {
        for (const auto& address : TheAddresses()) {
            std::regex_search(address, match, identifier);
            benchmark::DoNotOptimize(match[1].str());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 200);
}

// 64 MiB of records; the literal below never occurs in them.
const std::string& BigText()
{
    static const std::string text = [] {
        std::string all;
        all.reserve(64 << 20);
        while (all.size() + TheRecord().size() <= (64 << 20))
            all += TheRecord();
        all.resize(64 << 20, 'x');
        return all;
    }();
    return text;
}

constexpr const char* kAbsentLiteral = "zebra-unicorn";

void BM_AbsentLiteral_OursExecPos(benchmark::State& state)
{
    TRegExpr re;
    re.SetExpression(kAbsentLiteral);
    re.Exec(BigText());
    for (auto _ : state)
        benchmark::DoNotOptimize(re.ExecPos(1));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BigText().size()));
}

void BM_AbsentLiteral_OursExec(benchmark::State& state)
{
    TRegExpr re;
    re.SetExpression(kAbsentLiteral);
    for (auto _ : state)
        benchmark::DoNotOptimize(re.Exec(BigText()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BigText().size()));
}

void BM_AbsentLiteral_Memchr(benchmark::State& state)
{
    const std::string& text = BigText();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(text.data(), '\x01', text.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_AbsentLiteral_Pcre2(benchmark::State& state)
{
    int error;
    PCRE2_SIZE offset;
    pcre2_code* code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kAbsentLiteral), PCRE2_ZERO_TERMINATED, 0, &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const std::string& text = BigText();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data, nullptr));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

} // namespace

BENCHMARK(BM_Record_Ours);
BENCHMARK(BM_Record_Pcre2);
BENCHMARK(BM_Record_StdRegex);
BENCHMARK(BM_Addresses_Ours);
BENCHMARK(BM_Addresses_Pcre2);
BENCHMARK(BM_Addresses_StdRegex);
BENCHMARK(BM_AbsentLiteral_Memchr);
BENCHMARK(BM_AbsentLiteral_OursExecPos);
BENCHMARK(BM_AbsentLiteral_OursExec);
BENCHMARK(BM_AbsentLiteral_Pcre2);
BENCHMARK_MAIN();
