#pragma once

// The program without windows: `skerrow --download ADDRESS ...` resolves the
// address and downloads the video with the same engine, reporting on the
// terminal. Needs no display.

// Whether the arguments ask for the command-line mode (--download, --help,
// --version).
bool WantsCommandLine(int argc, char** argv);

// Runs it; returns the process's exit status (see TExitStatus).
int RunCommandLine(int argc, char** argv);

// Exit statuses, one per class of outcome.
enum TExitStatus {
    esSuccess = 0,
    esBadArguments = 2,
    esNotAccepted = 3,
    esResolutionFailed = 4,
    esDownloadFailed = 5,
    esCancelled = 130,
};
