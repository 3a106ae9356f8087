#pragma once

#include <string>

// Whether a text looks like a video's address: it holds the site domain and
// "v=" or "key=" (plain, case-sensitive substring tests).
bool IsVideoAddress(const std::string& text);
