#pragma once
// Bytes as percent escapes, the form that trash records, file: addresses and the command journal
// hold paths in: letters, digits, "-", ".", "_", "~" and "/" stay, every other byte is "%XX".
// Any bytes round-trip, names that are not UTF-8 included.

#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

std::string PercentEncoded(std::string_view bytes);
// The bytes back; nothing for a broken escape.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace tarvex
