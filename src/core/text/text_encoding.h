#pragma once
// Names and contents are bytes; only what is shown is decoded: UTF-8 where valid, else CP932.

#include <string>
#include <string_view>

namespace tarvex {

bool IsValidUtf8(std::string_view bytes);

// The bytes as UTF-8 text for display: unchanged when valid UTF-8, else decoded as CP932
// (Shift_JIS), else with every undecodable byte shown as U+FFFD. Never used to reach a file.
std::string DisplayText(std::string_view bytes);

// CP932 bytes to UTF-8; false when the bytes are not valid CP932.
bool Cp932ToUtf8(std::string_view bytes, std::string& out);

}  // namespace tarvex
