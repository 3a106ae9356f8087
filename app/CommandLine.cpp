#include "app/CommandLine.h"

#include "app/AddressKind.h"
#include "app/CommandLineOptions.h"
#include "app/CommandLineReport.h"
#include "app/ProgramText.h"
#include "app/Site.h"
#include "app/TDownloadSession.h"
#include "app/TResolutionThread.h"
#include "app/VideoDownload.h"
#include "grabber/TGrabberPartFile.h"
#include "i18n/GnuGettext.h"
#include "runtime/ReplaceableFile.h"
#include "runtime/TThread.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace {

// How long the command line waits for a worker's hand-overs before it
// looks at the interrupt flag again.
constexpr int kHandOverWaitMs = 100;

std::atomic<bool> interrupted{false};

void Interrupt(int)
{
    interrupted = true;
}

int Fail(TExitStatus status, const std::string& message)
{
    std::fprintf(stderr, "skerrow: %s\n", Printable(message).c_str());
    return status;
}

void PrintHelp()
{
    std::printf("%s",
                Tr("Usage: skerrow --download ADDRESS [--quality normal|mobile|hq|hd] [--output FILE_OR_FOLDER]\n"
                   "               [--force] [--no-continue] [-N COUNT] [--site-host=HOST[:PORT]]\n"
                   "       skerrow [--site-host=HOST[:PORT]] [ADDRESS]      (the windows)\n"
                   "\n"
                   "Saves, without opening a window, the video of a watch-page address, the file of\n"
                   "a direct link to a video (an http or https address ending in .mp4, .webm, ...),\n"
                   "or the video that any other web page shows.\n"
                   "  --quality   normal (FLV), mobile (3GP), hq (MP4 480x360, the default) or hd\n"
                   "              (MP4 1280x720 where the site has it, else hq); on another page\n"
                   "              with several sizes: hd the largest, hq the nearest 360 lines,\n"
                   "              normal and mobile the smallest; not for direct links\n"
                   "  --output    the file to write, or a folder for the proposed name\n"
                   "              (default: the proposed name in the current folder)\n"
                   "  --force     replace the file when it exists already\n"
                   "  --no-continue\n"
                   "              start over instead of continuing what an earlier run left\n"
                   "  -N, --connections\n"
                   "              how many connections one download may use at once, from 1 to 16\n"
                   "              (default 4): a large file comes in that many ranges where the\n"
                   "              server allows\n"
                   "\n"
                   "Exit status: 0 saved, 2 bad arguments, 3 address not accepted, 4 resolution failed,\n"
                   "5 download failed, 6 the file exists already, 130 cancelled.\n")
                    .c_str());
}

// Every way of asking the program to end (Ctrl-C, the quit key, a kill,
// the terminal going away) cancels the download as Ctrl-C does.
void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = Interrupt;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaction(signalNumber, &action, nullptr);
}

// The text of what a failed resolution raised.
std::string FailureText(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& raised) {
        return raised.what();
    } catch (...) {
        return Tr("Failed");
    }
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::symlink_status(path, ignored).type() != std::filesystem::file_type::not_found;
}

// Resolves on a thread of its own, so that Ctrl-C ends a lookup that waits
// for a slow page at once; nothing when the user interrupted it.
std::optional<TResolution> ResolveUnlessInterrupted(const TVideoAddress& address, TVideoQuality quality)
{
    TResolutionThread lookup(address, quality, CurrentLanguage(), Site::Host(), PageBounds());
    lookup.Start();
    while (!lookup.Finished() && !interrupted)
        CheckSynchronize(kHandOverWaitMs);
    if (!lookup.Finished())
        return std::nullopt;
    return lookup.TakeResolution();
}

// Says that what arrived is kept for the next run, when it is.
int TellWhatIsKept(const TDownloadSession& session, int status)
{
    if (session.PartKept())
        std::fprintf(stderr, "skerrow: %s\n",
                     Printable(Tr("What was received is kept in %s; run the same command again to continue.",
                                  {TGrabberPartFile::PartName(session.Target())}))
                         .c_str());
    return status;
}

// Runs the download, serving its hand-overs here, until it ends or the
// user interrupts.
int Download(const TVideoSource& video, const std::string& target, const TCommandLineOptions& options)
{
    if (!IsReplaceableFile(target))
        return Fail(esTargetExists, Tr(kNotAReplaceableFile, {target}));
    if (!options.Force && Exists(target))
        return Fail(esTargetExists, Tr("%s already exists; --force replaces it", {target}));
    TDownloadSession session(video, target);
    if (options.Connections)
        session.SetConnections(*options.Connections);
    TCommandLineReport report(session, ::isatty(STDOUT_FILENO));
    session.Start(options.Continue ? rmContinue : rmStartOver);
    while (session.Running() && !interrupted)
        CheckSynchronize(kHandOverWaitMs);
    // Stopping waits for the worker; a stopped run keeps only a part that
    // the server can continue.
    session.Stop();
    if (interrupted && !report.Done())
        return TellWhatIsKept(session, Fail(esCancelled, Tr("Cancelled")));
    report.Finish();
    if (!report.Done())
        return TellWhatIsKept(session,
                              Fail(esDownloadFailed, report.Failure().empty() ? Tr("Failed") : report.Failure()));
    std::printf("%s %s\n", Tr("Saved").c_str(), Printable(target).c_str());
    return esSuccess;
}

} // namespace

bool WantsCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--download", "--help", "-h", "--version"})
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
                return true;
    return false;
}

bool DisplayAvailable(int argc, char** argv)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(variable); value && *value)
            return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return true;
    return false;
}

int ExplainMissingDisplay(int argc, char** argv)
{
    std::string address = AddressArgument(argc, argv);
    // Quoted for the shell, as the user would type it.
    std::string quoted = "'";
    for (char c : address.empty() ? std::string("ADDRESS") : address)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    std::fprintf(stderr, "skerrow: %s\n%s\n", Tr("There is no display to show the windows on.").c_str(),
                 Tr("To save the video without windows: %s", {"skerrow --download " + quoted}).c_str());
    return esBadArguments;
}

std::string AddressArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-' && argv[i][0] != '\0')
            return argv[i];
    return {};
}

int RunCommandLine(int argc, char** argv)
{
    std::string error;
    auto options = ParseCommandLine(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "skerrow: %s\n%s\n", error.c_str(), Tr("Try 'skerrow --help'.").c_str());
        return esBadArguments;
    }
    if (options->Help) {
        PrintHelp();
        return esSuccess;
    }
    if (options->Version) {
        std::printf("Skerrow %s\n", SKERROW_VERSION);
        return esSuccess;
    }
    const TVideoAddress address = ReadVideoAddress(options->Address);
    if (address.Kind == akNone)
        return Fail(esNotAccepted, Tr("This is not a video address") + ": " + options->Address);

    CatchInterrupts();
    std::optional<TResolution> resolution = ResolveUnlessInterrupted(address, options->Quality);
    if (!resolution)
        return Fail(esCancelled, Tr("Cancelled"));
    if (resolution->Failure)
        return Fail(esResolutionFailed, FailureText(resolution->Failure));
    const TVideoSource& video = *resolution->Video;
    return Download(video, TargetPath(options->Output, video.ProposedFileName), *options);
}
