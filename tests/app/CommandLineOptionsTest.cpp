// The command line's options as the parser reads them, and the batch file.
#include "app/CommandLineOptions.h"
#include "app/BatchFile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::optional<TCommandLineOptions> Parse(std::vector<std::string> words, std::string& error)
{
    std::vector<char*> argv{const_cast<char*>("skerrow")};
    for (std::string& word : words)
        argv.push_back(word.data());
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), error);
}

// What a row expects of the options; the defaults are those of no option.
struct TExpected {
    std::vector<std::string> addresses = {"A"};
    TVideoQuality quality = vqHighQuality;
    std::string output{};
    bool force = false;
    bool resume = true;
    std::string batchFile{};
    std::int64_t rate = 0;
    std::optional<std::string> proxy{};
    bool info = false;
    bool json = false;
    bool help = false;
    bool version = false;
};

void ExpectOptions(const TCommandLineOptions& options, const TExpected& expected)
{
    EXPECT_EQ(options.Addresses, expected.addresses);
    EXPECT_EQ(options.Quality, expected.quality);
    EXPECT_EQ(options.Output, expected.output);
    EXPECT_EQ(options.Force, expected.force);
    EXPECT_EQ(options.Continue, expected.resume);
    EXPECT_EQ(options.BatchFile, expected.batchFile);
    EXPECT_EQ(options.ReceiveRateLimit, expected.rate);
    EXPECT_EQ(options.Proxy, expected.proxy);
    EXPECT_EQ(options.Info, expected.info);
    EXPECT_EQ(options.Json, expected.json);
    EXPECT_EQ(options.Help, expected.help);
    EXPECT_EQ(options.Version, expected.version);
}

} // namespace

TEST(CommandLineOptions, ArgumentLinesGiveTheirOptions)
{
    const struct {
        std::vector<std::string> words;
        TExpected expected;
    } rows[] = {
        // Every option in its short and long forms, and as --name=value.
        {{"-d", "A", "-q", "hd", "-o", "out", "-f"}, {.quality = vqHighDefinition, .output = "out", .force = true}},
        {{"--download=A", "--quality=mobile", "--output=out", "--force", "--no-continue"},
         {.quality = vqMobile, .output = "out", .force = true, .resume = false}},
        {{"-qhd", "-dA"}, {.quality = vqHighDefinition}}, // values run on
        {{"-fd", "A"}, {.force = true}},                  // short flags run together
        {{"--force=false", "-d", "A"}, {}},
        // Several addresses, and a list of them.
        {{"-d", "A", "B", "C"}, {.addresses = {"A", "B", "C"}}},
        {{"--download", "A", "--download", "B"}, {.addresses = {"A", "B"}}},
        {{"--batch-file", "list.txt"}, {.addresses = {}, .batchFile = "list.txt"}},
        {{"--batch-file=-", "-d", "A"}, {.batchFile = "-"}},
        // The last of a repeated option counts.
        {{"-d", "A", "-q", "hd", "-q", "mobile"}, {.quality = vqMobile}},
        // The network.
        {{"-d", "A", "--limit-rate", "500K"}, {.rate = 500 * 1024}},
        {{"-d", "A", "--limit-rate=2m"}, {.rate = 2 * 1024 * 1024}},
        {{"-d", "A", "--proxy", "http://u:p@proxy:3128"}, {.proxy = "http://u:p@proxy:3128"}},
        {{"-d", "A", "--proxy", ""}, {.proxy = ""}},
        {{"-d", "A", "--proxy="}, {.proxy = ""}}, // not the next argument
        // The site host is the program's start's business.
        {{"--site-host=127.0.0.1:1", "-d", "A"}, {}},
        {{"--site-host", "127.0.0.1:1", "-d", "A"}, {}},
        // Read now, for what the program will tell about an address.
        {{"-i", "A"}, {.info = true}},
        {{"-ij", "A", "B"}, {.addresses = {"A", "B"}, .info = true, .json = true}},
        {{"--info", "--json", "-d", "A"}, {.info = true, .json = true}},
        {{"-h"}, {.addresses = {}, .help = true}},
        {{"--version"}, {.addresses = {}, .version = true}},
        {{"-V"}, {.addresses = {}, .version = true}},
    };
    for (const auto& row : rows) {
        std::string error;
        std::optional<TCommandLineOptions> options = Parse(row.words, error);
        std::string line;
        for (const std::string& word : row.words)
            line += " " + word;
        SCOPED_TRACE(line);
        ASSERT_TRUE(options) << error;
        ExpectOptions(*options, row.expected);
    }
}

TEST(CommandLineOptions, MistakesAreNamedInTheProgramsWords)
{
    const struct {
        std::vector<std::string> words;
        std::string error;
    } rows[] = {
        {{}, "--download needs a watch-page address"},
        {{"-q", "hd"}, "--download needs a watch-page address"},
        {{"-d"}, "--download needs a value"},
        {{"-d", "A", "-o"}, "--output needs a value"},
        {{"-d", "A", "-q", "4k"}, "unknown quality \"4k\" (normal, mobile, hq or hd)"},
        {{"-d", "A", "--bogus"}, "unexpected argument \"--bogus\""},
        {{"-f", "A"}, "unexpected argument \"A\""}, // an address needs --download
        {{"-d", "A", "--force=maybe"}, "--force does not take the value \"maybe\""},
        {{"-d", "A", "--limit-rate", "0"}, "--limit-rate takes a rate such as 500K or 2M, not \"0\""},
        {{"-d", "A", "--limit-rate", "1.5M"}, "--limit-rate takes a rate such as 500K or 2M, not \"1.5M\""},
        {{"-d", "A", "--limit-rate", "1025G"}, "--limit-rate takes a rate such as 500K or 2M, not \"1025G\""},
        {{"-d", "A", "--limit-rate", "99999999999999999999"},
         "--limit-rate takes a rate such as 500K or 2M, not \"99999999999999999999\""},
        // The password is not repeated.
        {{"-d", "A", "--proxy", "socks5://u:secret@h:1"},
         "--proxy takes the address of an http proxy (http://HOST:PORT) or '' for none, not \"socks5://h:1\""},
    };
    for (const auto& row : rows) {
        std::string error;
        EXPECT_FALSE(Parse(row.words, error)) << row.error;
        EXPECT_EQ(error, row.error);
    }
}

TEST(CommandLineOptions, OnlyTheProgramsOwnOptionsChooseTheCommandLine)
{
    for (const char* argument : {"-d", "--download", "--download=x", "-fq", "-qhd", "--batch-file", "-i", "--proxy="})
        EXPECT_TRUE(IsCommandLineOption(argument)) << argument;
    // The site host comes with the windows too; Qt's own options, and
    // addresses, are no command-line options.
    for (const char* argument : {"--site-host=h", "--site-host", "-platform", "-display", "--downloads",
                                 "http://example.org/a.mp4", "-", "--"})
        EXPECT_FALSE(IsCommandLineOption(argument)) << argument;
}

TEST(CommandLineOptions, OutputIsAFileOrAFolderForTheProposedName)
{
    EXPECT_EQ(TargetPath("", "Title.mp4"), "Title.mp4");
    EXPECT_EQ(TargetPath("/tmp", "Title.mp4"), "/tmp/Title.mp4");
    EXPECT_EQ(TargetPath("/nonexistent/new/", "Title.mp4"), "/nonexistent/new/Title.mp4");
    EXPECT_EQ(TargetPath("/tmp/chosen.bin", "Title.mp4"), "/tmp/chosen.bin");
}

TEST(BatchFile, OneAddressALineWithoutBlanksOrComments)
{
    const struct {
        std::string list;
        std::vector<std::string> addresses;
    } rows[] = {
        {"a\n\n# a comment\n  b  \r\nc", {"a", "b", "c"}},
        {"\xEF\xBB\xBFhttp://x/a.mp4#t=1\n", {"http://x/a.mp4#t=1"}}, // a byte-order mark; "#" inside an address
        {"", {}},
        {"\n\n   \n#\n", {}},
    };
    for (const auto& row : rows) {
        std::istringstream in(row.list);
        std::string error;
        EXPECT_EQ(ReadBatchList(in, "list", error), row.addresses) << error;
    }
}

TEST(BatchFile, ListsBeyondTheLimitsAreRefused)
{
    std::string addresses;
    for (int i = 0; i <= 10000; ++i)
        addresses += "a" + std::to_string(i) + "\n";
    const struct {
        std::string list;
        std::string error;
    } rows[] = {
        {"a\n" + std::string(16 * 1024 + 1, 'x') + "\n", "line 2 of list is too long for an address"},
        {addresses, "list lists more than 10000 addresses"},
        {std::string(16 * 1024 * 1024 + 1, '\n'), "list is too large for a list of addresses"},
    };
    for (const auto& row : rows) {
        std::istringstream in(row.list);
        std::string error;
        EXPECT_FALSE(ReadBatchList(in, "list", error)) << row.error;
        EXPECT_EQ(error, row.error);
    }
    std::string error;
    EXPECT_FALSE(ReadBatchFile("/nonexistent/list.txt", error));
    EXPECT_EQ(error, "/nonexistent/list.txt cannot be read: No such file or directory");
}
