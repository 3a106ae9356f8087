#include "app/ProgressLine.h"

#include "app/ByteCountText.h"
#include "app/ProgramText.h"

#include <cstdio>

namespace {

std::string DurationText(double seconds)
{
    long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

// What arrived and of how much (an estimate with "~"), without the rate.
std::string AmountText(std::int64_t received, std::int64_t total, bool estimated)
{
    std::string text = ByteCountText(static_cast<double>(received));
    if (total <= 0)
        return text;
    char percent[16];
    std::snprintf(percent, sizeof percent, "%.0f%%",
                  100.0 * static_cast<double>(received) / static_cast<double>(total));
    return Tr("%s of %s (%s)", {text, (estimated ? "~" : "") + ByteCountText(static_cast<double>(total)), percent});
}

} // namespace

std::string TProgressLine::WaitingText(std::int64_t received, std::int64_t total, const std::string& waiting,
                                       bool estimated)
{
    return AmountText(received, total, estimated) + " - " + waiting;
}

std::string TProgressLine::Text(std::int64_t received, std::int64_t total, double elapsedSeconds,
                                std::int64_t alreadyThere, bool estimated)
{
    double rate = elapsedSeconds > 0 ? static_cast<double>(received - alreadyThere) / elapsedSeconds : 0;
    std::string text = AmountText(received, total, estimated);
    if (rate > 0) {
        text += " " + Tr("at %s/s", {ByteCountText(rate)});
        if (total > received)
            text += ", " + Tr("%s left", {DurationText(static_cast<double>(total - received) / rate)});
    }
    return text;
}

bool TProgressLine::Due(double elapsedSeconds) const
{
    double interval = terminal_ ? 0.1 : 1.0;
    return shownAt_ < 0 || elapsedSeconds - shownAt_ >= interval;
}

void TProgressLine::Update(std::int64_t received, std::int64_t total, double elapsedSeconds)
{
    received_ = received;
    total_ = total;
    if (received == 0 || !Due(elapsedSeconds))
        return;
    shownAt_ = elapsedSeconds;
    shownReceived_ = received;
    Show(Text(received, total, elapsedSeconds - startSeconds_, startBytes_, estimated_));
}

void TProgressLine::Refresh(double elapsedSeconds, const std::string& waiting)
{
    if (received_ == 0 || !Due(elapsedSeconds))
        return;
    if (waiting.empty() && received_ == shownReceived_)
        return;
    shownAt_ = elapsedSeconds;
    shownReceived_ = received_;
    Show(waiting.empty() ? Text(received_, total_, elapsedSeconds - startSeconds_, startBytes_, estimated_)
                         : WaitingText(received_, total_, waiting, estimated_));
}

void TProgressLine::Finish(std::int64_t received, std::int64_t total, double elapsedSeconds)
{
    Show(Text(received, total, elapsedSeconds - startSeconds_, startBytes_, estimated_));
    Break();
}

void TProgressLine::Break()
{
    if (terminal_ && width_ > 0)
        std::fputc('\n', stdout);
    width_ = 0;
    std::fflush(stdout);
}

void TProgressLine::ContinueFrom(std::int64_t alreadyThere, double elapsedSeconds)
{
    startBytes_ = alreadyThere;
    startSeconds_ = elapsedSeconds;
}

void TProgressLine::Show(const std::string& text)
{
    if (!terminal_) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        return;
    }
    // Blanks wipe what a longer earlier text left behind.
    std::string padded = text;
    if (padded.size() < width_)
        padded.append(width_ - padded.size(), ' ');
    width_ = text.size();
    std::printf("\r%s", padded.c_str());
    std::fflush(stdout);
}
