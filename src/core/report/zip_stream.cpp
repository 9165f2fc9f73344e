#include "core/report/zip_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tarvex {

namespace {

constexpr std::uint64_t Max32 = 0xFFFFFFFFu;
constexpr std::uint32_t LocalSignature = 0x04034b50;
constexpr std::uint32_t DescriptorSignature = 0x08074b50;
constexpr std::uint32_t CentralSignature = 0x02014b50;
constexpr std::uint32_t Zip64EndSignature = 0x06064b50;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t EndSignature = 0x06054b50;
constexpr std::uint16_t Deflated = 8;
constexpr std::uint16_t FlagDescriptor = 1u << 3;
constexpr std::uint16_t Version20 = 20;
constexpr std::uint16_t Version45 = 45;  // zip64
constexpr std::uint16_t DosTime = 0;
constexpr std::uint16_t DosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01, as a fixed stamp
constexpr std::uint16_t Zip64ExtraId = 0x0001;
// Compressed bytes are written in pieces of this size.
constexpr std::size_t OutChunk = 1u << 18;
constexpr std::size_t MaxStoredBlock = 65535;
constexpr std::size_t StoredBlockHeader = 5;
constexpr std::size_t MaxReserved = 1u << 24;

void Put16(std::string& out, std::uint64_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint64_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, (value >> 16) & 0xFFFF);
}
void Put64(std::string& out, std::uint64_t value) {
  Put32(out, value & Max32);
  Put32(out, value >> 32);
}

std::uint32_t Clamp32(std::uint64_t value) {
  return static_cast<std::uint32_t>(value >= Max32 ? Max32 : value);
}

[[noreturn]] void ThrowErrno(int error) { throw std::runtime_error(std::strerror(error)); }

}  // namespace

std::string ZipLocalHeader(const ZipEntryRecord& entry) {
  // An entry with a descriptor says nothing here; its descriptor may then be a zip64 one.
  const bool zip64 = !entry.Descriptor && (entry.Size >= Max32 || entry.CompressedSize >= Max32);
  std::string extra;
  if (zip64) {
    Put16(extra, Zip64ExtraId);
    Put16(extra, 16);
    Put64(extra, entry.Size);
    Put64(extra, entry.CompressedSize);
  }
  std::string out;
  Put32(out, LocalSignature);
  Put16(out, zip64 ? Version45 : Version20);
  Put16(out, entry.Descriptor ? FlagDescriptor : 0);
  Put16(out, Deflated);
  Put16(out, DosTime);
  Put16(out, DosDate);
  Put32(out, entry.Descriptor ? 0 : entry.Crc);
  Put32(out, entry.Descriptor ? 0 : (zip64 ? Max32 : entry.CompressedSize));
  Put32(out, entry.Descriptor ? 0 : (zip64 ? Max32 : entry.Size));
  Put16(out, entry.Name.size());
  Put16(out, extra.size());
  out += entry.Name;
  out += extra;
  return out;
}

std::string ZipDataDescriptor(const ZipEntryRecord& entry) {
  const bool zip64 = entry.Size >= Max32 || entry.CompressedSize >= Max32;
  std::string out;
  Put32(out, DescriptorSignature);
  Put32(out, entry.Crc);
  if (zip64) {
    Put64(out, entry.CompressedSize);
    Put64(out, entry.Size);
  } else {
    Put32(out, entry.CompressedSize);
    Put32(out, entry.Size);
  }
  return out;
}

std::string ZipCentralHeader(const ZipEntryRecord& entry) {
  // Only the fields that do not fit, in this order.
  std::string fields;
  if (entry.Size >= Max32) Put64(fields, entry.Size);
  if (entry.CompressedSize >= Max32) Put64(fields, entry.CompressedSize);
  if (entry.LocalHeaderOffset >= Max32) Put64(fields, entry.LocalHeaderOffset);
  std::string extra;
  if (!fields.empty()) {
    Put16(extra, Zip64ExtraId);
    Put16(extra, fields.size());
    extra += fields;
  }
  const std::uint16_t version = extra.empty() ? Version20 : Version45;
  std::string out;
  Put32(out, CentralSignature);
  Put16(out, version);  // made by, on MS-DOS: no Unix permissions to carry
  Put16(out, version);
  Put16(out, entry.Descriptor ? FlagDescriptor : 0);
  Put16(out, Deflated);
  Put16(out, DosTime);
  Put16(out, DosDate);
  Put32(out, entry.Crc);
  Put32(out, Clamp32(entry.CompressedSize));
  Put32(out, Clamp32(entry.Size));
  Put16(out, entry.Name.size());
  Put16(out, extra.size());
  Put16(out, 0);  // comment
  Put16(out, 0);  // disk
  Put16(out, 0);  // internal attributes
  Put32(out, 0);  // external attributes
  Put32(out, Clamp32(entry.LocalHeaderOffset));
  out += entry.Name;
  out += extra;
  return out;
}

std::string ZipEndOfCentralDirectory(std::uint64_t entries, std::uint64_t directoryOffset,
                                     std::uint64_t directorySize) {
  std::string out;
  const bool zip64 = entries >= 0xFFFF || directoryOffset >= Max32 || directorySize >= Max32;
  if (zip64) {
    const std::uint64_t recordOffset = directoryOffset + directorySize;
    Put32(out, Zip64EndSignature);
    Put64(out, 44);  // the record's size after this field
    Put16(out, Version45);
    Put16(out, Version45);
    Put32(out, 0);  // this disk
    Put32(out, 0);  // the directory's disk
    Put64(out, entries);
    Put64(out, entries);
    Put64(out, directorySize);
    Put64(out, directoryOffset);
    Put32(out, Zip64LocatorSignature);
    Put32(out, 0);
    Put64(out, recordOffset);
    Put32(out, 1);  // disks
  }
  const std::uint64_t count = entries >= 0xFFFF ? 0xFFFF : entries;
  Put32(out, EndSignature);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, count);
  Put16(out, count);
  Put32(out, Clamp32(directorySize));
  Put32(out, Clamp32(directoryOffset));
  Put16(out, 0);  // comment
  return out;
}

ZipStream::ZipStream(int fd) : fd_(fd), out_(std::make_unique<char[]>(OutChunk)) {}

ZipStream::~ZipStream() {
  if (deflating_) deflateEnd(&z_);
}

void ZipStream::AddEntry(std::string_view name, std::string_view data, int level) {
  BeginEntry(name, level);
  Write(data);
  EndEntry();
}

void ZipStream::BeginEntry(std::string_view name, int level, std::size_t reserved) {
  if (open_) throw std::logic_error("ZipStream: an entry is open");
  if (reserved > MaxReserved) throw std::length_error("ZipStream: reserved");
  ZipEntryRecord& entry = entries_.emplace_back();
  entry.Name = name;
  entry.LocalHeaderOffset = offset_;
  entry.Descriptor = true;
  Put(ZipLocalHeader(entry));
  dataStart_ = offset_;
  reserved_ = reserved;
  reservedOffset_ = offset_;
  // Stored blocks, none of them the last; their bytes are written over at the end.
  for (std::size_t left = reserved; left > 0;) {
    const std::size_t piece = std::min(left, MaxStoredBlock);
    std::string block(1, '\0');
    Put16(block, piece);
    Put16(block, ~piece & 0xFFFF);
    Put(block);
    Put(std::string(piece, ' '));
    left -= piece;
  }
  z_ = z_stream{};
  // Raw deflate: the zip gives the CRC and sizes.
  if (deflateInit2(&z_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  deflating_ = true;
  open_ = true;
  crc_ = 0;
  size_ = 0;
}

void ZipStream::Write(std::string_view data) {
  if (!open_) throw std::logic_error("ZipStream: no entry is open");
  // zlib counts in 32 bits.
  while (!data.empty()) {
    const std::size_t piece = std::min<std::size_t>(data.size(), 1u << 30);
    crc_ = static_cast<std::uint32_t>(
        crc32(crc_, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(piece)));
    size_ += piece;
    Deflate(data.substr(0, piece), Z_NO_FLUSH);
    data.remove_prefix(piece);
  }
}

void ZipStream::Deflate(std::string_view data, int flush) {
  z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z_.avail_in = static_cast<uInt>(data.size());
  for (;;) {
    if (used_ == OutChunk) FlushOut();
    z_.next_out = reinterpret_cast<Bytef*>(out_.get() + used_);
    z_.avail_out = static_cast<uInt>(OutChunk - used_);
    const int result = deflate(&z_, flush);
    if (result == Z_STREAM_ERROR) throw std::runtime_error("deflate");
    const std::size_t produced = OutChunk - used_ - z_.avail_out;
    used_ += produced;
    offset_ += produced;
    if (flush == Z_FINISH ? result == Z_STREAM_END : z_.avail_out != 0) break;
  }
}

void ZipStream::EndEntry(std::string_view reservedText) {
  if (!open_) throw std::logic_error("ZipStream: no entry is open");
  if (reservedText.size() != reserved_) throw std::length_error("ZipStream: reserved text");
  Deflate({}, Z_FINISH);
  deflateEnd(&z_);
  deflating_ = false;
  open_ = false;
  ZipEntryRecord& entry = entries_.back();
  entry.CompressedSize = offset_ - dataStart_;
  entry.Size = reserved_ + size_;
  entry.Crc = crc_;
  if (reserved_ > 0) {
    std::uint64_t at = reservedOffset_;
    for (std::string_view left = reservedText; !left.empty();) {
      const std::size_t piece = std::min(left.size(), MaxStoredBlock);
      PutAt(at + StoredBlockHeader, left.substr(0, piece));
      at += StoredBlockHeader + piece;
      left.remove_prefix(piece);
    }
    const uLong head = crc32(0, reinterpret_cast<const Bytef*>(reservedText.data()),
                             static_cast<uInt>(reservedText.size()));
    entry.Crc =
        static_cast<std::uint32_t>(crc32_combine64(head, crc_, static_cast<z_off64_t>(size_)));
  }
  Put(ZipDataDescriptor(entry));
}

void ZipStream::Finish() {
  if (open_) throw std::logic_error("ZipStream: an entry is open");
  const std::uint64_t directoryOffset = offset_;
  for (const ZipEntryRecord& entry : entries_) Put(ZipCentralHeader(entry));
  Put(ZipEndOfCentralDirectory(entries_.size(), directoryOffset, offset_ - directoryOffset));
  FlushOut();
}

void ZipStream::Put(std::string_view bytes) {
  offset_ += bytes.size();
  while (!bytes.empty()) {
    if (used_ == OutChunk) FlushOut();
    const std::size_t piece = std::min(bytes.size(), OutChunk - used_);
    std::memcpy(out_.get() + used_, bytes.data(), piece);
    used_ += piece;
    bytes.remove_prefix(piece);
  }
}

void ZipStream::FlushOut() {
  std::size_t done = 0;
  while (done < used_) {
    const ssize_t n = ::write(fd_, out_.get() + done, used_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(errno);
    done += static_cast<std::size_t>(n);
  }
  used_ = 0;
}

void ZipStream::PutAt(std::uint64_t offset, std::string_view bytes) {
  FlushOut();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(errno);
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace tarvex
