#include "core/fs/copy_temporary.h"

#include <climits>
#include <random>

namespace tarvex {
namespace {

constexpr std::string_view Marker = ".tarvex-";
constexpr std::size_t SuffixLength = 6;
constexpr std::string_view SuffixCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsSuffixCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The longest prefix of name that fits in bytes and does not end inside a UTF-8 sequence.
std::string FittingPrefix(const std::string& name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

}  // namespace

std::string CopyTemporaryName(const std::string& name, std::string_view suffix) {
  constexpr std::size_t fixed = 1 + Marker.size() + SuffixLength;
  std::string temporary = "." + FittingPrefix(name, NAME_MAX - fixed);
  temporary += Marker;
  temporary += suffix;
  return temporary;
}

std::string RandomTemporarySuffix() {
  thread_local std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, SuffixCharacters.size() - 1);
  std::string suffix;
  for (std::size_t i = 0; i < SuffixLength; ++i) suffix += SuffixCharacters[pick(random)];
  return suffix;
}

bool IsCopyTemporaryName(std::string_view name) {
  if (name.size() < 1 + Marker.size() + SuffixLength || name.front() != '.') return false;
  const std::string_view tail = name.substr(name.size() - SuffixLength);
  for (const char c : tail) {
    if (!IsSuffixCharacter(c)) return false;
  }
  return name.substr(name.size() - SuffixLength - Marker.size(), Marker.size()) == Marker;
}

}  // namespace tarvex
