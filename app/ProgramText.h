#pragma once

#include <string>
#include <vector>

// A text of the program in the current language, as UTF-8, with each "%s"
// filled by the next value in order.
std::string Tr(const char* msgid, const std::vector<std::string>& values = {});
