#pragma once

#include "app/VideoQuality.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for.
struct TCommandLineOptions {
    bool Help = false;
    bool Version = false;
    // The addresses to save, in the order given (those of --download, and
    // with --info those given without an option).
    std::vector<std::string> Addresses;
    // A file that lists more addresses, one a line; "-" for standard input.
    std::string BatchFile;
    bool Info = false; // -i: tell about the addresses instead of saving them
    bool Json = false; // -j: tell it as JSON
    TVideoQuality Quality = vqHighQuality;
    std::string Output;                // a file or a folder; empty: the current folder
    bool Force = false;                // replace an existing target
    bool Continue = true;              // continue a part an earlier run left
    bool History = true;               // write the download into the history
    std::int64_t ReceiveRateLimit = 0; // bytes a second; 0: no cap
    // The --proxy address; empty: no proxy; none: the environment's.
    std::optional<std::string> Proxy;
    // How many connections the download may use at once; none: the
    // component's own number.
    std::optional<int> Connections;

    // Several addresses, or a list of them: saved one after another into
    // the output folder, with a summary.
    bool Batch() const { return Addresses.size() > 1 || !BatchFile.empty(); }
};

// Reads the arguments; on a mistake returns nothing and says why in error.
std::optional<TCommandLineOptions> ParseCommandLine(int argc, char** argv, std::string& error);

// Whether an argument names an option of the command line (the site host
// aside), which makes the program run without windows.
bool IsCommandLineOption(const std::string& argument);

// The text --help shows, in the current language.
std::string HelpText();

// A rate in bytes a second: digits, with K, M or G (either case) for 1024,
// 1024 * 1024 or 1024 * 1024 * 1024 of them. Nothing for anything else, for
// 0 and beyond a tebibyte a second.
std::optional<std::int64_t> ParseRate(const std::string& text);

// Where the video goes: the output as a file, or the proposed name inside
// the output folder (the current folder when no output is given).
std::string TargetPath(const std::string& output, const std::string& proposedName);
