#pragma once

#include "app/VideoQuality.h"

#include <optional>
#include <string>

// What the command line asks for.
struct TCommandLineOptions {
    bool Help = false;
    bool Version = false;
    std::string Address;
    TVideoQuality Quality = vqHighQuality;
    std::string Output;   // a file or a folder; empty: the current folder
    bool Force = false;   // replace an existing target
    bool Continue = true; // continue a part an earlier run left
    // How many connections the download may use at once; none: the
    // component's own number.
    std::optional<int> Connections;
};

// Reads the arguments; on a mistake returns nothing and says why in error.
std::optional<TCommandLineOptions> ParseCommandLine(int argc, char** argv, std::string& error);

// Where the video goes: the output as a file, or the proposed name inside
// the output folder (the current folder when no output is given).
std::string TargetPath(const std::string& output, const std::string& proposedName);
