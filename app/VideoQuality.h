#pragma once

#include "page/PageVideo.h"

#include <optional>
#include <string>

// The four qualities the user can choose.
enum TVideoQuality { vqNormal, vqMobile, vqHighQuality, vqHighDefinition };

// The short names the command line and the settings file use: "normal",
// "mobile", "hq" and "hd".
std::string QualityName(TVideoQuality quality);
std::optional<TVideoQuality> QualityNamed(const std::string& name);

// Which of the sizes of a page's video or of a stream a quality takes: high
// definition the largest, high quality the one nearest 360 lines, normal
// and mobile the smallest.
TSizePreference SizeFor(TVideoQuality quality);
