#include "core/textcompare/text_compare.h"

#include <algorithm>

#include "core/textcompare/blank_text.h"
#include "core/textcompare/hex_dump.h"
#include "core/textcompare/line_code.h"
#include "core/textcompare/prefault.h"
#include "core/textcompare/text_loading.h"

namespace tarvex {
namespace {

// The line feeds in bytes, counted in blocks of a fixed length that compile to vector compares.
std::size_t CountLineFeeds(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  constexpr std::size_t Block = 64;
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + Block <= bytes.size(); i += Block) {
    unsigned inBlock = 0;
    for (std::size_t k = 0; k < Block; ++k) inBlock += p[i + k] == '\n';
    count += inBlock;
  }
  for (; i < bytes.size(); ++i) count += p[i] == '\n';
  return count;
}

// The lines of a text file with their codes and numbers, each line coded while its bytes are
// still in the cache. Room for the gap rows the alignment may add (at most the other side's
// lines) is reserved too: it costs nothing until it is used, and the rows then spread in place.
void LoadTextLines(std::string text, std::size_t otherLines, CompareSide& side) {
  side.Lines = RowTexts::Adopting(std::move(text));
  const std::string_view bytes = side.Lines.Buffer();
  const std::size_t own = CountLineFeeds(bytes) + 1;
  side.Lines.reserve(own + otherLines, own);
  for (std::vector<std::int32_t>* values : {&side.Codes, &side.LineNos}) {
    values->reserve(own + otherLines);
    PrefaultForWrite(values->data(), own * sizeof(std::int32_t));
  }
  ForEachTextLine(bytes, [&side](std::string_view line) {
    side.Lines.AddAdopted(line);
    side.Codes.push_back(side.BlanksIgnored ? LineCode(WithoutBlanks(line)) : LineCode(line));
    // The file is below the 32-bit size limit, so a line number always fits.
    side.LineNos.push_back(static_cast<std::int32_t>(side.LineNos.size() + 1));
  });
}

// A file's text in UTF-8 where it decodes whole, its form, and its lines.
// The rows keep the bytes (or their decoded text) and point into them.
FileTextForm LoadTextSide(std::string bytes, std::size_t otherLines, CompareSide& side) {
  FileTextForm form;
  form.Encoding = DetectFileEncoding(bytes);
  std::string decoded;
  if (form.Encoding != FileEncoding::Utf8 && DecodeFileText(bytes, form.Encoding, decoded))
    bytes = std::move(decoded);
  const std::string_view text = std::string_view(bytes).substr(0, bytes.find('\0'));
  form.Ending = DetectLineEnding(text);
  form.EndsWithLineEnd = !text.empty() && (text.back() == '\n' || text.back() == '\r');
  LoadTextLines(std::move(bytes), otherLines, side);
  return form;
}

// Text that the text test turns away, but that is plainly text once decoded.
bool IsEncodedText(std::string_view bytes) {
  if (HasUtf16Bom(bytes)) {
    std::string decoded;
    return DecodeFileText(bytes, DetectFileEncoding(bytes), decoded);
  }
  return bytes.find('\x1B') != std::string_view::npos &&
         DetectFileEncoding(bytes) == FileEncoding::Iso2022Jp;
}

}  // namespace

bool IsTooLargeToCompare(std::int64_t size, std::int32_t compfmax) { return size > compfmax; }

CompareLoad LoadCompareRows(const RootFolder& mainRoot, const std::string& mainRelative,
                            const RootFolder& subRoot, const std::string& subRelative,
                            std::int32_t compfmax, bool ignoreBlanks) {
  CompareLoad load;
  const RootFolder* roots[2] = {&mainRoot, &subRoot};
  const std::string* relatives[2] = {&mainRelative, &subRelative};
  FileBytes files[2];
  // A negative limit refuses every file, as the size check does; it must not mean "no limit".
  const std::int64_t limit = std::max<std::int64_t>(compfmax, 0);
  for (const std::size_t s : {MainSide, SubSide}) {
    files[s] = ReadFileBytesBelow(*roots[s], *relatives[s], limit);
    if (files[s].Status == ReadStatus::ReadError || files[s].Status == ReadStatus::TooLarge) {
      load.Status = files[s].Status;
      load.Error = files[s].Error;
      load.FailedPath = roots[s]->PathOf(*relatives[s]);
      return load;
    }
  }
  // A main file that cannot be opened is not text.
  load.Rows.Mode = files[MainSide] && (IsTextBytes(files[MainSide].Bytes) ||
                                       IsEncodedText(files[MainSide].Bytes))
                       ? CompareMode::Text
                       : CompareMode::Hex;
  load.SameBytes = files[MainSide].Bytes == files[SubSide].Bytes;
  std::size_t lineFeeds[2] = {};
  if (load.Rows.Mode == CompareMode::Text) {
    for (const std::size_t s : {MainSide, SubSide}) lineFeeds[s] = CountLineFeeds(files[s].Bytes);
  }
  for (const std::size_t s : {MainSide, SubSide}) {
    CompareSide& side = load.Rows.Sides[s];
    if (load.Rows.Mode == CompareMode::Text) {
      if (!files[s]) {
        load.Status = files[s].Status;
        load.Error = files[s].Error;
        load.FailedPath = roots[s]->PathOf(*relatives[s]);
        load.Rows = CompareRows();
        return load;
      }
      side.BlanksIgnored = ignoreBlanks;
      load.Forms[s] = LoadTextSide(std::move(files[s].Bytes), lineFeeds[OtherSide(s)] + 1, side);
    } else if (files[s]) {
      std::vector<std::string> dump;
      AppendHexDump(files[s].Bytes, dump);
      side.Lines = RowTexts(dump);
      SetCodesAndLineNos(side);
    }
    files[s].Bytes = std::string();
  }
  return load;
}

std::string NoDifferingRowReason(const CompareLoad& load, const CompareRows& rows) {
  if (load.SameBytes || rows.Mode != CompareMode::Text || CountDifferingRows(rows) > 0) return {};
  // Lines equal only without their blanks: the encoding or the line ends alone do not explain it.
  if (rows.Main().BlanksIgnored) {
    for (std::size_t r = 0; r < rows.Main().RowCount(); ++r)
      if (rows.Main().Lines[r] != rows.Sub().Lines[r]) return {};
  }
  const FileTextForm& main = load.Forms[MainSide];
  const FileTextForm& sub = load.Forms[SubSide];
  const bool encoding = main.Encoding != sub.Encoding;
  // A file of one line has no line ending of its own to differ in.
  const bool ending = main.Ending != sub.Ending && main.Ending != LineEnding::None &&
                      sub.Ending != LineEnding::None;
  if (encoding && ending) return "文字コードと改行コードのみ違います";
  if (encoding) return "文字コードのみ違います";
  if (ending) return "改行コードのみ違います";
  if (main.EndsWithLineEnd != sub.EndsWithLineEnd) return "最終行の改行のみ違います";
  return {};
}

}  // namespace tarvex
