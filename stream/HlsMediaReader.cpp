#include "stream/HlsMediaReader.h"

#include "stream/HlsAttributes.h"
#include "stream/HlsKeyMethod.h"
#include "stream/StreamLimits.h"
#include "stream/StreamNumbers.h"

#include "runtime/AsciiText.h"

#include <algorithm>

namespace {

// The IV of a segment whose key names none: its media sequence number as a
// 128-bit big-endian number.
std::array<unsigned char, 16> SequenceIv(std::uint64_t sequence)
{
    std::array<unsigned char, 16> iv{};
    for (int byte = 15; byte >= 8; --byte, sequence >>= 8)
        iv[byte] = static_cast<unsigned char>(sequence & 0xff);
    return iv;
}

} // namespace

void THlsMediaReader::Read(const THlsLine& line)
{
    if (line.IsTag())
        ReadTag(line);
    else if (line.IsAddress())
        ReadSegment(line);
}

void THlsMediaReader::ReadTag(const THlsLine& line)
{
    const std::string_view name = line.TagName();
    const std::string_view value = line.TagValue();
    if (name == "EXTINF") {
        duration_ = ParseSeconds(AsciiText::Trim(value.substr(0, value.find(','))));
        if (!duration_)
            line.FailValue(name, value);
    } else if (name == "EXT-X-BYTERANGE") {
        range_ = ReadRange(line, name, value);
    } else if (name == "EXT-X-DISCONTINUITY") {
        ++discontinuities_;
    } else if (name == "EXT-X-KEY") {
        ReadKey(line);
    } else if (name == "EXT-X-MAP") {
        ReadMap(line);
    } else if (name == "EXT-X-MEDIA-SEQUENCE" || name == "EXT-X-TARGETDURATION") {
        std::optional<std::uint64_t> number = ParseWholeNumber(value);
        if (!number)
            line.FailValue(name, value);
        if (name == "EXT-X-MEDIA-SEQUENCE")
            mediaSequence_ = *number;
    } else if (name == "EXT-X-ENDLIST") {
        ended_ = true;
    } else if (name == "EXT-X-PLAYLIST-TYPE") {
        onDemand_ = value == "VOD";
    }
}

void THlsMediaReader::ReadKey(const THlsLine& line)
{
    const THlsAttributes attributes(line);
    const TStreamProtection protection = KeyProtection(attributes);
    protection_ = std::max(protection_, protection);
    switch (protection) {
    case spNone: key_.reset(); break;
    // A licence server's key cannot open the segments; the playlist is
    // refused for it, whatever key stays in force.
    case spDrm: break;
    case spAes128:
        if (!attributes.Has("URI"))
            line.Fail("%s is missing", {"URI"});
        key_ = TKey{line.AddressOf(attributes.Text("URI"), address_), attributes.Hex128("IV"), line.Number};
        break;
    }
}

void THlsMediaReader::ReadMap(const THlsLine& line)
{
    const THlsAttributes attributes(line);
    if (!attributes.Has("URI"))
        line.Fail("%s is missing", {"URI"});
    TStreamPiece init{line.AddressOf(attributes.Text("URI"), address_), std::nullopt, std::nullopt};
    if (attributes.Has("BYTERANGE")) {
        TWrittenRange written = ReadRange(line, "BYTERANGE", attributes.Text("BYTERANGE"));
        init.Range = TByteRange{written.Offset.value_or(0), written.Length};
    }
    if (key_) {
        // An init section has no sequence number to stand in for its IV.
        if (!key_->Iv)
            THlsLine{{}, key_->Line}.Fail("%s is missing", {"IV"});
        init.Key = TPieceKey{key_->Address, *key_->Iv};
    }
    track_.SetPlace(TManifestPlace::Line(line.Number));
    init_ = track_.AddInit(std::move(init));
}

void THlsMediaReader::ReadSegment(const THlsLine& line)
{
    if (!duration_)
        line.Fail("%s is missing", {"EXTINF"});
    TStreamSegment segment;
    segment.Piece.Address = line.AddressOf(line.Text, address_);
    if (range_)
        segment.Piece.Range = RangeOf(line, segment.Piece.Address, *range_);
    segment.Piece.Key = KeyOf(mediaSequence_ + track_.SegmentCount());
    segment.Duration = *duration_;
    segment.Init = init_;
    segment.Discontinuity = discontinuities_;
    track_.SetPlace(TManifestPlace::Line(line.Number));
    track_.AddSegment(std::move(segment));
    duration_.reset();
    range_.reset();
}

THlsMediaReader::TWrittenRange THlsMediaReader::ReadRange(const THlsLine& line, std::string_view name,
                                                          std::string_view text)
{
    const std::size_t at = text.find('@');
    std::optional<std::uint64_t> length = AsciiText::ParseUnsigned(text.substr(0, at));
    std::optional<std::uint64_t> offset;
    if (at != std::string_view::npos && !(offset = AsciiText::ParseUnsigned(text.substr(at + 1))))
        line.FailValue(name, text);
    if (!length || *length == 0 || *length > kMaxWholeNumber || offset.value_or(0) > kMaxWholeNumber)
        line.FailValue(name, text);
    TWrittenRange range{static_cast<std::int64_t>(*length), std::nullopt};
    if (offset)
        range.Offset = static_cast<std::int64_t>(*offset);
    return range;
}

TByteRange THlsMediaReader::RangeOf(const THlsLine& line, const std::string& address, const TWrittenRange& written)
{
    std::int64_t offset = 0;
    if (written.Offset) {
        offset = *written.Offset;
    } else {
        auto previous = rangeEnds_.find(address);
        if (previous == rangeEnds_.end())
            line.Fail("a byte range without an offset follows no range of the same file");
        offset = previous->second;
        if (offset > static_cast<std::int64_t>(kMaxWholeNumber))
            line.FailValue("EXT-X-BYTERANGE", std::to_string(written.Length));
    }
    rangeEnds_[address] = offset + written.Length;
    return TByteRange{offset, written.Length};
}

std::optional<TPieceKey> THlsMediaReader::KeyOf(std::uint64_t sequence) const
{
    if (!key_)
        return std::nullopt;
    return TPieceKey{key_->Address, key_->Iv.value_or(SequenceIv(sequence))};
}

THlsPlaylist THlsMediaReader::Finish()
{
    THlsPlaylist playlist;
    playlist.Track = track_.Take();
    playlist.Live = !ended_ && !onDemand_;
    playlist.Protection = protection_;
    return playlist;
}
