#include "core/textcompare/line_align.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/textcompare/blank_text.h"
#include "core/textcompare/compare_rows.h"
#include "core/textcompare/line_code.h"
#include "core/textcompare/text_compare.h"
#include "support/align_reference.h"

namespace tarvex {
namespace {

using testing::MakeTextRows;
using testing::ReferenceAlignRows;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One line per row, "main | sub": a cell is "number:text", "~" for a gap row, empty where the
// side has no such row.
std::string Render(const CompareRows& rows) {
  std::string out;
  const std::size_t count = std::max(rows.Main().RowCount(), rows.Sub().RowCount());
  for (std::size_t r = 0; r < count; ++r) {
    std::string line;
    for (const std::size_t s : {MainSide, SubSide}) {
      const CompareSide& side = rows.Sides[s];
      if (s == SubSide) line += " | ";
      if (r >= side.RowCount()) continue;
      line +=
          side.IsGap(r) ? "~" : std::to_string(side.LineNos[r]) + ":" + std::string(side.Lines[r]);
    }
    line.erase(0, line.find_first_not_of(' '));
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
  }
  return out + "differing: " + std::to_string(CountDifferingRows(rows)) + "\n";
}

// Each golden case is name.main, name.sub and name.expected, the rows as Render writes them.
TEST(AlignGolden, FilesAlignAsWritten) {
  const std::string folder = TARVEX_TEXTCOMPARE_GOLDEN;
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  ASSERT_NE(dir, nullptr) << folder;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    const std::string suffix = ".expected";
    if (name.size() > suffix.size() && name.ends_with(suffix)) {
      names.push_back(name.substr(0, name.size() - suffix.size()));
    }
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 10u);
  RootFolder root;
  ASSERT_EQ(root.Open(folder), 0);
  for (const std::string& name : names) {
    const std::string base = folder + "/" + name;
    CompareLoad load = LoadCompareRows(root, name + ".main", root, name + ".sub", 1 << 20);
    ASSERT_TRUE(load) << name;
    ASSERT_EQ(load.Rows.Mode, CompareMode::Text) << name;
    AlignRows(load.Rows);
    EXPECT_EQ(Render(load.Rows), ReadAll(base + ".expected")) << name;
  }
}

std::string Describe(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += (line.empty() ? "''" : line) + " ";
  return out;
}

void ExpectSameAsReference(const std::vector<std::string>& main,
                           const std::vector<std::string>& sub, bool collidingCodes,
                           bool ignoreBlanks = false) {
  CompareRows reference = MakeTextRows(main, sub);
  if (ignoreBlanks) {
    // As the loader codes them: lines that differ only in blanks are equal.
    for (CompareSide& side : reference.Sides) {
      side.BlanksIgnored = true;
      for (std::size_t r = 0; r < side.RowCount(); ++r)
        side.Codes[r] = LineCode(WithoutBlanks(side.Lines[r]));
    }
  }
  if (collidingCodes) {
    // Codes from the first byte only: lines that differ later share a code, so every search
    // meets candidates that only the texts rule out.
    for (CompareSide& side : reference.Sides) {
      for (std::size_t r = 0; r < side.RowCount(); ++r) {
        side.Codes[r] = side.Lines[r].empty() ? 7 : side.Lines[r][0] % 3;
      }
    }
  }
  CompareRows fast = reference;
  const std::vector<AlignAnchor> referenceAnchors = ReferenceAlignRows(reference);
  const std::vector<AlignAnchor> anchors = FindAlignAnchors(fast);
  InsertGapRows(fast, anchors);
  const std::string input = "main: " + Describe(main) + "\nsub:  " + Describe(sub) +
                            (collidingCodes ? " (colliding)" : "") +
                            (ignoreBlanks ? " (blanks ignored)" : "");
  ASSERT_EQ(anchors.size(), referenceAnchors.size()) << input;
  for (std::size_t a = 0; a < anchors.size(); ++a) {
    ASSERT_EQ(anchors[a].Row, referenceAnchors[a].Row) << "step " << a << "\n" << input;
  }
  for (const std::size_t s : {MainSide, SubSide}) {
    ASSERT_EQ(fast.Sides[s].Lines, reference.Sides[s].Lines) << input;
    ASSERT_EQ(fast.Sides[s].Codes, reference.Sides[s].Codes) << input;
    ASSERT_EQ(fast.Sides[s].LineNos, reference.Sides[s].LineNos) << input;
  }
}

std::vector<std::string> RandomLines(std::mt19937& rng, std::size_t count, int alphabet) {
  std::vector<std::string> lines(count);
  for (std::string& line : lines) {
    const int letter = std::uniform_int_distribution<int>(0, alphabet - 1)(rng);
    line = letter == 0 ? std::string() : std::string(1, static_cast<char>('a' + letter));
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
      line += static_cast<char>('p' + letter % 2);
  }
  return lines;
}

// The other file as an edit of one: blocks inserted, deleted, changed and moved.
std::vector<std::string> Edited(std::mt19937& rng, std::vector<std::string> lines, int alphabet) {
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
  const std::size_t edits = pick(6);
  for (std::size_t e = 0; e < edits; ++e) {
    const std::size_t at = pick(lines.size());
    const std::size_t length = std::min(pick(5), lines.size() - at);
    const auto first = lines.begin() + static_cast<std::ptrdiff_t>(at);
    const auto last = first + static_cast<std::ptrdiff_t>(length);
    switch (pick(3)) {
      case 0: {
        const std::vector<std::string> added = RandomLines(rng, pick(5), alphabet);
        lines.insert(first, added.begin(), added.end());
        break;
      }
      case 1:
        lines.erase(first, last);
        break;
      case 2:
        for (auto it = first; it != last; ++it) *it = RandomLines(rng, 1, alphabet)[0];
        break;
      default: {
        const std::vector<std::string> moved(first, last);
        lines.erase(first, last);
        const std::size_t to = pick(lines.size());
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(to), moved.begin(), moved.end());
        break;
      }
    }
  }
  return lines;
}

TEST(AlignAgainstReference, RandomInputsGiveTheSameStepsAndRows) {
  std::mt19937 rng(20240611);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 6000; ++round) {
    const int alphabet = pick(2, 6);
    std::vector<std::string> main, sub;
    switch (round % 4) {
      case 0:  // unrelated sides: anchors far apart or none
        main = RandomLines(rng, static_cast<std::size_t>(pick(0, 25)), alphabet);
        sub = RandomLines(rng, static_cast<std::size_t>(pick(0, 25)), alphabet);
        break;
      case 1:  // one side an edit of the other
      case 2:
        main = RandomLines(rng, static_cast<std::size_t>(pick(0, 60)), alphabet + 4);
        sub = Edited(rng, main, alphabet + 4);
        if (round % 8 == 2) std::swap(main, sub);
        break;
      default: {  // long runs of one line, changed here and there
        const std::string run = pick(0, 1) ? "" : "b";
        main.assign(static_cast<std::size_t>(pick(0, 120)), run);
        for (int e = pick(0, 4); e > 0 && !main.empty(); --e) {
          main[static_cast<std::size_t>(pick(0, static_cast<int>(main.size()) - 1))] = "c";
        }
        sub = Edited(rng, main, alphabet);
        break;
      }
    }
    if (round % 50 == 0) (round % 100 == 0 ? main : sub).clear();
    // Now and then blanks put into lines, which count or do not.
    const bool blanks = round % 5 == 4;
    if (blanks) {
      for (std::vector<std::string>* side : {&main, &sub}) {
        for (std::string& line : *side) {
          if (pick(0, 2) == 0)
            line.insert(static_cast<std::size_t>(pick(0, static_cast<int>(line.size()))),
                        pick(0, 1) ? " " : "\t");
        }
      }
    }
    ExpectSameAsReference(main, sub, round % 3 == 0, blanks && round % 10 == 9);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(AlignAgainstReference, WorkedExamplesAndEdges) {
  const struct {
    std::vector<std::string> main, sub;
  } cases[] = {
      {{}, {}},
      {{"A"}, {}},
      {{}, {"A", "B"}},
      {{"A"}, {"B"}},
      {{"A", "B", "C"}, {"A", "X", "B", "C"}},
      {{"A", "B", "C", "D"}, {"A", "X", "C", "D"}},
      {{"A", "B", "C", "D", "E"}, {"A", "D", "E", "B", "C"}},
      {{"A", "B", "Q"}, {"A", "X", "Y", "Q"}},
      {{"A", "B", "C", "D", "E"}, {"A", "X", "B", "Y", "D", "E"}},
      {{"x", "x", "x"}, {"y", "x", "x", "x", "x"}},
      {{"a", "b", "a", "b"}, {"b", "a", "b", "a"}},
  };
  for (const auto& c : cases) {
    ExpectSameAsReference(c.main, c.sub, false);
    ExpectSameAsReference(c.sub, c.main, false);
  }
}

TEST(AlignRows, HexRowsStayPairedByIndex) {
  CompareRows rows = MakeTextRows({"A", "B"}, {"X", "A", "B"});
  rows.Mode = CompareMode::Hex;
  AlignRows(rows);
  EXPECT_EQ(rows.Main().RowCount(), 2u);
  EXPECT_EQ(rows.Sub().RowCount(), 3u);
  EXPECT_EQ(CountDifferingRows(rows), 3u);
}

}  // namespace
}  // namespace tarvex
