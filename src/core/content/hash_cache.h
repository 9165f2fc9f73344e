#pragma once
// Digests of files already read, by the state of each file, kept in one file between runs so that
// a second check of an unchanged tree reads no file.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/content/content_hash.h"

namespace tarvex {

class HashCache {
 public:
  // Most files kept: about 64 bytes each on disk and a little more in memory.
  static constexpr std::size_t DefaultCapacity = 500'000;

  explicit HashCache(std::size_t capacity = DefaultCapacity) : capacity_(capacity) {}

  // Reads the cache file. A missing, short, foreign or damaged file (wrong magic, version, size or
  // checksum) leaves the cache empty: it is rebuilt, never trusted. True when entries were read.
  bool Load(const std::string& path);
  // Writes the entries to a temporary beside path and renames it over path, so that a crash never
  // leaves half a file; beyond the capacity the entries used longest ago are dropped. True on
  // success.
  bool Save(const std::string& path);

  std::optional<ContentDigest> Find(const FileStamp& stamp) const;
  // Adds or refreshes an entry; it counts as used now.
  void Store(const FileStamp& stamp, const ContentDigest& digest);
  // Marks an entry found by Find as used now, so that it outlives those not used since.
  void Touch(const FileStamp& stamp);

  std::size_t Size() const { return loaded_.size() + added_.size(); }

 private:
  struct StampHash {
    std::size_t operator()(const FileStamp& s) const;
  };
  struct Value {
    ContentDigest Digest{};
    std::uint64_t Used = 0;  // the generation of the last use; larger is newer
  };
  // One entry as the file holds it, so that a load is one read into place.
  struct Record {
    FileStamp Stamp;
    ContentDigest Digest{};
    std::uint64_t Used = 0;
  };

  Record* FindLoaded(const FileStamp& stamp);
  const Record* FindLoaded(const FileStamp& stamp) const;

  std::size_t capacity_;
  std::uint64_t generation_ = 1;
  // The entries of the file, ordered by stamp; then those added since.
  std::vector<Record> loaded_;
  std::unordered_map<FileStamp, Value, StampHash> added_;
};

// $XDG_CACHE_HOME/tarvex/content-hashes (or ~/.cache/...); empty when no home is known.
std::string DefaultHashCachePath();

}  // namespace tarvex
