#include "core/content/hash_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "core/fs/unique_fd.h"
#include "core/fs/user_folders.h"

namespace tarvex {
namespace {

constexpr char Magic[8] = {'T', 'V', 'X', 'H', 'A', 'S', 'H', '\n'};
constexpr std::uint32_t Version = 1;
// Magic, version, entry count; then the records; then the XXH3-64 of everything before it.
constexpr std::size_t HeaderBytes = sizeof Magic + 4 + 8;
constexpr std::size_t RecordWords = 8;  // device, inode, size, mtime, ctime, digest (2), used
constexpr std::size_t RecordBytes = RecordWords * 8;
constexpr std::size_t ChecksumBytes = 8;

void PutWord(std::vector<unsigned char>& out, std::uint64_t value, std::size_t bytes = 8) {
  for (std::size_t i = 0; i < bytes; ++i)
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::uint64_t GetWord(const unsigned char* in, std::size_t bytes = 8) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  return value;
}

bool ReadWhole(int fd, std::vector<unsigned char>& data) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  data.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t got = ::read(fd, data.data() + done, data.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteWhole(int fd, const std::vector<unsigned char>& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t put = ::write(fd, data.data() + done, data.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

std::size_t HashCache::StampHash::operator()(const FileStamp& s) const {
  const std::uint64_t words[] = {s.Device, s.Inode, static_cast<std::uint64_t>(s.Size),
                                 static_cast<std::uint64_t>(s.ModifiedNs),
                                 static_cast<std::uint64_t>(s.ChangedNs)};
  return static_cast<std::size_t>(XXH3_64bits(words, sizeof words));
}

bool HashCache::Load(const std::string& path) {
  entries_.clear();
  generation_ = 1;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return false;
  std::vector<unsigned char> data;
  if (!ReadWhole(fd.get(), data)) return false;
  if (data.size() < HeaderBytes + ChecksumBytes) return false;
  if (std::memcmp(data.data(), Magic, sizeof Magic) != 0) return false;
  if (GetWord(data.data() + sizeof Magic, 4) != Version) return false;
  const std::uint64_t count = GetWord(data.data() + sizeof Magic + 4);
  if (count > (data.size() - HeaderBytes - ChecksumBytes) / RecordBytes ||
      data.size() != HeaderBytes + count * RecordBytes + ChecksumBytes)
    return false;
  const std::size_t body = data.size() - ChecksumBytes;
  if (XXH3_64bits(data.data(), body) != GetWord(data.data() + body)) return false;
  entries_.reserve(static_cast<std::size_t>(count));
  for (std::size_t r = 0; r < count; ++r) {
    const unsigned char* p = data.data() + HeaderBytes + r * RecordBytes;
    std::uint64_t w[RecordWords];
    for (std::size_t i = 0; i < RecordWords; ++i) w[i] = GetWord(p + 8 * i);
    const FileStamp stamp{w[0], w[1], static_cast<std::int64_t>(w[2]),
                          static_cast<std::int64_t>(w[3]), static_cast<std::int64_t>(w[4])};
    entries_[stamp] = Value{{w[5], w[6]}, w[7]};
    generation_ = std::max(generation_, w[7] + 1);
  }
  return true;
}

bool HashCache::Save(const std::string& path) {
  using Item = std::pair<const FileStamp*, const Value*>;
  std::vector<Item> items;
  items.reserve(entries_.size());
  for (const auto& [stamp, value] : entries_) items.emplace_back(&stamp, &value);
  if (items.size() > capacity_) {
    std::nth_element(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(capacity_),
                     items.end(),
                     [](const Item& a, const Item& b) { return a.second->Used > b.second->Used; });
    items.resize(capacity_);
  }
  std::vector<unsigned char> data;
  data.reserve(HeaderBytes + items.size() * RecordBytes + ChecksumBytes);
  data.insert(data.end(), std::begin(Magic), std::end(Magic));
  PutWord(data, Version, 4);
  PutWord(data, items.size());
  for (const auto& [stamp, value] : items) {
    for (const std::uint64_t w :
         {stamp->Device, stamp->Inode, static_cast<std::uint64_t>(stamp->Size),
          static_cast<std::uint64_t>(stamp->ModifiedNs),
          static_cast<std::uint64_t>(stamp->ChangedNs), value->Digest[0], value->Digest[1],
          value->Used})
      PutWord(data, w);
  }
  PutWord(data, XXH3_64bits(data.data(), data.size()));

  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0 || !MakeFolders(path.substr(0, slash))) return false;
  std::random_device random;
  const std::string temporary = path + ".tmp" + std::to_string(random());
  UniqueFd fd(
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd) return false;
  const bool written = WriteWhole(fd.get(), data) && fd.Close() == 0;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // What is used from now on outlives what this file held.
  ++generation_;
  return true;
}

std::optional<ContentDigest> HashCache::Find(const FileStamp& stamp) const {
  const auto found = entries_.find(stamp);
  if (found == entries_.end()) return std::nullopt;
  return found->second.Digest;
}

void HashCache::Store(const FileStamp& stamp, const ContentDigest& digest) {
  entries_[stamp] = Value{digest, generation_};
}

void HashCache::Touch(const FileStamp& stamp) {
  const auto found = entries_.find(stamp);
  if (found != entries_.end()) found->second.Used = generation_;
}

std::string DefaultHashCachePath() {
  const std::string base = XdgBaseFolder("XDG_CACHE_HOME", "/.cache");
  if (base.empty()) return {};
  return base + "/tarvex/content-hashes";
}

}  // namespace tarvex
