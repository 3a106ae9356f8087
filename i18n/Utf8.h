#pragma once

#include <string>

// Conversions between wide text (16-bit code units) and UTF-8 bytes, as the
// catalogues store them.

// Each 16-bit unit on its own: 1 byte below 0x80, 2 bytes up to 0x7FF, 3 above.
std::string Utf8Encode(const std::u16string& text);

// Strict: invalid input raises the root Exception with one of three texts.
// Lead bytes of 2- to 6-byte sequences are accepted; values above 0xFFFF are
// refused.
std::u16string Utf8Decode(const std::string& bytes);

// The conversion of 8-bit text in the system code page (UTF-8 here) to wide
// text: never fails, a byte that does not decode becomes U+FFFD.
std::u16string AnsiToWide(const std::string& bytes);

// Back to the system code page.
std::string WideToAnsi(const std::u16string& text);
