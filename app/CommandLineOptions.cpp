#include "app/CommandLineOptions.h"

#include "app/ProgramText.h"
#include "grabber/TJvHttpUrlGrabber.h"
#include "runtime/AsciiText.h"

#include <cstring>
#include <filesystem>

namespace {

// "--name=value" or "--name value"; advances i past what it took.
std::optional<std::string> OptionValue(const std::string& name, int argc, char** argv, int& i)
{
    std::string argument = argv[i];
    if (argument.rfind(name + "=", 0) == 0)
        return argument.substr(name.size() + 1);
    if (argument == name && i + 1 < argc)
        return std::string(argv[++i]);
    return std::nullopt;
}

// A count of connections from 1 to the component's most.
std::optional<int> ConnectionCount(const std::string& text)
{
    std::optional<std::uint64_t> count = AsciiText::ParseUnsigned(text);
    if (!count || *count < 1 || *count > TJvHttpUrlGrabber::kMostConnections)
        return std::nullopt;
    return static_cast<int>(*count);
}

} // namespace

std::optional<TCommandLineOptions> ParseCommandLine(int argc, char** argv, std::string& error)
{
    TCommandLineOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.Help = true;
        } else if (argument == "--version") {
            options.Version = true;
        } else if (argument == "--force") {
            options.Force = true;
        } else if (argument == "--no-continue") {
            options.Continue = false;
        } else if (argument.rfind("--site-host=", 0) == 0) {
            // Applied before the mode is chosen.
        } else if (auto address = OptionValue("--download", argc, argv, i)) {
            options.Address = *address;
        } else if (auto quality = OptionValue("--quality", argc, argv, i)) {
            auto chosen = QualityNamed(*quality);
            if (!chosen) {
                error = Tr("unknown quality \"%s\" (normal, mobile, hq or hd)", {*quality});
                return std::nullopt;
            }
            options.Quality = *chosen;
        } else if (auto output = OptionValue("--output", argc, argv, i)) {
            options.Output = *output;
        } else if (argument == "-N" || argument == "--connections" || argument.rfind("--connections=", 0) == 0) {
            const std::string name = argument == "-N" ? "-N" : "--connections";
            options.Connections = ConnectionCount(OptionValue(name, argc, argv, i).value_or(""));
            if (!options.Connections) {
                error = Tr("--connections needs a number from 1 to %s",
                           {std::to_string(TJvHttpUrlGrabber::kMostConnections)});
                return std::nullopt;
            }
        } else {
            error = Tr("unexpected argument \"%s\"", {argument});
            return std::nullopt;
        }
    }
    if (!options.Help && !options.Version && options.Address.empty()) {
        error = Tr("--download needs a watch-page address");
        return std::nullopt;
    }
    return options;
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
