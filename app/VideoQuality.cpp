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
