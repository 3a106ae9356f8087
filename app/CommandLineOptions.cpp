#include "app/CommandLineOptions.h"

#include "app/ProgramText.h"

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
        } else if (argument == "--no-history") {
            options.History = false;
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
