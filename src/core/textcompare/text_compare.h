#pragma once
// Loading the two files of one comparison into rows: the main file's text test decides for both
// whether they are loaded as text lines or as hex dump rows.

#include <array>
#include <cstdint>
#include <string>

#include "core/fs/root_folder.h"
#include "core/textcompare/compare_rows.h"
#include "core/textcompare/file_bytes.h"
#include "core/textcompare/file_encoding.h"
#include "core/textcompare/line_ending.h"

namespace tarvex {

// Whether a file of this size is beyond the size limit compfmax; a size equal to the limit passes.
// Sizes are the real 64-bit ones.
bool IsTooLargeToCompare(std::int64_t size, std::int32_t compfmax);

// How a file loaded as text was written (text mode only).
struct FileTextForm {
  FileEncoding Encoding = FileEncoding::Utf8;
  LineEnding Ending = LineEnding::None;
  bool EndsWithLineEnd = false;  // the last line has its terminator

  bool operator==(const FileTextForm&) const = default;
};

struct CompareLoad {
  ReadStatus Status = ReadStatus::Ok;
  int Error = 0;           // the errno value behind a failure
  std::string FailedPath;  // the file that failed, as a person reads it
  CompareRows Rows;
  std::array<FileTextForm, 2> Forms;  // text mode only
  bool SameBytes = false;             // the two files' bytes are the same

  explicit operator bool() const { return Status == ReadStatus::Ok; }
};

// Reads each file once (mainRelative below mainRoot, subRelative below subRoot, never through a
// link) and fills fresh rows with their lines or dump rows, codes and line numbers, not yet
// aligned. Text mode when the main file's bytes pass the text test, else hex mode. A file that
// cannot be opened gives no rows in hex mode (so a main file that cannot be opened dumps both
// sides), and fails the load when it is the sub file in text mode. A read error fails the load,
// and so does a file that has grown beyond compfmax since its size was checked. On failure the
// caller keeps its previous rows.
//
// In text mode each file is decoded into UTF-8 in its own encoding (see file_encoding.h) before
// its lines are split and coded, so two files that differ only in their encoding have equal rows;
// a file that does not decode whole keeps its bytes. A main file with a UTF-16 byte order mark or
// in ISO-2022-JP is text although its bytes fail the text test. With ignoreBlanks, text lines
// that differ only in blanks are equal (see blank_text.h).
CompareLoad LoadCompareRows(const RootFolder& mainRoot, const std::string& mainRelative,
                            const RootFolder& subRoot, const std::string& subRelative,
                            std::int32_t compfmax, bool ignoreBlanks = false);

// Why a pair of text files whose bytes differ has no differing row in rows (the load's rows,
// aligned or not): "文字コードのみ違います", "改行コードのみ違います", both together, or
// "最終行の改行のみ違います"; empty when the bytes are the same, some row differs, or none of these
// explains it (lines that differ in ignored blanks).
std::string NoDifferingRowReason(const CompareLoad& load, const CompareRows& rows);

}  // namespace tarvex
