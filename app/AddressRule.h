#pragma once

#include <functional>
#include <string>

// Whether a text looks like a video's address: it holds the site domain and
// "v=" or "key=" (plain, case-sensitive substring tests).
bool IsVideoAddress(const std::string& text);

// The same rule on a text that may change between looks (the clipboard):
// readText is called afresh for each test.
bool IsVideoAddress(const std::function<std::string()>& readText);
