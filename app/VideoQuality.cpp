#include "app/VideoQuality.h"

#include "runtime/AsciiText.h"

#include <array>
#include <cstdint>
#include <utility>

namespace {

const std::array<std::pair<TQualityKind, const char*>, 6> kNames = {{{vqNormal, "normal"},
                                                                     {vqMobile, "mobile"},
                                                                     {vqHighQuality, "hq"},
                                                                     {vqHighDefinition, "hd"},
                                                                     {vqBest, "best"},
                                                                     {vqWorst, "worst"}}};

constexpr std::uint64_t kMostLines = 99999;

// "720" or "720p": digits only, no sign, no blank.
std::optional<TVideoQuality> HeightNamed(std::string name)
{
    if (name.ends_with('p'))
        name.pop_back();
    const std::optional<std::uint64_t> lines = AsciiText::ParseUnsigned(name);
    if (!lines || *lines < 1 || *lines > kMostLines)
        return std::nullopt;
    return TVideoQuality(vqHeight, static_cast<int>(*lines));
}

} // namespace

std::string QualityName(TVideoQuality quality)
{
    if (quality.Kind == vqHeight)
        return std::to_string(quality.Lines) + "p";
    for (const auto& [known, name] : kNames)
        if (known == quality.Kind)
            return name;
    return "hq";
}

std::optional<TVideoQuality> QualityNamed(const std::string& name)
{
    for (const auto& [quality, known] : kNames)
        if (name == known)
            return quality;
    return HeightNamed(name);
}

TSizePreference SizeFor(TVideoQuality quality)
{
    switch (quality.Kind) {
    case vqHighDefinition:
    case vqBest: return spLargest;
    case vqHighQuality: return spNearest360;
    case vqHeight: return NearestHeight(quality.Lines);
    case vqNormal:
    case vqMobile:
    case vqWorst: break;
    }
    return spSmallest;
}
