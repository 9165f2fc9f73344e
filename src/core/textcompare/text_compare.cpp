#include "core/textcompare/text_compare.h"

#include <algorithm>

#include "core/textcompare/hex_dump.h"
#include "core/textcompare/text_loading.h"

namespace tarvex {

bool IsTooLargeToCompare(std::int64_t size, std::int32_t compfmax) { return size > compfmax; }

CompareLoad LoadCompareRows(const std::string& mainPath, const std::string& subPath,
                            std::int32_t compfmax) {
  CompareLoad load;
  const std::string* paths[2] = {&mainPath, &subPath};
  FileBytes files[2];
  // A negative limit refuses every file, as the size check does; it must not mean "no limit".
  const std::int64_t limit = std::max<std::int64_t>(compfmax, 0);
  for (const std::size_t s : {MainSide, SubSide}) {
    files[s] = ReadFileBytes(*paths[s], limit);
    if (files[s].Status == ReadStatus::ReadError || files[s].Status == ReadStatus::TooLarge) {
      load.Status = files[s].Status;
      load.Error = files[s].Error;
      load.FailedPath = *paths[s];
      return load;
    }
  }
  // A main file that cannot be opened is not text.
  load.Rows.Mode =
      files[MainSide] && IsTextBytes(files[MainSide].Bytes) ? CompareMode::Text : CompareMode::Hex;
  for (const std::size_t s : {MainSide, SubSide}) {
    CompareSide& side = load.Rows.Sides[s];
    if (load.Rows.Mode == CompareMode::Text) {
      if (!files[s]) {
        load.Status = files[s].Status;
        load.Error = files[s].Error;
        load.FailedPath = *paths[s];
        load.Rows = CompareRows();
        return load;
      }
      side.Lines = TextLines(files[s].Bytes);
    } else if (files[s]) {
      AppendHexDump(files[s].Bytes, side.Lines);
    }
    files[s].Bytes = std::string();  // the rows hold their own copy
    SetCodesAndLineNos(side);
  }
  return load;
}

}  // namespace tarvex
