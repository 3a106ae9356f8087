#pragma once

#include <string>

// Text helpers for names and header lines, which compare without regard to
// the case of ASCII letters.
std::string UpperCaseAscii(std::string text);

// Without the leading and trailing bytes at or below a blank.
std::string TrimBlanks(const std::string& text);
