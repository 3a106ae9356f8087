#pragma once

#include <string>

// The program without windows: `skerrow --download ADDRESS...` (or
// --batch-file FILE) resolves each address and downloads its video with the
// same engine, one after another, reporting on the terminal. Needs no
// display.

// Whether the arguments ask for the command-line mode: any of its options
// but the site host (IsCommandLineOption).
bool WantsCommandLine(int argc, char** argv);

// Runs it; returns the process's exit status (see TExitStatus).
int RunCommandLine(int argc, char** argv);

// Whether the windows have somewhere to open: a display, or a Qt platform
// named on purpose.
bool DisplayAvailable(int argc, char** argv);

// Says there is no display and how to save the video without windows, with
// the address the program was given; returns esBadArguments.
int ExplainMissingDisplay(int argc, char** argv);

// The address the windows were started with ("skerrow ADDRESS", as the
// desktop entry passes one); empty when none.
std::string AddressArgument(int argc, char** argv);

// Exit statuses, one per class of outcome.
enum TExitStatus {
    esSuccess = 0,
    esBadArguments = 2,
    esNotAccepted = 3,
    esResolutionFailed = 4,
    esDownloadFailed = 5,
    esTargetExists = 6,
    esCancelled = 130,
};
