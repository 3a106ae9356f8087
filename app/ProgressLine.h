#pragma once

#include <cstdint>
#include <string>

// The command line's progress report: size, received, percent, rate and
// time left, redrawn in place on a terminal, plain lines elsewhere.
class TProgressLine {
public:
    explicit TProgressLine(bool terminal) : terminal_(terminal) {}

    // The text for a moment of the transfer; total <= 0 means unknown.
    static std::string Text(std::int64_t received, std::int64_t total, double elapsedSeconds);

    // Shows the progress now and then: on a terminal at most ten times a
    // second, elsewhere at most once a second.
    void Update(std::int64_t received, std::int64_t total, double elapsedSeconds);
    // Shows the last state and ends the line.
    void Finish(std::int64_t received, std::int64_t total, double elapsedSeconds);

private:
    void Show(const std::string& text);

    bool terminal_;
    double shownAt_ = -1;
    std::size_t width_ = 0;
};

// "1.5 MB", "640 KB", "12 bytes".
std::string ByteCountText(double bytes);
