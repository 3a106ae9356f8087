#pragma once

#include <string>

// Byte counts as the program writes them, on the command line and in the
// download window.

constexpr double kKibibyte = 1024.0;
constexpr double kMebibyte = 1024.0 * kKibibyte;
constexpr double kGibibyte = 1024.0 * kMebibyte;

// "2.0 GB", "1.5 MB", "640 KB", "12 bytes".
std::string ByteCountText(double bytes);

// A number with at least one integer digit and exactly `decimals` fractional
// digits, then the unit: FormatFloat("0.0 MB") and its kin.
std::string FixedPointText(double value, int decimals, const std::string& decimalSeparator, const std::string& unit);
