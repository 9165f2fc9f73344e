#include "core/settings/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/fs/write_all.h"
#include "core/text/line_split.h"
#include "core/text/name_value_list.h"
#include "core/text/text_encoding.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

// No line we write comes near this (a value is read up to 2047 characters); longer lines are
// damage, and dropping them keeps every later rewrite of the file small.
constexpr std::size_t MaxLineBytes = 64 * 1024;
// A settings file of this size is not one of ours; it is left alone rather than replaced.
constexpr std::size_t MaxFileBytes = 64 * 1024 * 1024;
constexpr std::size_t MaxValueChars = 2047;
// At the start of a file: every line is UTF-8 or bytes kept as they are, none is CP932.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsTrimmed(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// At most `limit` characters; a byte that starts no valid UTF-8 sequence counts as one.
std::string_view CutToChars(std::string_view s, std::size_t limit) {
  std::size_t i = 0;
  for (std::size_t chars = 0; i < s.size() && chars < limit; ++chars) {
    i += Utf8CharLength(s, i);
  }
  return s.substr(0, i);
}

std::optional<int> ParseInteger(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    i += 1;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * (hex ? 16u : 10u) + digit;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (hex) {
    // Hexadecimal covers all 32 bits, so $FFFFFFFF is -1.
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int>(static_cast<std::int32_t>(bits));
  }
  if (value > (negative ? 2147483648u : 2147483647u)) return std::nullopt;
  const auto signedValue = static_cast<std::int64_t>(value);
  return static_cast<int>(negative ? -signedValue : signedValue);
}

struct Line {
  enum class Kind { Other, Section, Key };
  Kind kind = Kind::Other;
  std::string text;
  std::string name;  // section or key name, blanks around it dropped
};

Line ParseLine(std::string text) {
  Line line;
  const std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    const std::size_t close = t.find(']');
    line.kind = Line::Kind::Section;
    line.name = Trim(t.substr(1, close == std::string_view::npos ? close : close - 1));
  } else if (const std::size_t eq = t.find('='); eq != std::string_view::npos) {
    line.kind = Line::Kind::Key;
    line.name = Trim(t.substr(0, eq));
  }
  line.text = std::move(text);
  return line;
}

std::string_view ValueOfKeyLine(const Line& line) {
  const std::string_view t = line.text;
  return t.substr(t.find('=') + 1);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Values whose blanks or enclosing quotes the read rules would take away are written inside one
// more pair of quotes, so that what is read back equals what was written.
std::string ProtectValue(std::string_view value) {
  if (value.empty()) return {};
  const bool blankAtEnd = IsTrimmed(value.front()) || IsTrimmed(value.back());
  const bool enclosed =
      value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
  std::string out;
  if (blankAtEnd || enclosed) {
    out.reserve(value.size() + 2);
    out.append("\"").append(value).append("\"");
  } else {
    out.assign(value);
  }
  return out;
}

// Replaces the file as a whole: the new text goes to a temporary file in the same folder, reaches
// the disk, and only then takes the file's place, so that no crash leaves half a settings file.
bool ReplaceFile(const std::string& path, const std::string& content) {
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // Keep a symbolic link in place and write where it points.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return false;
    target = resolved;
    std::free(resolved);
  }
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "." + base + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = true;
  if (::stat(target.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

struct ProfileFile::Impl {
  std::vector<Line> lines;
  // The file exists but could not be read: writing would replace contents never seen.
  bool unreadable = false;

  void Load(const std::string& path);
  // Index of the key line, searching every section of that name in file order.
  std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;
  bool Commit(const std::string& path, std::vector<Line> next);
};

void ProfileFile::Impl::Load(const std::string& path) {
  // O_NONBLOCK: a FIFO put in the file's place must not hang the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    unreadable = errno != ENOENT;
    return;
  }
  std::string bytes;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::uint64_t>(st.st_size) <= MaxFileBytes;
  if (ok) {
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || bytes.size() + static_cast<std::size_t>(n) > MaxFileBytes) {
        ok = n == 0;
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  if (!ok) {
    unreadable = true;
    return;
  }

  std::string_view rest = bytes;
  const bool ours = rest.substr(0, 3) == ByteOrderMark;
  if (ours) rest.remove_prefix(3);
  std::string_view text;
  while (NextLine(rest, text)) {
    if (text.size() > MaxLineBytes) continue;
    // Decided line by line, so one damaged line does not turn the others into mojibake.
    if (IsValidUtf8(text)) {
      lines.push_back(ParseLine(std::string(text)));
    } else if (std::string decoded; !ours && Cp932ToUtf8(text, decoded)) {
      lines.push_back(ParseLine(std::move(decoded)));
    } else {
      lines.push_back(ParseLine(std::string(text)));
    }
  }
}

std::optional<std::size_t> ProfileFile::Impl::FindKey(std::string_view section,
                                                      std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == Line::Kind::Section) {
      inSection = EqualsIgnoringAsciiCase(line.name, section);
    } else if (inSection && line.kind == Line::Kind::Key &&
               EqualsIgnoringAsciiCase(line.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

bool ProfileFile::Impl::Commit(const std::string& path, std::vector<Line> next) {
  if (unreadable) return false;
  std::size_t size = 0;
  for (const Line& line : next) size += line.text.size() + 1;
  std::string content;
  content.reserve(size + ByteOrderMark.size());
  // A value that is not UTF-8 (the bytes of a folder name) is written as it is; the mark tells
  // the next read that such a line holds bytes, not CP932, so that it reads back unchanged.
  if (!std::all_of(next.begin(), next.end(),
                   [](const Line& line) { return IsValidUtf8(line.text); })) {
    content.append(ByteOrderMark);
  }
  for (const Line& line : next) content.append(line.text).append("\n");
  if (!ReplaceFile(path, content)) return false;
  lines = std::move(next);
  return true;
}

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)), impl_(new Impl) {
  impl_->Load(path_);
}

ProfileFile::~ProfileFile() { delete impl_; }

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const std::optional<std::size_t> index = impl_->FindKey(section, key);
  if (!index) return std::string(defaultValue);
  std::string_view value = Trim(ValueOfKeyLine(impl_->lines[*index]));
  if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()) {
    value = value.substr(1, value.size() - 2);
  }
  // The value is a C string to the rest of the program.
  value = value.substr(0, value.find('\0'));
  return std::string(CutToChars(value, MaxValueChars));
}

int ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
  const std::optional<std::size_t> index = impl_->FindKey(section, key);
  if (!index) return defaultValue;
  return ParseInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  // Names and values that would break the line structure of the file are refused.
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || section.find(']') != std::string_view::npos ||
      key.find('=') != std::string_view::npos || Trim(key) != key || Trim(section) != section ||
      key.front() == '[') {
    return false;
  }
  std::string text;
  text.append(key).append("=").append(ProtectValue(value));

  std::vector<Line> next;
  if (const std::optional<std::size_t> index = impl_->FindKey(section, key)) {
    if (impl_->lines[*index].text == text) return !impl_->unreadable;
    next = impl_->lines;
    next[*index] = ParseLine(std::move(text));
    return impl_->Commit(path_, std::move(next));
  }
  next = impl_->lines;
  std::optional<std::size_t> insertAt;
  for (std::size_t i = 0; i < next.size(); ++i) {
    if (next[i].kind != Line::Kind::Section || !EqualsIgnoringAsciiCase(next[i].name, section)) {
      continue;
    }
    // After the section's last line that is not blank, before the blank lines that part it from
    // the next section.
    std::size_t at = i + 1;
    for (std::size_t j = i + 1; j < next.size() && next[j].kind != Line::Kind::Section; ++j) {
      if (!Trim(next[j].text).empty()) at = j + 1;
    }
    insertAt = at;
    break;
  }
  if (insertAt) {
    next.insert(next.begin() + static_cast<std::ptrdiff_t>(*insertAt), ParseLine(std::move(text)));
  } else {
    std::string header;
    header.append("[").append(section).append("]");
    next.push_back(ParseLine(std::move(header)));
    next.push_back(ParseLine(std::move(text)));
  }
  return impl_->Commit(path_, std::move(next));
}

bool ProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool ProfileFile::EraseSection(std::string_view section) {
  std::vector<Line> next;
  next.reserve(impl_->lines.size());
  bool erasing = false;
  bool changed = false;
  // Every section of the name goes, so that a later duplicate cannot come back to life.
  for (const Line& line : impl_->lines) {
    if (line.kind == Line::Kind::Section) erasing = EqualsIgnoringAsciiCase(line.name, section);
    if (erasing) {
      changed = true;
      continue;
    }
    next.push_back(line);
  }
  if (!changed) return !impl_->unreadable;
  return impl_->Commit(path_, std::move(next));
}

}  // namespace tarvex
