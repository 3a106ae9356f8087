#include "stream/HlsMasterReader.h"

#include "stream/CodecList.h"
#include "stream/HlsAttributes.h"
#include "stream/HlsKeyMethod.h"

#include <algorithm>

namespace {

std::optional<std::int64_t> Signed(std::optional<std::uint64_t> value)
{
    return value ? std::optional<std::int64_t>(static_cast<std::int64_t>(*value)) : std::nullopt;
}

} // namespace

void THlsMasterReader::Read(const THlsLine& line)
{
    if (line.IsTag())
        ReadTag(line);
    else if (line.IsAddress())
        ReadAddress(line);
}

void THlsMasterReader::ReadTag(const THlsLine& line)
{
    const std::string_view name = line.TagName();
    if (name == "EXT-X-STREAM-INF")
        ReadVariant(line);
    else if (name == "EXT-X-MEDIA")
        ReadMedia(line);
    else if (name == "EXT-X-SESSION-KEY")
        playlist_.Protection = std::max(playlist_.Protection, KeyProtection(THlsAttributes(line)));
    else if (name == "EXTINF")
        line.Fail("a playlist cannot hold both variants and segments");
}

void THlsMasterReader::ReadVariant(const THlsLine& line)
{
    if (variant_)
        THlsLine{{}, variant_->Line}.Fail("%s is missing", {"URI"});
    const THlsAttributes attributes(line);
    TVariant variant;
    variant.Line = line.Number;
    variant.Name = attributes.Text("NAME");
    TStreamFormat& format = variant.Format;
    format.Id = std::to_string(variants_++);
    format.Bandwidth = Signed(attributes.Whole("BANDWIDTH"));
    if (std::optional<std::int64_t> average = Signed(attributes.Whole("AVERAGE-BANDWIDTH")); !format.Bandwidth)
        format.Bandwidth = average;
    if (std::optional<std::pair<int, int>> resolution = attributes.Resolution("RESOLUTION")) {
        format.Width = resolution->first;
        format.Height = resolution->second;
    }
    format.Codecs = attributes.Text("CODECS");
    format.AudioGroup = attributes.Text("AUDIO");
    variant.AudioOnly = CodecKindsOf(format.Codecs).AudioOnly();
    variant_ = std::move(variant);
}

void THlsMasterReader::ReadMedia(const THlsLine& line)
{
    const THlsAttributes attributes(line);
    if (attributes.Text("TYPE") != "AUDIO")
        return;
    if (!attributes.Has("GROUP-ID"))
        line.Fail("%s is missing", {"GROUP-ID"});
    TAudioRendition audio;
    audio.Name = attributes.Text("NAME");
    audio.Id = audio.Name;
    audio.Group = attributes.Text("GROUP-ID");
    audio.Language = attributes.Text("LANGUAGE");
    audio.Default = attributes.Yes("DEFAULT");
    if (attributes.Has("URI"))
        audio.Address = line.AddressOf(attributes.Text("URI"), address_);
    playlist_.Audio.push_back(std::move(audio));
}

void THlsMasterReader::ReadAddress(const THlsLine& line)
{
    if (!variant_)
        return; // an address without its tag says nothing of a variant
    TVariant variant = std::move(*variant_);
    variant_.reset();
    TStreamFormat& format = variant.Format;
    format.Address = line.AddressOf(line.Text, address_);
    if (!variant.AudioOnly) {
        playlist_.Formats.push_back(std::move(format));
        return;
    }
    TAudioRendition audio;
    audio.Id = format.Id;
    audio.Address = std::move(format.Address);
    audio.Name = std::move(variant.Name);
    audio.Bandwidth = format.Bandwidth;
    audio.Codecs = std::move(format.Codecs);
    playlist_.Audio.push_back(std::move(audio));
}

void THlsMasterReader::LendAudioCodecs()
{
    for (TAudioRendition& audio : playlist_.Audio) {
        if (audio.Group.empty() || !audio.Codecs.empty())
            continue;
        auto variant = std::find_if(playlist_.Formats.begin(), playlist_.Formats.end(),
                                    [&](const TStreamFormat& format) { return format.AudioGroup == audio.Group; });
        if (variant != playlist_.Formats.end())
            audio.Codecs = AudioCodecs(variant->Codecs);
    }
}

THlsPlaylist THlsMasterReader::Finish()
{
    if (variant_)
        THlsLine{{}, variant_->Line}.Fail("%s is missing", {"URI"});
    LendAudioCodecs();
    playlist_.Master = true;
    return std::move(playlist_);
}
