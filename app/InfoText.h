#pragma once

#include "app/AddressInfo.h"

#include <string>

// What --info prints for one address, for a person: labelled lines in the
// current language, the formats and audio renditions as aligned tables
// (the chosen ones marked with "*"), then what the quality takes. What the
// site or the page wrote has its control characters escaped. Ends with a
// line break.
std::string InfoText(const TAddressInfo& info);
