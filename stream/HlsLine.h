#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One line of an HLS playlist, and the faults found on it.
struct THlsLine {
    std::string_view Text;  // without its line break and trailing blanks
    std::size_t Number = 0; // from 1

    // A tag: "#EXT", its name, then ":" and its value ("#EXTINF:9.5,").
    bool IsTag() const { return Text.starts_with("#EXT"); }
    std::string_view TagName() const;  // "EXTINF"
    std::string_view TagValue() const; // "9.5,"; empty when there is no ":"
    // A line that names a resource: neither blank nor a tag or comment.
    bool IsAddress() const { return !Text.empty() && Text.front() != '#'; }

    // An address written on the line, read against the playlist's own;
    // raises EStreamManifest unless it is an http or https address.
    std::string AddressOf(std::string_view reference, const std::string& playlist) const;

    // Raises EStreamManifest: "... line 12: why".
    [[noreturn]] void Fail(const char* reason, std::vector<std::string> arguments = {}) const;
    // "NAME has an invalid value (VALUE)".
    [[noreturn]] void FailValue(std::string_view name, std::string_view value) const;
};

// Calls visit(const THlsLine&) for each line of a playlist, the lines split
// at LF and freed of a CR before it; a leading UTF-8 byte order mark is not
// part of the first line.
template <class TVisit>
void ForEachLine(std::string_view text, TVisit&& visit)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        visit(THlsLine{line, ++number});
    }
}
