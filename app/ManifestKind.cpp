#include "app/ManifestKind.h"

#include <algorithm>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view WithoutByteOrderMark(std::string_view text)
{
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

// What may stand before the root element: the XML declaration, processing
// instructions, comments and a document type. Each is passed over as a
// whole, so the walk ends within the text.
bool SkipProlog(std::string_view& text)
{
    for (;;) {
        text.remove_prefix(std::min(text.find_first_not_of(kBlanks), text.size()));
        std::string_view end = text.starts_with("<?") ? "?>"
            : text.starts_with("<!--")                ? "-->"
            : text.starts_with("<!")                  ? ">"
                                                      : "";
        if (end.empty())
            return true;
        const std::size_t at = text.find(end, 2);
        if (at == std::string_view::npos)
            return false;
        text.remove_prefix(at + end.size());
    }
}

bool HasMpdRoot(std::string_view text)
{
    text = WithoutByteOrderMark(text);
    if (!SkipProlog(text) || !text.starts_with('<'))
        return false;
    std::string_view name = text.substr(1, text.find_first_of(" \t\r\n/>") - 1);
    if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos)
        name.remove_prefix(colon + 1);
    return name == "MPD";
}

} // namespace

TPiecesFormat ManifestKind(std::string_view contentType, std::string_view path, std::string_view text)
{
    if (TPiecesFormat byType = PiecesFormatOfType(contentType); byType != pfNone)
        return byType;
    if (TPiecesFormat byPath = PiecesFormatOfPath(path); byPath != pfNone)
        return byPath;
    if (WithoutByteOrderMark(text).starts_with("#EXTM3U"))
        return pfHls;
    return HasMpdRoot(text) ? pfDash : pfNone;
}
