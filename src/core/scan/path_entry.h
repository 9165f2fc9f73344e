#pragma once
// One compared relative path and the comparison codes.

#include <cstdint>
#include <string>

#include "core/fs/file_attributes.h"
#include "core/scan/entry_path.h"
#include "core/scan/side.h"

namespace tarvex {

enum CompareStatus : std::int32_t {
  MainOnly = 1,
  SubOnly = 2,
  MainNewer = 3,
  SubNewer = 4,
  MainLarger = 5,
  SubLarger = 6,
  Same = 7,
  Neither = 8,
};

struct PathEntry {
  EntryPath Path;  // relative to the root, names joined by "/", bytes as the file system has them
  std::uint32_t Attr = 0;
  std::int32_t CreatedIndex = 0;
  std::int32_t ParentIndex = 0;
  bool MainExists = false;
  bool SubExists = false;
  bool Ignored = false;
  double MainTime = 0;  // days since 1899-12-30, local time in 2-second steps
  double SubTime = 0;
  std::int64_t MainSize = 0;  // 64-bit on purpose: the low 32 bits would misreport big files
  std::int64_t SubSize = 0;
  CompareStatus Status = Same;
  std::int32_t ListPos = 0;

  // One side's fields by its Side: MainExists or SubExists, and so on.
  bool& Exists(Side side) { return side == Side::Main ? MainExists : SubExists; }
  bool Exists(Side side) const { return side == Side::Main ? MainExists : SubExists; }
  double& Time(Side side) { return side == Side::Main ? MainTime : SubTime; }
  double Time(Side side) const { return side == Side::Main ? MainTime : SubTime; }
  std::int64_t& Size(Side side) { return side == Side::Main ? MainSize : SubSize; }
  std::int64_t Size(Side side) const { return side == Side::Main ? MainSize : SubSize; }
};

// The status of an entry found on that side only: MainOnly or SubOnly.
constexpr CompareStatus OnlyOn(Side side) { return side == Side::Main ? MainOnly : SubOnly; }

// The status that the two sides of the entry give, in the order: existence, time, size. With
// ignoreHourShift, two times exactly one hour apart (within the 2-second step) count as equal:
// a FAT or exFAT volume stores local time, which moves by an hour across summer time.
CompareStatus ComputeStatus(const PathEntry& entry, bool ignoreHourShift = false);

// True when the two list times are one hour apart, give or take less than the 2-second step.
bool IsHourShift(double mainTime, double subTime);

}  // namespace tarvex
