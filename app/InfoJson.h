#pragma once

#include "app/AddressInfo.h"

#include <string>

// What --info --json prints for one address: one JSON object on one line
// (no line break at the end), its keys always the same and in one order,
// unknown values null. Text that is not UTF-8 has its stray bytes replaced
// with U+FFFD; other text is kept as it is, escaped where JSON needs it.
std::string InfoJson(const TAddressInfo& info);
