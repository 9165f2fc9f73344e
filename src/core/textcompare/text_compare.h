#pragma once
// Loading the two files of one comparison into rows: the main file's text test decides for both
// whether they are loaded as text lines or as hex dump rows.

#include <cstdint>
#include <string>

#include "core/fs/root_folder.h"
#include "core/textcompare/compare_rows.h"
#include "core/textcompare/file_bytes.h"

namespace tarvex {

// Whether a file of this size is beyond the size limit compfmax; a size equal to the limit passes.
// Sizes are the real 64-bit ones.
bool IsTooLargeToCompare(std::int64_t size, std::int32_t compfmax);

struct CompareLoad {
  ReadStatus Status = ReadStatus::Ok;
  int Error = 0;           // the errno value behind a failure
  std::string FailedPath;  // the file that failed, as a person reads it
  CompareRows Rows;

  explicit operator bool() const { return Status == ReadStatus::Ok; }
};

// Reads each file once (mainRelative below mainRoot, subRelative below subRoot, never through a
// link) and fills fresh rows with their lines or dump rows, codes and line numbers, not yet
// aligned. Text mode when the main file's bytes pass the text test, else hex mode. A file that
// cannot be opened gives no rows in hex mode (so a main file that cannot be opened dumps both
// sides), and fails the load when it is the sub file in text mode. A read error fails the load,
// and so does a file that has grown beyond compfmax since its size was checked. On failure the
// caller keeps its previous rows.
CompareLoad LoadCompareRows(const RootFolder& mainRoot, const std::string& mainRelative,
                            const RootFolder& subRoot, const std::string& subRelative,
                            std::int32_t compfmax);

}  // namespace tarvex
