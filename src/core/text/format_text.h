#pragma once
// printf formatting into a string, for the program's fixed texts.

#include <string>

namespace tarvex {

// "%s" takes UTF-8 texts and "%d" ints; the compiler checks the arguments against the format.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The local time now as "YYYY-MM-DDThh:mm:ss", as trash records and the command journal hold it.
std::string LocalTimeNowText();

}  // namespace tarvex
