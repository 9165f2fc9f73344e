#pragma once
// A zip archive written front to back into a file: small entries whole, and one entry at a time
// streamed through a raw deflate stream, its CRC-32 and sizes following it in a data descriptor.
// Zip64 records appear only where a size or an offset needs them, so an ordinary workbook stays
// an ordinary zip.

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// What the headers say of one entry. A size or offset from 0xFFFFFFFF up goes into the zip64
// extra field.
struct ZipEntryRecord {
  std::string Name;
  std::uint32_t Crc = 0;
  std::uint64_t CompressedSize = 0;
  std::uint64_t Size = 0;
  std::uint64_t LocalHeaderOffset = 0;
  bool Descriptor = false;  // CRC and sizes follow the data
};

// The records as bytes; public for the tests of the boundaries, which no test can write.
std::string ZipLocalHeader(const ZipEntryRecord& entry);
std::string ZipDataDescriptor(const ZipEntryRecord& entry);
std::string ZipCentralHeader(const ZipEntryRecord& entry);
// The end of the central directory, with the zip64 end record and locator before it when the
// count, size or offset needs them.
std::string ZipEndOfCentralDirectory(std::uint64_t entries, std::uint64_t directoryOffset,
                                     std::uint64_t directorySize);

class ZipStream {
 public:
  // Writes into fd, an empty file; the descriptor stays the caller's. Errors throw
  // std::runtime_error with the reason only; the caller names the file.
  explicit ZipStream(int fd);
  ~ZipStream();
  ZipStream(const ZipStream&) = delete;
  ZipStream& operator=(const ZipStream&) = delete;

  // A whole entry, deflated at the level.
  void AddEntry(std::string_view name, std::string_view data, int level);

  // Starts a streamed entry. Its first `reserved` bytes (at most 16 MiB) are kept in stored
  // blocks and given at EndEntry, for what is known only at the end (a sheet's extent).
  void BeginEntry(std::string_view name, int level, std::size_t reserved = 0);
  // Data after the reserved bytes.
  void Write(std::string_view data);
  // reservedText: exactly `reserved` bytes.
  void EndEntry(std::string_view reservedText = {});

  // Writes the central directory. The archive is complete once this returns.
  void Finish();

 private:
  void Deflate(std::string_view data, int flush);
  void Put(std::string_view bytes);
  void PutAt(std::uint64_t offset, std::string_view bytes);
  void FlushOut();

  int fd_;
  std::uint64_t offset_ = 0;  // where the next byte goes
  std::vector<ZipEntryRecord> entries_;
  // The streamed entry.
  bool open_ = false;
  bool deflating_ = false;  // z_ holds a deflate state
  z_stream z_{};
  std::uint32_t crc_ = 0;  // of the data after the reserved bytes
  std::uint64_t size_ = 0;
  std::uint64_t dataStart_ = 0;
  std::uint64_t reservedOffset_ = 0;
  std::size_t reserved_ = 0;
  std::unique_ptr<char[]> out_;  // bytes not yet written
  std::size_t used_ = 0;
};

}  // namespace tarvex
