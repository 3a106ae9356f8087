#include "widgets/ValueFormat.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kMaxWidth = 64;
constexpr int kMaxPrecision = 30;

// One conversion "%[flags][width][.precision]conv" starting at pattern[start].
struct Conversion {
    std::string Spec;     // rebuilt for snprintf
    qsizetype Length = 0; // characters consumed from the pattern
};

// Reads decimal digits at text[at]; -1 when there are none. Long digit runs
// saturate instead of overflowing.
int ReadNumber(const std::string& text, std::size_t& at)
{
    if (at >= text.size() || text[at] < '0' || text[at] > '9')
        return -1;
    int number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        number = std::min(number * 10 + (text[at] - '0'), 100000);
        ++at;
    }
    return number;
}

bool ReadConversion(const std::string& text, std::size_t start, Conversion& out)
{
    std::size_t at = start + 1;
    std::string spec = "%";
    while (at < text.size() && std::string("-+ #0").find(text[at]) != std::string::npos)
        spec += text[at++];
    const int width = ReadNumber(text, at);
    if (width > kMaxWidth)
        return false;
    if (width >= 0)
        spec += std::to_string(width);
    if (at < text.size() && text[at] == '.') {
        ++at;
        const int precision = std::max(ReadNumber(text, at), 0);
        if (precision > kMaxPrecision)
            return false;
        spec += "." + std::to_string(precision);
    }
    if (at >= text.size() || std::string("fFeEgG").find(text[at]) == std::string::npos)
        return false;
    spec += text[at++];
    out.Spec = spec;
    out.Length = static_cast<qsizetype>(at - start);
    return true;
}

std::string FormatNumber(const std::string& spec, double value)
{
    char buffer[512];
    const int written = std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
    if (written < 0)
        return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(written), sizeof buffer - 1));
}

} // namespace

QString FormatValue(const QString& pattern, double value)
{
    const std::string text = pattern.toStdString();
    std::string result;
    bool numberUsed = false;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '%') {
            result += text[at++];
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '%') {
            result += '%';
            at += 2;
            continue;
        }
        Conversion conversion;
        if (!numberUsed && ReadConversion(text, at, conversion)) {
            result += FormatNumber(conversion.Spec, value);
            at += static_cast<std::size_t>(conversion.Length);
            numberUsed = true;
        } else {
            result += text[at++];
        }
    }
    return QString::fromStdString(result);
}
