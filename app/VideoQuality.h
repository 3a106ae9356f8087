#pragma once

#include <optional>
#include <string>

// The four qualities the user can choose.
enum TVideoQuality { vqNormal, vqMobile, vqHighQuality, vqHighDefinition };

// The short names the command line and the settings file use: "normal",
// "mobile", "hq" and "hd".
std::string QualityName(TVideoQuality quality);
std::optional<TVideoQuality> QualityNamed(const std::string& name);
