#include "page/VideoTypes.h"

#include "runtime/AsciiText.h"

namespace {

struct TVideoFileKind {
    std::string_view Extension;
    std::string_view Type;
};

// The first kind of a type is the extension it is saved with.
constexpr TVideoFileKind kVideoFileKinds[] = {
    {".mp4", "video/mp4"},        {".m4v", "video/x-m4v"},     {".webm", "video/webm"},
    {".mkv", "video/x-matroska"}, {".mov", "video/quicktime"}, {".flv", "video/x-flv"},
    {".3gp", "video/3gpp"},       {".ogv", "video/ogg"},       {".avi", "video/x-msvideo"},
};

constexpr std::string_view kPiecesTypes[] = {
    "application/vnd.apple.mpegurl", "application/x-mpegurl", "audio/mpegurl", "audio/x-mpegurl",
    "application/dash+xml",
};

} // namespace

std::string_view VideoExtensionOf(std::string_view path)
{
    const std::string lower = AsciiText::LowerCase(path);
    for (const TVideoFileKind& kind : kVideoFileKinds)
        if (AsciiText::EndsWith(lower, kind.Extension))
            return path.substr(path.size() - kind.Extension.size());
    return {};
}

std::string MediaType(std::string_view contentType)
{
    return AsciiText::LowerCase(AsciiText::Trim(contentType.substr(0, contentType.find(';'))));
}

bool IsVideoType(std::string_view contentType)
{
    return MediaType(contentType).rfind("video/", 0) == 0 && !IsPiecesType(contentType);
}

std::string ExtensionOfType(std::string_view contentType)
{
    const std::string type = MediaType(contentType);
    for (const TVideoFileKind& kind : kVideoFileKinds)
        if (kind.Type == type)
            return std::string(kind.Extension);
    return {};
}

std::string TypeOfPath(std::string_view path)
{
    const std::string extension = AsciiText::LowerCase(VideoExtensionOf(path));
    for (const TVideoFileKind& kind : kVideoFileKinds)
        if (kind.Extension == extension)
            return std::string(kind.Type);
    return {};
}

bool IsPiecesType(std::string_view contentType)
{
    const std::string type = MediaType(contentType);
    for (std::string_view pieces : kPiecesTypes)
        if (type == pieces)
            return true;
    return false;
}

bool IsPiecesPath(std::string_view path)
{
    const std::string lower = AsciiText::LowerCase(path);
    return AsciiText::EndsWith(lower, ".m3u8") || AsciiText::EndsWith(lower, ".mpd");
}
