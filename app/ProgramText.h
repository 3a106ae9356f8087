#pragma once

#include <initializer_list>
#include <string>

// A text of the program in the current language, as UTF-8, with each "%s"
// filled by the next value in order. Values are taken as they are, so a
// value holding "%s" is never filled in its turn.
std::string Tr(const char* msgid, std::initializer_list<std::string> values = {});
