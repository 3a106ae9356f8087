#include "app/CommandLine.h"

#include "app/AddressKind.h"
#include "app/CommandLineOptions.h"
#include "app/ProgramText.h"
#include "app/ProgressLine.h"
#include "app/Site.h"
#include "app/VideoDownload.h"
#include "grabber/TGrabberPartFile.h"
#include "grabber/TJvHttpUrlGrabber.h"
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

std::atomic<bool> interrupted{false};

void Interrupt(int)
{
    interrupted = true;
}

// What the site or the user wrote is printed with its control characters
// escaped: an escape sequence in a title must not reach the terminal. Line
// breaks (LF, and CR LF as messages may end their lines) stay line breaks; a
// carriage return of its own, which would let later text overwrite the line,
// is escaped as well.
std::string Printable(const std::string& text)
{
    std::string printable;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        auto byte = static_cast<unsigned char>(c);
        if (text.compare(i, 2, "\r\n") == 0)
            continue; // the line feed after it breaks the line
        if (c == '\n') {
            printable += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            printable += escaped;
        } else {
            printable += c;
        }
    }
    return printable;
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
                   "               [--force] [--no-continue] [--site-host=HOST[:PORT]]\n"
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

// Runs the download on the grabber's worker, serving its hand-overs here,
// until it ends or the user interrupts.
int Download(const TVideoSource& video, const std::string& target, const TCommandLineOptions& options)
{
    if (!options.Force && Exists(target))
        return Fail(esTargetExists, Tr("%s already exists; --force replaces it", {target}));
    std::unique_ptr<TJvHttpUrlGrabber> grabber = NewStreamGrabber(video.StreamAddress);
    grabber->SetAgent(Site::UserAgent);
    TProgressLine progress(::isatty(STDOUT_FILENO));
    auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    std::int64_t received = 0, total = 0;
    bool done = false;
    std::string error;
    int announcedRetry = 0;
    grabber->OnProgress = [&](TObject*, std::int64_t position, std::int64_t size, const std::string&, bool&) {
        received = position;
        total = size;
        progress.Update(received, total, elapsed());
    };
    grabber->OnDoneFile = [&](TObject*, const std::string&, std::int64_t, const std::string&) { done = true; };
    grabber->OnError = [&](TObject*, const std::string& message) { error = message; };
    // One line for each wait, not one for each of its seconds.
    grabber->OnRetry = [&](TObject*, int secondsLeft, int retry, int retries, const std::string& reason) {
        if (std::exchange(announcedRetry, retry) == retry)
            return;
        progress.Break();
        std::string wait = Tr("Retrying in %s s (%s of %s)",
                              {std::to_string(secondsLeft), std::to_string(retry), std::to_string(retries)});
        std::fprintf(stderr, "skerrow: %s: %s\n", wait.c_str(), Printable(reason).c_str());
    };
    grabber->OnResume = [&](TObject*, std::int64_t position, std::int64_t size) {
        progress.Break();
        std::printf("%s\n",
                    Tr("Continuing at %s of %s",
                       {ByteCountText(static_cast<double>(position)), ByteCountText(static_cast<double>(size))})
                        .c_str());
        progress.ContinueFrom(position, elapsed());
    };

    CatchInterrupts();
    StartDownload(*grabber, video, target, options.Continue ? rmContinue : rmStartOver);
    while (grabber->Running() && !interrupted)
        CheckSynchronize(100);
    // Stopping waits for the worker; a stopped run keeps only a part that
    // the server can continue.
    grabber->Stop();
    auto tellWhatIsKept = [&](int status) {
        if (grabber->PartKept())
            std::fprintf(stderr, "skerrow: %s\n",
                         Printable(Tr("What was received is kept in %s; run the same command again to continue.",
                                      {TGrabberPartFile::PartName(target)}))
                             .c_str());
        return status;
    };
    if (interrupted && !done)
        return tellWhatIsKept(Fail(esCancelled, Tr("Cancelled")));
    progress.Finish(received, total, elapsed());
    if (!done)
        return tellWhatIsKept(Fail(esDownloadFailed, error.empty() ? Tr("Failed") : error));
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
    if (AddressKind(options->Address) == akNone)
        return Fail(esNotAccepted, Tr("This is not a video address") + ": " + options->Address);

    TResolution resolution = ResolveVideo(options->Address, options->Quality, Site::Host(), PageBounds());
    if (resolution.Failure)
        return Fail(esResolutionFailed, FailureText(resolution.Failure));
    const TVideoSource& video = *resolution.Video;
    return Download(video, TargetPath(options->Output, video.ProposedFileName), *options);
}
