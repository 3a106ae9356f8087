#include "app/InfoJson.h"

#include <nlohmann/json.hpp>

namespace {

using TJson = nlohmann::ordered_json;

// An empty text is an unknown one.
TJson Text(const std::string& text)
{
    return text.empty() ? TJson(nullptr) : TJson(text);
}

template <typename T>
TJson Value(const std::optional<T>& value)
{
    return value ? TJson(*value) : TJson(nullptr);
}

const char* KindName(const TAddressInfo& info)
{
    switch (info.Kind) {
    case fkWatchPage: return "watch";
    case fkFile: return "direct";
    case fkPage: return "page";
    case fkStream: break;
    }
    return info.Pieces == pfDash ? "dash" : "hls";
}

TJson Encryption(const std::optional<TStreamProtection>& protection)
{
    if (!protection)
        return nullptr;
    switch (*protection) {
    case spNone: return "none";
    case spAes128: return "AES-128";
    case spDrm: break;
    }
    return "DRM";
}

TJson Format(const TStreamFormat& format)
{
    return {{"id", format.Id},
            {"address", Text(format.Address)},
            {"width", Value(format.Width)},
            {"height", Value(format.Height)},
            {"bandwidth", Value(format.Bandwidth)},
            {"codecs", Text(format.Codecs)},
            {"container", Text(format.Container)},
            {"audio_group", Text(format.AudioGroup)}};
}

TJson Audio(const TAudioRendition& audio)
{
    return {{"id", audio.Id},
            {"address", Text(audio.Address)},
            {"language", Text(audio.Language)},
            {"name", Text(audio.Name)},
            {"default", audio.Default},
            {"bandwidth", Value(audio.Bandwidth)},
            {"codecs", Text(audio.Codecs)}};
}

TJson Choice(const TAddressInfo& info)
{
    return {{"quality", info.Quality},
            {"format", Text(info.FormatId)},
            {"audio", Text(info.AudioId)},
            {"file", Text(info.File)},
            {"segments", Value(info.Segments)},
            {"duration", Value(info.Duration)},
            {"encryption", Encryption(info.Protection)},
            {"live", info.Live}};
}

} // namespace

std::string InfoJson(const TAddressInfo& info)
{
    TJson formats = TJson::array(), audio = TJson::array();
    for (const TStreamFormat& format : info.Formats)
        formats.push_back(Format(format));
    for (const TAudioRendition& rendition : info.Audio)
        audio.push_back(Audio(rendition));
    const TJson object = {{"address", info.Address}, {"kind", KindName(info)}, {"title", Text(info.Title)},
                          {"formats", formats},      {"audio", audio},         {"choice", Choice(info)}};
    return object.dump(-1, ' ', false, TJson::error_handler_t::replace);
}
