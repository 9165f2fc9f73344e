#include "core/content/hash_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <random>
#include <tuple>
#include <utility>

#include "core/fs/unique_fd.h"
#include "core/fs/user_folders.h"
#include "core/fs/write_all.h"

namespace tarvex {
namespace {

constexpr char Magic[8] = {'T', 'V', 'X', 'H', 'A', 'S', 'H', '\n'};
constexpr std::uint32_t Version = 2;
// Magic, version, entry count; then the records ordered by stamp, eight little-endian 64-bit
// words each; then the XXH3-64 of everything before it.
constexpr std::size_t HeaderBytes = sizeof Magic + 4 + 8;
constexpr std::size_t RecordWords = 8;
constexpr std::size_t RecordBytes = RecordWords * 8;
constexpr std::size_t ChecksumBytes = 8;

void PutWord(unsigned char* out, std::uint64_t value, std::size_t bytes = 8) {
  for (std::size_t i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t GetWord(const unsigned char* in, std::size_t bytes = 8) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  return value;
}

bool ReadExactly(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, bytes + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

auto Key(const FileStamp& s) {
  return std::tie(s.Device, s.Inode, s.Size, s.ModifiedNs, s.ChangedNs);
}

bool Before(const FileStamp& a, const FileStamp& b) { return Key(a) < Key(b); }

}  // namespace

std::size_t HashCache::StampHash::operator()(const FileStamp& s) const {
  const std::uint64_t words[] = {s.Device, s.Inode, static_cast<std::uint64_t>(s.Size),
                                 static_cast<std::uint64_t>(s.ModifiedNs),
                                 static_cast<std::uint64_t>(s.ChangedNs)};
  return static_cast<std::size_t>(XXH3_64bits(words, sizeof words));
}

HashCache::Record* HashCache::FindLoaded(const FileStamp& stamp) {
  return const_cast<Record*>(std::as_const(*this).FindLoaded(stamp));
}

const HashCache::Record* HashCache::FindLoaded(const FileStamp& stamp) const {
  const auto found = std::lower_bound(
      loaded_.begin(), loaded_.end(), stamp,
      [](const Record& record, const FileStamp& s) { return Before(record.Stamp, s); });
  return found != loaded_.end() && found->Stamp == stamp ? &*found : nullptr;
}

bool HashCache::Load(const std::string& path) {
  static_assert(sizeof(Record) == RecordBytes);
  loaded_.clear();
  added_.clear();
  generation_ = 1;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return false;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  unsigned char header[HeaderBytes];
  if (size < HeaderBytes + ChecksumBytes || !ReadExactly(fd.get(), header, HeaderBytes))
    return false;
  if (std::memcmp(header, Magic, sizeof Magic) != 0) return false;
  if (GetWord(header + sizeof Magic, 4) != Version) return false;
  const std::uint64_t count = GetWord(header + sizeof Magic + 4);
  if (count > (size - HeaderBytes - ChecksumBytes) / RecordBytes ||
      size != HeaderBytes + count * RecordBytes + ChecksumBytes)
    return false;
  std::vector<Record> records(static_cast<std::size_t>(count));
  unsigned char checksum[ChecksumBytes];
  if (!ReadExactly(fd.get(), records.data(), records.size() * RecordBytes) ||
      !ReadExactly(fd.get(), checksum, ChecksumBytes))
    return false;
  XXH3_state_t* state = XXH3_createState();
  if (state == nullptr) return false;
  XXH3_64bits_reset(state);
  XXH3_64bits_update(state, header, HeaderBytes);
  XXH3_64bits_update(state, records.data(), records.size() * RecordBytes);
  const XXH64_hash_t sum = XXH3_64bits_digest(state);
  XXH3_freeState(state);
  if (sum != GetWord(checksum)) return false;
  if constexpr (std::endian::native != std::endian::little) {
    for (Record& r : records) {
      auto* words = reinterpret_cast<unsigned char*>(&r);
      std::uint64_t w[RecordWords];
      for (std::size_t i = 0; i < RecordWords; ++i) w[i] = GetWord(words + 8 * i);
      std::memcpy(&r, w, RecordBytes);
    }
  }
  // The lookups rely on the order: a file out of order is not one this program wrote.
  if (!std::is_sorted(records.begin(), records.end(),
                      [](const Record& a, const Record& b) { return Before(a.Stamp, b.Stamp); }))
    return false;
  for (const Record& r : records) generation_ = std::max(generation_, r.Used + 1);
  loaded_ = std::move(records);
  return true;
}

bool HashCache::Save(const std::string& path) {
  std::vector<Record> records;
  records.reserve(Size());
  for (const Record& r : loaded_) {
    if (added_.find(r.Stamp) == added_.end()) records.push_back(r);
  }
  for (const auto& [stamp, value] : added_)
    records.push_back(Record{stamp, value.Digest, value.Used});
  if (records.size() > capacity_) {
    std::nth_element(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(capacity_),
                     records.end(),
                     [](const Record& a, const Record& b) { return a.Used > b.Used; });
    records.resize(capacity_);
  }
  std::sort(records.begin(), records.end(),
            [](const Record& a, const Record& b) { return Before(a.Stamp, b.Stamp); });

  std::vector<unsigned char> data(HeaderBytes + records.size() * RecordBytes + ChecksumBytes);
  std::memcpy(data.data(), Magic, sizeof Magic);
  PutWord(data.data() + sizeof Magic, Version, 4);
  PutWord(data.data() + sizeof Magic + 4, records.size());
  unsigned char* out = data.data() + HeaderBytes;
  for (const Record& r : records) {
    for (const std::uint64_t w :
         {r.Stamp.Device, r.Stamp.Inode, static_cast<std::uint64_t>(r.Stamp.Size),
          static_cast<std::uint64_t>(r.Stamp.ModifiedNs),
          static_cast<std::uint64_t>(r.Stamp.ChangedNs), r.Digest[0], r.Digest[1], r.Used}) {
      PutWord(out, w);
      out += 8;
    }
  }
  PutWord(out, XXH3_64bits(data.data(), data.size() - ChecksumBytes));

  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0 || !MakeFolders(path.substr(0, slash))) return false;
  std::random_device random;
  const std::string temporary = path + ".tmp" + std::to_string(random());
  UniqueFd fd(
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd) return false;
  const bool written = WriteAll(fd.get(), data.data(), data.size()) && fd.Close() == 0;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  loaded_ = std::move(records);
  added_.clear();
  // What is used from now on outlives what this file held.
  ++generation_;
  return true;
}

std::optional<ContentDigest> HashCache::Find(const FileStamp& stamp) const {
  if (const Record* record = FindLoaded(stamp)) return record->Digest;
  const auto found = added_.find(stamp);
  if (found == added_.end()) return std::nullopt;
  return found->second.Digest;
}

void HashCache::Store(const FileStamp& stamp, const ContentDigest& digest) {
  if (Record* record = FindLoaded(stamp)) {
    record->Digest = digest;
    record->Used = generation_;
    return;
  }
  added_[stamp] = Value{digest, generation_};
}

void HashCache::Touch(const FileStamp& stamp) {
  if (Record* record = FindLoaded(stamp)) {
    record->Used = generation_;
    return;
  }
  const auto found = added_.find(stamp);
  if (found != added_.end()) found->second.Used = generation_;
}

std::string DefaultHashCachePath() {
  const std::string base = XdgBaseFolder("XDG_CACHE_HOME", "/.cache");
  if (base.empty()) return {};
  return base + "/tarvex/content-hashes";
}

}  // namespace tarvex
