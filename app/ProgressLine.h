#pragma once

#include <cstdint>
#include <string>

// The command line's progress report: size, received, percent, rate and
// time left, redrawn in place on a terminal, plain lines elsewhere.
class TProgressLine {
public:
    explicit TProgressLine(bool terminal) : terminal_(terminal) {}

    // The text for a moment of the transfer; total <= 0 means unknown. The
    // rate counts what arrived since the transfer began with alreadyThere.
    static std::string Text(std::int64_t received, std::int64_t total, double elapsedSeconds,
                            std::int64_t alreadyThere = 0, bool estimated = false);
    // The same with what the transfer waits for in place of its rate.
    static std::string WaitingText(std::int64_t received, std::int64_t total, const std::string& waiting,
                                   bool estimated = false);

    // Shows the progress now and then: on a terminal at most ten times a
    // second, elsewhere at most once a second.
    void Update(std::int64_t received, std::int64_t total, double elapsedSeconds);
    // Shows, when the line is due again, what arrived last if it was not
    // shown yet (the transfer may have stopped since), or what the transfer
    // waits for (empty: it does not wait).
    void Refresh(double elapsedSeconds, const std::string& waiting = "");
    // Shows the last state and ends the line.
    void Finish(std::int64_t received, std::int64_t total, double elapsedSeconds);
    // Ends a line being redrawn, so that a message can follow it.
    void Break();
    // The transfer goes on from alreadyThere bytes at this moment: the rate
    // counts from here.
    void ContinueFrom(std::int64_t alreadyThere, double elapsedSeconds);
    // The totals shown are estimates (a stream in pieces, until its pieces
    // are all there).
    void EstimateTotals() { estimated_ = true; }

private:
    void Show(const std::string& text);
    bool Due(double elapsedSeconds) const;

    bool terminal_;
    double shownAt_ = -1;
    std::int64_t received_ = 0; // the last update's
    std::int64_t total_ = 0;
    std::int64_t shownReceived_ = 0;
    std::int64_t startBytes_ = 0;
    double startSeconds_ = 0;
    std::size_t width_ = 0;
    bool estimated_ = false;
};
