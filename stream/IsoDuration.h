#pragma once

#include <optional>
#include <string_view>

// An ISO 8601 duration as manifests write them ("PT1H2M3.5S", "P1DT12H",
// "PT0S"), in seconds: a year counts 365 days and a month 30. Nothing for a
// negative or malformed duration, or one beyond kMaxSeconds.
std::optional<double> ParseIsoDuration(std::string_view text);
