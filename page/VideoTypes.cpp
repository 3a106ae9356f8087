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

struct TPiecesKind {
    std::string_view Name; // a type, or an extension
    TPiecesFormat Format;
};

constexpr TPiecesKind kPiecesTypes[] = {
    {"application/vnd.apple.mpegurl", pfHls},
    {"application/x-mpegurl", pfHls},
    {"audio/mpegurl", pfHls},
    {"audio/x-mpegurl", pfHls},
    {"application/dash+xml", pfDash},
};

constexpr TPiecesKind kPiecesExtensions[] = {{".m3u8", pfHls}, {".mpd", pfDash}};

const TPiecesKind* PiecesKindOfPath(std::string_view path)
{
    const std::string lower = AsciiText::LowerCase(path);
    for (const TPiecesKind& kind : kPiecesExtensions)
        if (AsciiText::EndsWith(lower, kind.Name))
            return &kind;
    return nullptr;
}

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

TPiecesFormat PiecesFormatOfType(std::string_view contentType)
{
    const std::string type = MediaType(contentType);
    for (const TPiecesKind& kind : kPiecesTypes)
        if (type == kind.Name)
            return kind.Format;
    return pfNone;
}

TPiecesFormat PiecesFormatOfPath(std::string_view path)
{
    const TPiecesKind* kind = PiecesKindOfPath(path);
    return kind ? kind->Format : pfNone;
}

bool IsPiecesType(std::string_view contentType)
{
    return PiecesFormatOfType(contentType) != pfNone;
}

bool IsPiecesPath(std::string_view path)
{
    return PiecesFormatOfPath(path) != pfNone;
}

std::string_view PiecesExtensionOf(std::string_view path)
{
    const TPiecesKind* kind = PiecesKindOfPath(path);
    return kind ? path.substr(path.size() - kind->Name.size()) : std::string_view();
}
