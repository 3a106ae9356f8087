#pragma once

#include <string_view>

// The HTML5 parser's work grows with the square of how deep elements nest
// and of how many attributes one element carries: a page of 200 KB can
// keep it busy for minutes, a hostile one of a few MB for days. Its memory
// grows by up to a kilobyte an element. No real page comes near these
// bounds.
inline constexpr int kDeepestNesting = 512;
inline constexpr int kMostAttributes = 1000;
inline constexpr int kMostElements = 100000;

// The part of a page that is given to the parser: all of it, or the part
// before the first tag that goes past a bound (so a page still shows
// its head and what came before). The nesting is followed from the tags as
// written: a closing tag closes its element and what was opened inside it,
// the elements that need no closing tag (void ones, and those closed by the
// next of their kind such as <p> and <li>) are left out, and comments and
// the text of <script>, <style> and the like hold no tags.
std::string_view BoundedMarkup(std::string_view html);
