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
