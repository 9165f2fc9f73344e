#include "core/text/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/text/utf8.h"

namespace tarvex {

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    // Runs of ASCII, the bulk of most names, eight bytes at a time.
    std::uint64_t word = 0;
    if (i + sizeof word <= bytes.size()) {
      std::memcpy(&word, bytes.data() + i, sizeof word);
      if ((word & 0x8080808080808080u) == 0) {
        i += sizeof word;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t len = Utf8CharLength(bytes, i);
    if (len == 1 && static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    i += len;
  }
  return true;
}

bool Cp932ToUtf8(std::string_view bytes, std::string& out) {
  out.clear();
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* dest = buffer.data();
  std::size_t outLeft = buffer.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &dest, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return false;
  buffer.resize(buffer.size() - outLeft);
  out = std::move(buffer);
  return true;
}

std::string DisplayText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string decoded;
  if (Cp932ToUtf8(bytes, decoded)) return decoded;
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t len = Utf8CharLength(bytes, i);
    if (len == 1 && static_cast<unsigned char>(bytes[i]) >= 0x80) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(bytes, i, len);
    }
    i += len;
  }
  return out;
}

}  // namespace tarvex
