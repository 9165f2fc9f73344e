#include "core/textcompare/intraline_diff.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarvex {
namespace {

// Small equal runs between two changes are taken into the marking.
constexpr std::size_t MergeUnits = 2;

bool IsWordChar(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') ||
         c == U'_';
}

// Units as [start, end) in code points.
struct Unit {
  std::size_t Start = 0;
  std::size_t End = 0;
};

std::vector<Unit> SplitUnits(std::u32string_view text) {
  std::vector<Unit> units;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i + 1;
    if (IsWordChar(text[i])) {
      while (end < text.size() && IsWordChar(text[end])) ++end;
    }
    units.push_back({i, end});
    i = end;
  }
  return units;
}

// One change: units [From, To) of each side stand for each other.
struct Hunk {
  std::array<std::size_t, 2> From{};
  std::array<std::size_t, 2> To{};
};

class UnitDiff {
 public:
  UnitDiff(std::u32string_view main, std::u32string_view sub)
      : text_{main, sub}, units_{SplitUnits(main), SplitUnits(sub)} {}

  IntralineChanges Changes() {
    std::vector<Hunk> hunks = Hunks();
    IntralineChanges changes;
    std::array<std::vector<TextRange>*, 2> out = {&changes.Main, &changes.Sub};
    for (const std::size_t s : {MainSide, SubSide}) {
      for (const Hunk& h : hunks) {
        if (h.From[s] == h.To[s]) continue;
        const std::size_t start = units_[s][h.From[s]].Start;
        const std::size_t end = units_[s][h.To[s] - 1].End;
        out[s]->push_back({start, end - start});
      }
    }
    return changes;
  }

 private:
  bool Same(std::size_t a, std::size_t b) const {
    const Unit& u = units_[MainSide][a];
    const Unit& v = units_[SubSide][b];
    return text_[MainSide].substr(u.Start, u.End - u.Start) ==
           text_[SubSide].substr(v.Start, v.End - v.Start);
  }

  // The changes in unit indexes, small equal runs between them merged.
  std::vector<Hunk> Hunks() const {
    const std::size_t m = units_[MainSide].size();
    const std::size_t n = units_[SubSide].size();
    std::size_t head = 0;
    while (head < m && head < n && Same(head, head)) ++head;
    std::size_t tail = 0;
    while (tail < m - head && tail < n - head && Same(m - 1 - tail, n - 1 - tail)) ++tail;
    const std::size_t mm = m - head - tail;
    const std::size_t nn = n - head - tail;
    std::vector<Hunk> hunks;
    if (mm == 0 && nn == 0) return hunks;
    if (mm == 0 || nn == 0 || mm * nn > IntralineTableLimit) {
      hunks.push_back({{head, head}, {m - tail, n - tail}});
      return hunks;
    }
    // lcs[i][j]: the common units of main [head + i, ...) and sub [head + j, ...) in the middle.
    const std::size_t width = nn + 1;
    std::vector<std::uint32_t> lcs((mm + 1) * width, 0);
    for (std::size_t i = mm; i-- > 0;) {
      for (std::size_t j = nn; j-- > 0;) {
        lcs[i * width + j] = Same(head + i, head + j)
                                 ? lcs[(i + 1) * width + j + 1] + 1
                                 : std::max(lcs[(i + 1) * width + j], lcs[i * width + j + 1]);
      }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t equalRun = 0;  // equal units since the last change
    bool open = false;         // the last hunk may still grow
    auto change = [&](std::size_t di, std::size_t dj) {
      const std::size_t a = head + i;
      const std::size_t b = head + j;
      if (open && !hunks.empty() && (equalRun == 0 || equalRun <= MergeUnits)) {
        hunks.back().To = {a + di, b + dj};
      } else {
        hunks.push_back({{a, b}, {a + di, b + dj}});
      }
      open = true;
      equalRun = 0;
    };
    while (i < mm || j < nn) {
      if (i < mm && j < nn && Same(head + i, head + j) &&
          lcs[i * width + j] == lcs[(i + 1) * width + j + 1] + 1) {
        ++i;
        ++j;
        ++equalRun;
      } else if (j < nn && (i == mm || lcs[i * width + j + 1] >= lcs[(i + 1) * width + j])) {
        change(0, 1);
        ++j;
      } else {
        change(1, 0);
        ++i;
      }
    }
    return hunks;
  }

  std::array<std::u32string_view, 2> text_;
  std::array<std::vector<Unit>, 2> units_;
};

// The dump row's layout: eight bytes of three characters, a blank, eight more.
std::size_t HexFieldOffset(std::size_t t) { return 3 * t + (t >= 8 ? 1 : 0); }

bool HasHexField(std::string_view row, std::size_t t) {
  const std::size_t at = HexFieldOffset(t);
  return at + 1 < row.size() && row[at] != ' ';
}

}  // namespace

IntralineChanges DiffLineTexts(std::u32string_view main, std::u32string_view sub) {
  return UnitDiff(main, sub).Changes();
}

IntralineChanges DiffHexRows(std::string_view main, std::string_view sub) {
  IntralineChanges changes;
  for (std::size_t t = 0; t < 16; ++t) {
    const bool inMain = HasHexField(main, t);
    const bool inSub = HasHexField(sub, t);
    const std::size_t at = HexFieldOffset(t);
    const bool differ = inMain != inSub || (inMain && main.substr(at, 2) != sub.substr(at, 2));
    if (!differ) continue;
    if (inMain) changes.Main.push_back({at, 2});
    if (inSub) changes.Sub.push_back({at, 2});
  }
  return changes;
}

}  // namespace tarvex
