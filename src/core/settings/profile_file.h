#pragma once
// A private-profile ("ini") file: sections of key=value lines, keys updated in place, an erased
// section rewritten at the end. Written as UTF-8; a line that is not valid UTF-8 is read as CP932
// where it is valid CP932, else kept as its bytes. A value that is not UTF-8 (the bytes of a
// folder name) is written as it is, and the file then starts with a UTF-8 byte order mark, after
// which no line is taken for CP932: such a value reads back byte for byte.

#include <string>
#include <string_view>

namespace tarvex {

class ProfileFile {
 public:
  // Opening never fails: a missing or unreadable file reads as empty.
  explicit ProfileFile(std::string path);
  ~ProfileFile();
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  const std::string& Path() const { return path_; }

  // Leading and trailing blanks dropped, one pair of matching enclosing quotes removed, at most
  // 2047 characters. Sections and keys compare without regard to letter case.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal, or hexadecimal after "$", "0x" or "0X"; anything unreadable gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Each write reaches the file at once; false when the file cannot be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool EraseSection(std::string_view section);

 private:
  struct Impl;
  std::string path_;
  Impl* impl_;
};

}  // namespace tarvex
