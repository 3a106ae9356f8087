#include "app/VideoQuality.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<TVideoQuality, const char*>, 4> kNames = {
    {{vqNormal, "normal"}, {vqMobile, "mobile"}, {vqHighQuality, "hq"}, {vqHighDefinition, "hd"}}};

} // namespace

std::string QualityName(TVideoQuality quality)
{
    for (const auto& [known, name] : kNames)
        if (known == quality)
            return name;
    return "hq";
}

std::optional<TVideoQuality> QualityNamed(const std::string& name)
{
    for (const auto& [quality, known] : kNames)
        if (name == known)
            return quality;
    return std::nullopt;
}

TSizePreference SizeFor(TVideoQuality quality)
{
    switch (quality) {
    case vqHighDefinition: return spLargest;
    case vqHighQuality: return spNearest360;
    case vqNormal:
    case vqMobile: break;
    }
    return spSmallest;
}
