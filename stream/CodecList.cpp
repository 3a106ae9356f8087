#include "stream/CodecList.h"

#include "runtime/AsciiText.h"

#include <algorithm>
#include <vector>

namespace {

enum TCodecKind { ckVideo, ckAudio, ckOther };

// The codecs of a list, trimmed, blank ones left out.
std::vector<std::string> CodecsOf(std::string_view list)
{
    std::vector<std::string> codecs;
    for (const std::string& piece : AsciiText::SplitList(list, ","))
        if (std::string codec = AsciiText::Trim(piece); !codec.empty())
            codecs.push_back(codec);
    return codecs;
}

// The sample entry of one codec ("avc1" for "avc1.64001f"), in lower case.
std::string FamilyOf(std::string_view codec)
{
    return AsciiText::LowerCase(codec.substr(0, codec.find('.')));
}

TCodecKind KindOf(std::string_view codec)
{
    static const char* const kVideo[] = {"avc1", "avc2", "avc3", "avc4", "hvc1", "hev1", "dvh1", "dvhe", "dva1",
                                         "dvav", "vp08", "vp09", "vp8",  "vp9",  "av01", "mp4v", "vvc1", "vvi1"};
    static const char* const kAudio[] = {"mp4a", "ac-3", "ec-3", "ac-4", "opus", "flac",   "alac", "mp3",
                                         "dtsc", "dtse", "dtsh", "dtsl", "dtsx", "vorbis", "mha1", "mhm1"};
    const std::string family = FamilyOf(codec);
    if (std::find(std::begin(kVideo), std::end(kVideo), family) != std::end(kVideo))
        return ckVideo;
    if (std::find(std::begin(kAudio), std::end(kAudio), family) != std::end(kAudio))
        return ckAudio;
    return ckOther;
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ",") + item;
    return text;
}

} // namespace

TCodecKinds CodecKindsOf(std::string_view codecs)
{
    TCodecKinds kinds;
    for (const std::string& codec : CodecsOf(codecs)) {
        switch (KindOf(codec)) {
        case ckVideo: kinds.Video = true; break;
        case ckAudio: kinds.Audio = true; break;
        case ckOther: kinds.Other = true; break;
        }
    }
    return kinds;
}

std::string CodecFamilies(std::string_view codecs)
{
    std::vector<std::string> families;
    for (const std::string& codec : CodecsOf(codecs))
        families.push_back(FamilyOf(codec));
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return Joined(families);
}

std::string AudioCodecs(std::string_view codecs)
{
    std::vector<std::string> audio;
    for (const std::string& codec : CodecsOf(codecs))
        if (KindOf(codec) == ckAudio)
            audio.push_back(codec);
    return Joined(audio);
}
