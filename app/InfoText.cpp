#include "app/InfoText.h"

#include "app/ByteCountText.h"
#include "app/CommandLineReport.h"
#include "app/ProgramText.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using TRow = std::vector<std::string>;
using TLabelled = std::vector<std::pair<std::string, std::string>>;

// The characters of UTF-8 text: its bytes that begin one.
std::size_t Width(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width)
{
    return text + std::string(width - std::min(width, Width(text)), ' ');
}

// What came from elsewhere, on one line and harmless to the terminal.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : Printable(text))
        line += c == '\n' ? std::string("\\x0A") : std::string(1, c);
    return line;
}

std::string OrUnknown(const std::string& text)
{
    return text.empty() ? "-" : OneLine(text);
}

// "2856 kbit/s"; "-" when unknown.
std::string Bandwidth(const std::optional<std::int64_t>& bitsPerSecond)
{
    return bitsPerSecond ? FixedPointText(static_cast<double>(*bitsPerSecond) / 1000, 0, ".", "kbit/s") : "-";
}

std::string Size(const TStreamFormat& format)
{
    if (!format.Height)
        return "-";
    if (!format.Width)
        return std::to_string(*format.Height) + "p";
    return std::to_string(*format.Width) + "x" + std::to_string(*format.Height);
}

// Rows under one another, their columns aligned, each indented by two (the
// chosen one marked).
std::string Table(const std::vector<std::pair<bool, TRow>>& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& [chosen, row] : rows)
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths.resize(std::max(widths.size(), column + 1));
            widths[column] = std::max(widths[column], Width(row[column]));
        }
    std::string table;
    for (const auto& [chosen, row] : rows) {
        std::string line = chosen ? "* " : "  ";
        for (std::size_t column = 0; column < row.size(); ++column)
            line += column + 1 < row.size() ? Padded(row[column], widths[column]) + "  " : row[column];
        table += line + "\n";
    }
    return table;
}

std::string FormatTable(const TAddressInfo& info)
{
    std::vector<std::pair<bool, TRow>> rows;
    for (const TStreamFormat& format : info.Formats)
        rows.push_back({format.Id == info.FormatId,
                        {OneLine(format.Id), Size(format), Bandwidth(format.Bandwidth), OrUnknown(format.Codecs),
                         OrUnknown(format.Container), OrUnknown(format.Address)}});
    return Table(rows);
}

std::string AudioTable(const TAddressInfo& info)
{
    std::vector<std::pair<bool, TRow>> rows;
    for (const TAudioRendition& audio : info.Audio)
        rows.push_back({audio.Id == info.AudioId,
                        {OneLine(audio.Id), OrUnknown(audio.Language), OrUnknown(audio.Name),
                         audio.Default ? Tr("default") : "-", Bandwidth(audio.Bandwidth), OrUnknown(audio.Codecs),
                         audio.Address.empty() ? Tr("inside the video") : OneLine(audio.Address)}});
    return Table(rows);
}

std::string KindText(const TAddressInfo& info)
{
    switch (info.Kind) {
    case fkWatchPage: return Tr("the video site's watch page");
    case fkFile: return Tr("a video file");
    case fkPage: return Tr("a web page that shows a video");
    case fkStream: break;
    }
    return info.Pieces == pfDash ? Tr("a DASH manifest") : Tr("an HLS playlist");
}

std::string ProtectionText(TStreamProtection protection)
{
    switch (protection) {
    case spNone: return Tr("none");
    case spAes128: return "AES-128";
    case spDrm: break;
    }
    return "DRM";
}

// What a stream alone tells: its pieces, their length and their keys.
void AddStreamFacts(const TAddressInfo& info, TLabelled& lines)
{
    if (!info.Protection)
        return;
    lines.push_back({Tr("Segments"), info.Segments ? std::to_string(*info.Segments) : "-"});
    lines.push_back({Tr("Duration"), info.Duration ? FixedPointText(*info.Duration, 1, ".", "s") : "-"});
    lines.push_back({Tr("Encryption"), ProtectionText(*info.Protection)});
    lines.push_back({Tr("Live"), info.Live ? Tr("yes") : Tr("no")});
}

std::string Labelled(const TLabelled& lines, const std::string& indent)
{
    std::size_t width = 0;
    for (const auto& [label, value] : lines)
        width = std::max(width, Width(label) + 1);
    std::string text;
    for (const auto& [label, value] : lines)
        text += indent + Padded(label + ":", width) + " " + value + "\n";
    return text;
}

} // namespace

std::string InfoText(const TAddressInfo& info)
{
    std::string text = Labelled(
        {{Tr("Address"), OneLine(info.Address)}, {Tr("Kind"), KindText(info)}, {Tr("Title"), OrUnknown(info.Title)}},
        "");
    text += Tr("Formats") + ":\n" + FormatTable(info);
    if (!info.Audio.empty())
        text += Tr("Audio") + ":\n" + AudioTable(info);
    TLabelled choice = {{Tr("Format"), OrUnknown(info.FormatId)},
                        {Tr("Audio"), info.AudioId.empty() ? Tr("the video's own") : OneLine(info.AudioId)},
                        {Tr("File"), OrUnknown(info.File)}};
    AddStreamFacts(info, choice);
    text += Tr("What %s takes", {info.Quality}) + ":\n" + Labelled(choice, "  ");
    if (!info.Refusal.empty())
        text += OneLine(info.Refusal) + "\n";
    return text;
}
