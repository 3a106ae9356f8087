#pragma once

#include <cstdint>
#include <string>

// The download window's texts for sizes and rates.

// "~N MB": the size in mebibytes, halves rounded to the even neighbour.
std::string ApproximateSizeText(std::int64_t totalBytes);

// "R.R MB (K.KK kb/s)": the amount received and the average rate, with the
// given decimal separator. The rate leaves out what was there already.
std::string TransferText(std::int64_t receivedBytes, double elapsedSeconds, const std::string& decimalSeparator,
                         std::int64_t alreadyThere = 0);

// A number with at least one integer digit and exactly `decimals` fractional
// digits, then the unit: FormatFloat("0.0 MB") and its kin.
std::string FixedPointText(double value, int decimals, const std::string& decimalSeparator, const std::string& unit);
