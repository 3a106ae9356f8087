#pragma once

#include "page/SizePreference.h"

#include <optional>
#include <string>

// What the user asks for among the sizes and formats of a video: the four
// qualities of the window's buttons, the best or the worst there is, or the
// size nearest a height.
enum TQualityKind { vqNormal, vqMobile, vqHighQuality, vqHighDefinition, vqBest, vqWorst, vqHeight };

struct TVideoQuality {
    TQualityKind Kind = vqHighQuality;
    int Lines = 0; // vqHeight's height

    constexpr TVideoQuality(TQualityKind kind = vqHighQuality, int lines = 0) : Kind(kind), Lines(lines) {}
    bool operator==(const TVideoQuality&) const = default;
};

// The names the command line, the settings file and the history use:
// "normal", "mobile", "hq", "hd", "best", "worst" and a height as "720p".
std::string QualityName(TVideoQuality quality);
// Those names, and a height without its "p" ("720"): from 1 to 99999 lines.
std::optional<TVideoQuality> QualityNamed(const std::string& name);

// Which of the sizes of a page's video, of a stream or of the site's
// formats a quality takes: high definition and the best the largest, high
// quality the one nearest 360 lines, normal, mobile and the worst the
// smallest, a height the one nearest it (the smaller of two as near).
TSizePreference SizeFor(TVideoQuality quality);
