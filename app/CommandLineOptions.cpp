#include "app/CommandLineOptions.h"

#include "app/CommandLineParser.h"
#include "app/ProgramText.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "http/TProxyRules.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <filesystem>

namespace {

// A tebibyte a second: more than any line carries, and far from overflow.
constexpr std::int64_t kMaxRate = std::int64_t(1) << 40;

// The arguments without the program's name, as CLI11 takes them (last
// first). "--name=" becomes "--name" and an empty value, which CLI11 would
// otherwise take for no value at all and fill with the next argument.
std::vector<std::string> ArgumentsForParser(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.starts_with("--") && argument.size() > 3 && argument.back() == '=' &&
            argument.find('=') == argument.size() - 1) {
            arguments.push_back(argument.substr(0, argument.size() - 1));
            arguments.emplace_back();
        } else {
            arguments.push_back(std::move(argument));
        }
    }
    std::reverse(arguments.begin(), arguments.end());
    return arguments;
}

// CLI11's own words, into the program's. Its messages begin with the
// option concerned: "--output: 1 required TEXT missing", "Could not
// convert: --force = maybe".
std::string ParseErrorText(const CLI::ParseError& error)
{
    const std::string text = error.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && text.starts_with("-"))
        return Tr("%s needs a value", {text.substr(0, text.find(':'))});
    const std::string converting = "Could not convert: ";
    if (const std::size_t equals = text.find(" = "); dynamic_cast<const CLI::ConversionError*>(&error) &&
        text.starts_with(converting) && equals != std::string::npos)
        return Tr("%s does not take the value \"%s\"",
                  {text.substr(converting.size(), equals - converting.size()), text.substr(equals + 3)});
    return Tr("the arguments are not understood (%s)", {text});
}

// Turns what CLI11 read into options, checking each value; false, with
// error set, at the first that is not right.
bool TakeArguments(const TCommandLineArguments& arguments, const std::vector<std::string>& extras,
                   TCommandLineOptions& options, std::string& error)
{
    if (!extras.empty()) {
        error = Tr("unexpected argument \"%s\"", {extras.front()});
        return false;
    }
    if (!arguments.Words.empty() && !arguments.Info) {
        error = Tr("unexpected argument \"%s\"", {arguments.Words.front()});
        return false;
    }
    if (!arguments.Quality.empty()) {
        std::optional<TVideoQuality> quality = QualityNamed(arguments.Quality);
        if (!quality) {
            error = Tr("unknown quality \"%s\" (normal, mobile, hq, hd, best, worst or a height such as 720)",
                       {arguments.Quality});
            return false;
        }
        options.Quality = *quality;
    }
    if (!arguments.LimitRate.empty()) {
        std::optional<std::int64_t> rate = ParseRate(arguments.LimitRate);
        if (!rate) {
            error = Tr("--limit-rate takes a rate such as 500K or 2M, not \"%s\"", {arguments.LimitRate});
            return false;
        }
        options.ReceiveRateLimit = *rate;
    }
    return true;
}

// A count of connections from 1 to the component's most.
std::optional<int> ConnectionCount(const std::string& text)
{
    std::optional<std::uint64_t> count = AsciiText::ParseUnsigned(text);
    if (!count || *count < 1 || *count > TJvHttpUrlGrabber::kMostConnections)
        return std::nullopt;
    return static_cast<int>(*count);
}

bool TakeConnections(const CLI::App& app, const TCommandLineArguments& arguments, TCommandLineOptions& options,
                     std::string& error)
{
    if (app.count("--connections") == 0)
        return true;
    options.Connections = ConnectionCount(arguments.Connections);
    if (!options.Connections)
        error = Tr("--connections needs a number from 1 to %s", {std::to_string(TJvHttpUrlGrabber::kMostConnections)});
    return options.Connections.has_value();
}

bool TakeProxy(const CLI::App& app, const TCommandLineArguments& arguments, TCommandLineOptions& options,
               std::string& error)
{
    if (app.count("--proxy") == 0)
        return true;
    if (!arguments.Proxy.empty() && !ReadProxyAddress(arguments.Proxy)) {
        error = Tr("--proxy takes the address of an http proxy (http://HOST:PORT) or '' for none, not \"%s\"",
                   {ProxyAddressForMessage(arguments.Proxy)});
        return false;
    }
    options.Proxy = arguments.Proxy;
    return true;
}

} // namespace

std::optional<TCommandLineOptions> ParseCommandLine(int argc, char** argv, std::string& error)
{
    CLI::App app("", "skerrow");
    TCommandLineArguments arguments;
    DescribeOptions(app, arguments);
    try {
        app.parse(ArgumentsForParser(argc, argv));
    } catch (const CLI::ParseError& failure) {
        error = ParseErrorText(failure);
        return std::nullopt;
    }
    TCommandLineOptions options;
    if (!TakeArguments(arguments, app.remaining(), options, error) || !TakeProxy(app, arguments, options, error) ||
        !TakeConnections(app, arguments, options, error))
        return std::nullopt;
    options.Help = arguments.Help;
    options.Version = arguments.Version;
    options.Addresses = arguments.Download;
    options.Addresses.insert(options.Addresses.end(), arguments.Words.begin(), arguments.Words.end());
    options.BatchFile = arguments.BatchFile;
    options.Info = arguments.Info;
    options.Json = arguments.Json;
    options.Output = arguments.Output;
    options.Force = arguments.Force;
    options.Continue = !arguments.NoContinue;
    options.History = !arguments.NoHistory;
    if (!options.Help && !options.Version && options.Addresses.empty() && options.BatchFile.empty()) {
        error = options.Info ? Tr("--info needs an address") : Tr("--download needs a watch-page address");
        return std::nullopt;
    }
    if (options.Json && !options.Info && !options.Help && !options.Version) {
        error = Tr("--json goes with --info");
        return std::nullopt;
    }
    return options;
}

// A long name, alone or with "=value", or short names run together
// ("-f", "-fq", "-qhd"); Qt's own options ("-platform", "-display") have
// letters that are none of the program's.
bool IsCommandLineOption(const std::string& argument)
{
    CLI::App app;
    TCommandLineArguments ignored;
    DescribeOptions(app, ignored);
    std::string letters;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames())
            if (name != "site-host" && (argument == "--" + name || argument.starts_with("--" + name + "=")))
                return true;
        for (const std::string& name : option->get_snames())
            letters += name;
    }
    return argument.size() >= 2 && argument[0] == '-' && argument[1] != '-' &&
        argument.find_first_not_of(letters, 1) == std::string::npos;
}

std::string HelpText()
{
    CLI::App app("", "skerrow");
    TCommandLineArguments ignored;
    DescribeOptions(app, ignored);
    return app.help();
}

std::optional<std::int64_t> ParseRate(const std::string& text)
{
    std::string digits = text;
    std::int64_t unit = 1;
    if (!digits.empty()) {
        const std::size_t suffix = std::string("KMG").find(AsciiText::UpperCase(digits.substr(digits.size() - 1)));
        if (suffix != std::string::npos) {
            unit = std::int64_t(1) << (10 * (suffix + 1));
            digits.pop_back();
        }
    }
    std::optional<std::uint64_t> count = AsciiText::ParseUnsigned(digits);
    if (!count || *count == 0 || *count > static_cast<std::uint64_t>(kMaxRate / unit))
        return std::nullopt;
    return static_cast<std::int64_t>(*count) * unit;
}

std::string TargetPath(const std::string& output, const std::string& proposedName)
{
    namespace fs = std::filesystem;
    if (output.empty())
        return proposedName;
    std::error_code ignored;
    if (fs::is_directory(output, ignored) || output.back() == '/')
        return (fs::path(output) / proposedName).string();
    return output;
}
