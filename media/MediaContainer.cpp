#include "media/MediaContainer.h"

#include "runtime/AsciiText.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>

namespace {

struct TNamedCodec {
    std::string_view name;
    AVCodecID codec;
};

// Sample entry names and plain names, compared without letter case.
constexpr TNamedCodec kCodecNames[] = {
    {"avc1", AV_CODEC_ID_H264},     {"avc2", AV_CODEC_ID_H264}, {"avc3", AV_CODEC_ID_H264}, {"avc4", AV_CODEC_ID_H264},
    {"hvc1", AV_CODEC_ID_HEVC},     {"hev1", AV_CODEC_ID_HEVC}, {"dvh1", AV_CODEC_ID_HEVC}, {"dvhe", AV_CODEC_ID_HEVC},
    {"av01", AV_CODEC_ID_AV1},      {"vp09", AV_CODEC_ID_VP9},  {"vp9", AV_CODEC_ID_VP9},   {"vp08", AV_CODEC_ID_VP8},
    {"vp8", AV_CODEC_ID_VP8},       {"ac-3", AV_CODEC_ID_AC3},  {"ec-3", AV_CODEC_ID_EAC3}, {"opus", AV_CODEC_ID_OPUS},
    {"vorbis", AV_CODEC_ID_VORBIS}, {"flac", AV_CODEC_ID_FLAC}, {"alac", AV_CODEC_ID_ALAC}, {"mp3", AV_CODEC_ID_MP3},
    {"dtsc", AV_CODEC_ID_DTS},      {"dtsh", AV_CODEC_ID_DTS},  {"dtsl", AV_CODEC_ID_DTS},  {"dtse", AV_CODEC_ID_DTS},
};

// The MPEG-4 object types after "mp4a." and "mp4v." (hexadecimal).
constexpr struct {
    int type;
    AVCodecID codec;
} kObjectTypes[] = {
    {0x20, AV_CODEC_ID_MPEG4},      {0x21, AV_CODEC_ID_H264},       {0x40, AV_CODEC_ID_AAC},
    {0x60, AV_CODEC_ID_MPEG2VIDEO}, {0x61, AV_CODEC_ID_MPEG2VIDEO}, {0x62, AV_CODEC_ID_MPEG2VIDEO},
    {0x63, AV_CODEC_ID_MPEG2VIDEO}, {0x64, AV_CODEC_ID_MPEG2VIDEO}, {0x65, AV_CODEC_ID_MPEG2VIDEO},
    {0x66, AV_CODEC_ID_AAC},        {0x67, AV_CODEC_ID_AAC},        {0x68, AV_CODEC_ID_AAC},
    {0x69, AV_CODEC_ID_MP3},        {0x6A, AV_CODEC_ID_MPEG1VIDEO}, {0x6B, AV_CODEC_ID_MP3},
    {0xA5, AV_CODEC_ID_AC3},        {0xA6, AV_CODEC_ID_EAC3},       {0xA9, AV_CODEC_ID_DTS},
    {0xAD, AV_CODEC_ID_OPUS},
};

constexpr std::string_view kTextCodecNames[] = {"stpp", "wvtt", "tx3g", "c608", "c708"};

constexpr AVCodecID kWebmCodecs[] = {AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_AV1, AV_CODEC_ID_OPUS,
                                     AV_CODEC_ID_VORBIS};
// What MP4 players commonly play; FFmpeg writes more (Vorbis, MPEG-2) into
// MP4 than players read back.
constexpr AVCodecID kMp4Codecs[] = {AV_CODEC_ID_H264,  AV_CODEC_ID_HEVC, AV_CODEC_ID_AV1, AV_CODEC_ID_VP9,
                                    AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC,  AV_CODEC_ID_MP3, AV_CODEC_ID_AC3,
                                    AV_CODEC_ID_EAC3,  AV_CODEC_ID_OPUS, AV_CODEC_ID_ALAC};

// The part of a codec name before its first dot, and the part after.
std::pair<std::string_view, std::string_view> SplitName(std::string_view name)
{
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return {name, {}};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

AVCodecID CodecOfObjectType(std::string_view rest)
{
    const std::string_view digits = SplitName(rest).first;
    const std::optional<std::uint64_t> type = digits.size() == 2 ? AsciiText::ParseUnsigned(digits, 16) : std::nullopt;
    for (const auto& entry : kObjectTypes)
        if (type && static_cast<std::uint64_t>(entry.type) == *type)
            return entry.codec;
    return AV_CODEC_ID_NONE;
}

template <std::size_t N>
bool Among(const AVCodecID (&codecs)[N], AVCodecID codec)
{
    return std::find(std::begin(codecs), std::end(codecs), codec) != std::end(codecs);
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n\"");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n\"") - first + 1);
}

} // namespace

AVCodecID CodecOfName(std::string_view name)
{
    const auto [entry, rest] = SplitName(Trimmed(name));
    if (AsciiText::SameText(entry, "mp4a") || AsciiText::SameText(entry, "mp4v"))
        return CodecOfObjectType(rest);
    for (const TNamedCodec& known : kCodecNames)
        if (AsciiText::SameText(entry, known.name))
            return known.codec;
    return AV_CODEC_ID_NONE;
}

bool IsTextCodecName(std::string_view name)
{
    const std::string_view entry = SplitName(Trimmed(name)).first;
    return std::any_of(std::begin(kTextCodecNames), std::end(kTextCodecNames),
                       [entry](std::string_view text) { return AsciiText::SameText(entry, text); });
}

bool ContainerHolds(TContainer container, AVCodecID codec)
{
    if (container == ctWebm)
        return Among(kWebmCodecs, codec);
    if (container == ctMp4)
        return Among(kMp4Codecs, codec);
    return codec != AV_CODEC_ID_NONE; // Matroska: whatever FFmpeg's muxer takes
}

TContainer ContainerForCodecIds(const std::vector<AVCodecID>& codecs)
{
    const auto allHeldBy = [&codecs](TContainer container) {
        return std::all_of(codecs.begin(), codecs.end(),
                           [container](AVCodecID codec) { return ContainerHolds(container, codec); });
    };
    if (codecs.empty())
        return ctMp4;
    if (allHeldBy(ctWebm))
        return ctWebm;
    if (allHeldBy(ctMp4))
        return ctMp4;
    return ctMatroska;
}

TContainer ContainerForCodecs(std::string_view codecs)
{
    std::vector<AVCodecID> found;
    for (const std::string& name : AsciiText::SplitList(codecs, ","))
        if (!Trimmed(name).empty() && !IsTextCodecName(name))
            found.push_back(CodecOfName(name));
    return ContainerForCodecIds(found);
}

namespace {

struct TContainerNames {
    const char* extension;
    const char* muxer;
    const char* title;
};

const TContainerNames& NamesOf(TContainer container)
{
    static constexpr TContainerNames kNames[] = {
        {".mp4", "mp4", "MP4"},           // ctMp4
        {".mkv", "matroska", "Matroska"}, // ctMatroska
        {".webm", "webm", "WebM"},        // ctWebm
    };
    return kNames[container == ctMatroska ? 1 : container == ctWebm ? 2 : 0];
}

} // namespace

const char* ContainerExtension(TContainer container)
{
    return NamesOf(container).extension;
}

const char* ContainerMuxer(TContainer container)
{
    return NamesOf(container).muxer;
}

const char* ContainerTitle(TContainer container)
{
    return NamesOf(container).title;
}
