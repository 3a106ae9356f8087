#pragma once

#include <cstddef>
#include <string>

// One rule makes every proposed name safe: a title from the site's record,
// a page's title and a direct link's file name alike.

// The title made safe as a file name:
// - bytes that are not UTF-8 become U+FFFD, as the page reader reads a page;
// - "+" becomes a blank (the site's record writes blanks so);
// - bidirectional controls (U+061C, U+200E, U+200F, U+202A-U+202E,
//   U+2066-U+2069) are dropped;
// - blanks of any kind (U+0020, U+00A0, U+2000-U+200A, U+3000 and the
//   other Unicode spaces, tab and line breaks) are trimmed at both ends;
// - each of : ; / \ $ % * & ' " , . + ? ! | and every control character
//   (NUL and U+0080-U+009F included) becomes "_", and so does a leading "-".
// A name longer than kMaxTitleBytes is cut there, at a character's boundary;
// a name with nothing left of the title becomes "video".
std::string SafeFileName(const std::string& title);

// The longest title that leaves room, within a file system's 255 bytes, for
// the longest extension.
extern const std::size_t kMaxTitleBytes;

// A copy of text with every byte that is in set replaced.
std::string ReplaceCharacters(const std::string& text, const std::string& set, char replacement);
