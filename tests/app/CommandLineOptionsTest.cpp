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

// The addresses, then what differs from no option at all:
// "A B | quality=hd force".
std::string Summary(const TCommandLineOptions& options)
{
    const TCommandLineOptions none;
    std::string text;
    for (const std::string& address : options.Addresses)
        text += address + " ";
    text += "|";
    auto add = [&text](bool differs, const std::string& what) {
        if (differs)
            text += " " + what;
    };
    add(options.Quality != none.Quality, "quality=" + QualityName(options.Quality));
    add(options.Output != none.Output, "output=" + options.Output);
    add(options.Force, "force");
    add(!options.Continue, "no-continue");
    add(!options.BatchFile.empty(), "batch=" + options.BatchFile);
    add(options.ReceiveRateLimit != 0, "rate=" + std::to_string(options.ReceiveRateLimit));
    add(options.Proxy.has_value(), "proxy=" + options.Proxy.value_or(""));
    add(options.Connections.has_value(), "connections=" + std::to_string(options.Connections.value_or(0)));
    add(options.Info, "info");
    add(options.Json, "json");
    add(options.Help, "help");
    add(options.Version, "version");
    return text;
}

} // namespace

TEST(CommandLineOptions, ArgumentLinesGiveTheirOptions)
{
    const struct {
        std::vector<std::string> words;
        const char* options;
    } rows[] = {
        // Every option in its short and long forms, and as --name=value.
        {{"-d", "A", "-q", "hd", "-o", "out", "-f"}, "A | quality=hd output=out force"},
        {{"--download=A", "--quality=mobile", "--output=out", "--force", "--no-continue"},
         "A | quality=mobile output=out force no-continue"},
        {{"-qhd", "-dA"}, "A | quality=hd"}, // values run on
        {{"-fd", "A"}, "A | force"},         // short flags run together
        {{"--force=false", "-d", "A"}, "A |"},
        // Several addresses, and a list of them.
        {{"-d", "A", "B", "C"}, "A B C |"},
        {{"--download", "A", "--download", "B"}, "A B |"},
        {{"--batch-file", "list.txt"}, "| batch=list.txt"},
        {{"--batch-file=-", "-d", "A"}, "A | batch=-"},
        // The last of a repeated option counts.
        {{"-d", "A", "-q", "hd", "-q", "mobile"}, "A | quality=mobile"},
        // The network.
        {{"-d", "A", "--limit-rate", "500K"}, "A | rate=512000"},
        {{"-d", "A", "--limit-rate=2m"}, "A | rate=2097152"},
        {{"-d", "A", "--proxy", "http://u:p@proxy:3128"}, "A | proxy=http://u:p@proxy:3128"},
        {{"-d", "A", "--proxy", ""}, "A | proxy="},
        {{"-d", "A", "--proxy="}, "A | proxy="}, // not the next argument
        {{"-d", "A", "-N", "1"}, "A | connections=1"},
        {{"-d", "A", "--connections=16"}, "A | connections=16"},
        // The site host is the program's start's business.
        {{"--site-host=127.0.0.1:1", "-d", "A"}, "A |"},
        {{"--site-host", "127.0.0.1:1", "-d", "A"}, "A |"},
        // The qualities beyond the window's four.
        {{"-d", "A", "-q", "best"}, "A | quality=best"},
        {{"-d", "A", "--quality=worst"}, "A | quality=worst"},
        {{"-d", "A", "-q", "720"}, "A | quality=720p"},
        {{"-d", "A", "-q720p"}, "A | quality=720p"},
        {{"-d", "A", "-q", "hq"}, "A |"},
        // Telling about addresses, which may stand alone.
        {{"-i", "A"}, "A | info"},
        {{"-ij", "A", "B"}, "A B | info json"},
        {{"--info", "--json", "-d", "A"}, "A | info json"},
        {{"--info=true", "A", "-q", "1080"}, "A | quality=1080p info"},
        {{"--info=false", "-d", "A"}, "A |"},
        {{"-i", "--batch-file", "list.txt", "-j"}, "| batch=list.txt info json"},
        {{"-h"}, "| help"},
        {{"--version"}, "| version"},
        {{"-V"}, "| version"},
    };
    for (const auto& row : rows) {
        std::string error;
        std::optional<TCommandLineOptions> options = Parse(row.words, error);
        EXPECT_EQ(options ? Summary(*options) : error, row.options);
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
        {{"-d", "A", "-q", "4k"},
         "unknown quality \"4k\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-d", "A", "-q", "0"}, "unknown quality \"0\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-d", "A", "-q", "-720"},
         "unknown quality \"-720\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-d", "A", "-q", "720P"},
         "unknown quality \"720P\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-d", "A", "-q", "100000"},
         "unknown quality \"100000\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-d", "A", "-q", "p"}, "unknown quality \"p\" (normal, mobile, hq, hd, best, worst or a height such as 720)"},
        {{"-i"}, "--info needs an address"},
        {{"-j", "-d", "A"}, "--json goes with --info"},
        {{"-d", "A", "--bogus"}, "unexpected argument \"--bogus\""},
        {{"-f", "A"}, "unexpected argument \"A\""}, // an address needs --download
        {{"-d", "A", "--force=maybe"}, "--force does not take the value \"maybe\""},
        {{"-d", "A", "--limit-rate", "0"}, "--limit-rate takes a rate such as 500K or 2M, not \"0\""},
        {{"-d", "A", "--limit-rate", "1.5M"}, "--limit-rate takes a rate such as 500K or 2M, not \"1.5M\""},
        {{"-d", "A", "--limit-rate", "1025G"}, "--limit-rate takes a rate such as 500K or 2M, not \"1025G\""},
        {{"-d", "A", "--limit-rate", "99999999999999999999"},
         "--limit-rate takes a rate such as 500K or 2M, not \"99999999999999999999\""},
        {{"-d", "A", "-N", "0"}, "--connections needs a number from 1 to 16"},
        {{"-d", "A", "-N", "17"}, "--connections needs a number from 1 to 16"},
        {{"-d", "A", "--connections", "two"}, "--connections needs a number from 1 to 16"},
        {{"-d", "A", "--connections="}, "--connections needs a number from 1 to 16"},
        {{"-d", "A", "-N"}, "--connections needs a value"},
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
    for (const char* argument :
         {"-d", "--download", "--download=x", "-fq", "-qhd", "--batch-file", "-i", "-ij", "--json", "--proxy="})
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
