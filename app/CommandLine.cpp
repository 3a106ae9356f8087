#include "app/CommandLine.h"

#include "app/AddressInfo.h"
#include "app/AddressKind.h"
#include "app/BatchFile.h"
#include "app/CommandLineOptions.h"
#include "app/CommandLineReport.h"
#include "app/HistoryRecorder.h"
#include "app/InfoJson.h"
#include "app/InfoText.h"
#include "app/NetworkChoice.h"
#include "app/ProgramText.h"
#include "app/Site.h"
#include "app/TDownloadSession.h"
#include "app/TResolutionThread.h"
#include "app/VideoDownload.h"
#include "grabber/TGrabberPartFile.h"
#include "history/TDownloadHistory.h"
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
#include <memory>
#include <optional>
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

// A mistake in the arguments: said, with where to look.
int BadArguments(const std::string& error)
{
    std::fprintf(stderr, "skerrow: %s\n%s\n", Printable(error).c_str(), Tr("Try 'skerrow --help'.").c_str());
    return esBadArguments;
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

// The history the downloads window shows, unless the user asked to leave
// the download out of it. A damaged one is set aside and the user told.
std::unique_ptr<TDownloadHistory> OpenHistory(const TCommandLineOptions& options)
{
    if (!options.History)
        return nullptr;
    auto history = std::make_unique<TDownloadHistory>();
    if (!history->DamagedSetAside().empty())
        std::fprintf(stderr, "skerrow: %s\n",
                     Printable(Tr("The download history was damaged. It was put aside as %s and a new one started.",
                                  {history->DamagedSetAside()}))
                         .c_str());
    return history;
}

// Runs the download, serving its hand-overs here, until it ends or the
// user interrupts.
int Download(const std::string& address, const TVideoSource& video, const std::string& target,
             const TCommandLineOptions& options)
{
    if (!IsReplaceableFile(target))
        return Fail(esTargetExists, Tr(kNotAReplaceableFile, {target}));
    if (!options.Force && Exists(target))
        return Fail(esTargetExists, Tr("%s already exists; --force replaces it", {target}));
    TDownloadSession session(video, target);
    if (options.Connections)
        session.SetConnections(*options.Connections);
    TCommandLineReport report(session, ::isatty(STDOUT_FILENO));
    std::unique_ptr<TDownloadHistory> history = OpenHistory(options);
    std::optional<THistoryRecorder> recorder;
    if (history) {
        TDownloadRecord download;
        download.Address = address;
        download.Quality = QualityName(options.Quality);
        recorder.emplace(session, *history, download);
    }
    session.Start(options.Continue ? rmContinue : rmStartOver);
    while (session.Running() && !interrupted) {
        CheckSynchronize(kHandOverWaitMs);
        report.Tick();
        if (recorder)
            recorder->Flush();
    }
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

// Looks the address up; nothing, with status set and said, when it is no
// address or the user interrupted.
std::optional<TResolution> LookUp(const std::string& text, TVideoQuality quality, int& status)
{
    const TVideoAddress address = ReadVideoAddress(text);
    if (address.Kind == akNone) {
        status = Fail(esNotAccepted, Tr("This is not a video address") + ": " + text);
        return std::nullopt;
    }
    std::optional<TResolution> resolution = ResolveUnlessInterrupted(address, quality);
    if (!resolution)
        status = Fail(esCancelled, Tr("Cancelled"));
    return resolution;
}

// Looks the address up and downloads its video.
int Save(const std::string& text, const TCommandLineOptions& options)
{
    int status = esSuccess;
    std::optional<TResolution> resolution = LookUp(text, options.Quality, status);
    if (!resolution)
        return status;
    if (resolution->Failure)
        return Fail(esResolutionFailed, FailureText(resolution->Failure));
    const TVideoSource& video = *resolution->Video;
    return Download(text, video, TargetPath(options.Output, video.ProposedFileName), options);
}

// Looks the address up and tells what it holds, saving nothing: a stream
// that cannot be saved is told about too, with why. A failure names the
// address, which the output of several would not show otherwise.
int Tell(const std::string& text, const TCommandLineOptions& options)
{
    int status = esSuccess;
    std::optional<TResolution> resolution = LookUp(text, options.Quality, status);
    if (!resolution)
        return status;
    std::optional<TAddressInfo> info = DescribeResolution(text, options.Quality, *resolution);
    if (!info)
        return Fail(esResolutionFailed, text + ": " + FailureText(resolution->Failure));
    std::printf("%s", options.Json ? (InfoJson(*info) + "\n").c_str() : InfoText(*info).c_str());
    std::fflush(stdout);
    return esSuccess;
}

// The addresses of --download, then those of the batch file; nothing when
// the file cannot be taken (said).
std::optional<std::vector<std::string>> BatchAddresses(const TCommandLineOptions& options)
{
    std::vector<std::string> addresses = options.Addresses;
    if (options.BatchFile.empty())
        return addresses;
    std::string error;
    std::optional<std::vector<std::string>> listed = ReadBatchFile(options.BatchFile, error);
    if (!listed) {
        BadArguments(error);
        return std::nullopt;
    }
    addresses.insert(addresses.end(), listed->begin(), listed->end());
    return addresses;
}

// Saves each address in turn into the output folder, each under a line
// that names it, and sums up: the status is the first failure's, or
// Ctrl-C's, which ends the batch.
int SaveBatch(const TCommandLineOptions& options)
{
    std::error_code ignored;
    if (!options.Output.empty() && !std::filesystem::is_directory(options.Output, ignored))
        return BadArguments(Tr("with several addresses, --output must be an existing folder: %s", {options.Output}));
    std::optional<std::vector<std::string>> addresses = BatchAddresses(options);
    if (!addresses)
        return esBadArguments;
    const std::string count = std::to_string(addresses->size());
    int firstFailure = esSuccess;
    std::size_t saved = 0;
    for (std::size_t i = 0; i < addresses->size() && !interrupted; ++i) {
        std::printf("[%zu/%s] %s\n", i + 1, count.c_str(), Printable((*addresses)[i]).c_str());
        std::fflush(stdout);
        const int status = Save((*addresses)[i], options);
        saved += status == esSuccess;
        if (firstFailure == esSuccess)
            firstFailure = status;
    }
    std::printf("%s\n", Tr("%s of %s saved", {std::to_string(saved), count}).c_str());
    return interrupted ? esCancelled : firstFailure;
}

// Tells about each address in turn: as text, a blank line between two; as
// JSON, one object a line. The status is the first failure's, or Ctrl-C's.
int TellAll(const TCommandLineOptions& options)
{
    std::optional<std::vector<std::string>> addresses = BatchAddresses(options);
    if (!addresses)
        return esBadArguments;
    int firstFailure = esSuccess;
    for (std::size_t i = 0; i < addresses->size() && !interrupted; ++i) {
        if (i > 0 && !options.Json)
            std::printf("\n");
        const int status = Tell((*addresses)[i], options);
        if (firstFailure == esSuccess)
            firstFailure = status;
    }
    return interrupted ? esCancelled : firstFailure;
}

} // namespace

bool WantsCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (IsCommandLineOption(argv[i]))
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

// The site host's value, when it stands apart, is no address.
std::string AddressArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--site-host") == 0)
            ++i;
        else if (argv[i][0] != '-' && argv[i][0] != '\0')
            return argv[i];
    }
    return {};
}

int RunCommandLine(int argc, char** argv)
{
    std::string error;
    auto options = ParseCommandLine(argc, argv, error);
    if (!options)
        return BadArguments(error);
    if (options->Help) {
        std::printf("%s", HelpText().c_str());
        return esSuccess;
    }
    if (options->Version) {
        std::printf("Skerrow %s\n", SKERROW_VERSION);
        return esSuccess;
    }
    SetNetworkChoice({options->Proxy, options->ReceiveRateLimit});
    CatchInterrupts();
    if (options->Info)
        return TellAll(*options);
    return options->Batch() ? SaveBatch(*options) : Save(options->Addresses.front(), *options);
}
