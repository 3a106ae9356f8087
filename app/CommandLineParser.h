#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// The options as CLI11 reads them, before their values are checked.
struct TCommandLineArguments {
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Download;
    std::string BatchFile;
    bool Info = false;
    bool Json = false;
    // Words without an option: the addresses of --info.
    std::vector<std::string> Words;
    std::string Quality;
    std::string Output;
    bool Force = false;
    bool NoContinue = false;
    bool NoHistory = false;
    std::string LimitRate;
    std::string Connections;
    std::string Proxy;
    std::string SiteHost;
};

// Declares every option of the command line on app, in the groups --help
// shows, each bound to its field of arguments; descriptions in the current
// language.
void DescribeOptions(CLI::App& app, TCommandLineArguments& arguments);
