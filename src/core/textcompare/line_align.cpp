#include "core/textcompare/line_align.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/textcompare/blank_text.h"
#include "core/textcompare/prefault.h"

namespace tarvex {
namespace {

// The key of a row together with its next row.
std::uint64_t PairKey(std::uint64_t key, std::uint64_t next) {
  return (key << 29 | key >> 35) ^ (next * 0x165667B19E3779F9ull);
}

// The rows of one side under each key, in row order: rows grouped by key through a hash table,
// in linear time. Rows and groups are 32-bit (a side has fewer rows than its 32-bit byte limit)
// and a slot holds only its group, so the table stays small enough for the cache. The keys are
// not copied: a group's key is that of its first row, taken from the side's row keys.
class CodeIndex {
 public:
  // Each row under keys[r]; with pairs, each row but the last under PairKey(keys[r], keys[r + 1]).
  // keys must outlive the index and stay unchanged.
  CodeIndex(const std::vector<std::uint64_t>& keys, bool pairs) : keys_(keys), pairs_(pairs) {
    const std::size_t count = pairs ? (keys.empty() ? 0 : keys.size() - 1) : keys.size();
    std::size_t capacity = 16;
    int bits = 4;
    while (capacity < 2 * count) {
      capacity *= 2;
      ++bits;
    }
    shift_ = 64 - bits;
    ResizePrefaulted(slots_, capacity, Empty);
    std::vector<std::uint32_t> groupOf;
    ResizePrefaulted(groupOf, count);
    std::vector<std::uint32_t> firstRows;  // of each group
    std::vector<std::uint32_t> sizes;
    const auto firstRowOf = [&firstRows](std::uint32_t group) { return firstRows[group]; };
    for (std::size_t r = 0; r < count; ++r) {
      std::uint32_t& slot = slots_[SlotOf(KeyOf(r), firstRowOf)];
      if (slot == Empty) {
        slot = static_cast<std::uint32_t>(firstRows.size());
        firstRows.push_back(static_cast<std::uint32_t>(r));
        sizes.push_back(0);
      }
      groupOf[r] = slot;
      ++sizes[slot];
    }
    ResizePrefaulted(starts_, sizes.size() + 1);
    for (std::size_t g = 0; g < sizes.size(); ++g) starts_[g + 1] = starts_[g] + sizes[g];
    // sizes becomes each group's next free place.
    for (std::size_t g = 0; g < sizes.size(); ++g) sizes[g] = starts_[g];
    ResizePrefaulted(rows_, count);
    for (std::size_t r = 0; r < count; ++r)
      rows_[sizes[groupOf[r]]++] = static_cast<std::uint32_t>(r);
  }

  // The rows under key at or after from, in order.
  std::span<const std::uint32_t> From(std::uint64_t key, std::size_t from) const {
    // A group's rows ascend, so its first row leads them.
    const std::uint32_t group =
        slots_[SlotOf(key, [this](std::uint32_t g) { return rows_[starts_[g]]; })];
    if (group == Empty) return {};
    const auto first = rows_.begin() + static_cast<std::ptrdiff_t>(starts_[group]);
    const auto last = rows_.begin() + static_cast<std::ptrdiff_t>(starts_[group + 1]);
    return {std::lower_bound(first, last, from), last};
  }

 private:
  static constexpr std::uint32_t Empty = UINT32_MAX;

  std::uint64_t KeyOf(std::size_t row) const {
    return pairs_ ? PairKey(keys_[row], keys_[row + 1]) : keys_[row];
  }

  // The slot that holds key, or the empty slot where it would go; firstRowOf(group) is a row of
  // the group.
  template <typename FirstRowOf>
  std::size_t SlotOf(std::uint64_t key, const FirstRowOf& firstRowOf) const {
    std::size_t at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    while (slots_[at] != Empty && KeyOf(firstRowOf(slots_[at])) != key)
      at = (at + 1) & (slots_.size() - 1);
    return at;
  }

  const std::vector<std::uint64_t>& keys_;
  bool pairs_ = false;
  int shift_ = 0;
  std::vector<std::uint32_t> slots_;   // the group of each used slot
  std::vector<std::uint32_t> starts_;  // each group's first place in rows_, and the end
  std::vector<std::uint32_t> rows_;    // rows grouped by key, in row order within a group
};

// A row's key: its code and a hash of its text (without blanks where they are ignored), so that
// different lines sharing a code fall into different groups. Equal rows always share a key; two
// different rows rarely do, and RowsEqual still decides.
std::uint64_t RowKey(const CompareSide& side, std::size_t row) {
  const std::uint64_t text = side.BlanksIgnored
                                 ? std::hash<std::string>{}(WithoutBlanks(side.Lines[row]))
                                 : std::hash<std::string_view>{}(side.Lines[row]);
  const auto code = static_cast<std::uint64_t>(static_cast<std::uint32_t>(side.Codes[row]));
  return text ^ (code * 0xC2B2AE3D27D4EB4Full);
}

std::size_t IndexSum(const AlignAnchor& a) { return a.Row[MainSide] + a.Row[SubSide]; }

}  // namespace

class LineAligner::Impl {
 public:
  explicit Impl(const CompareRows& rows) : rows_(rows) {}

  bool AlignStep(AlignAnchor& anchor);

 private:
  const CompareSide& Side(std::size_t side) const { return rows_.Sides[side]; }
  // The first row at or after from on the other side that makes an anchor with this row of the
  // driving side.
  std::optional<std::size_t> FirstPartner(std::size_t driver, std::size_t row, std::size_t from);
  // Built on first use: two identical files need no index at all.
  const std::vector<std::uint64_t>& Keys(std::size_t side);
  const CodeIndex& Singles(std::size_t side);
  const CodeIndex& Pairs(std::size_t side);

  const CompareRows& rows_;
  // Per side: each row's key; each row under its key, and each row but the last under its and
  // the next row's key.
  std::array<std::optional<std::vector<std::uint64_t>>, 2> keys_;
  std::array<std::optional<CodeIndex>, 2> singles_;
  std::array<std::optional<CodeIndex>, 2> pairs_;
  std::array<std::size_t, 2> next_{};  // where the next step starts
  bool done_ = false;
};

const std::vector<std::uint64_t>& LineAligner::Impl::Keys(std::size_t side) {
  if (!keys_[side]) {
    const CompareSide& s = Side(side);
    std::vector<std::uint64_t> keys;
    ResizePrefaulted(keys, s.RowCount());
    for (std::size_t r = 0; r < s.RowCount(); ++r) keys[r] = RowKey(s, r);
    keys_[side].emplace(std::move(keys));
  }
  return *keys_[side];
}

const CodeIndex& LineAligner::Impl::Singles(std::size_t side) {
  if (!singles_[side]) singles_[side].emplace(Keys(side), false);
  return *singles_[side];
}

const CodeIndex& LineAligner::Impl::Pairs(std::size_t side) {
  if (!pairs_[side]) pairs_[side].emplace(Keys(side), true);
  return *pairs_[side];
}

std::optional<std::size_t> LineAligner::Impl::FirstPartner(std::size_t driver, std::size_t row,
                                                           std::size_t from) {
  const std::size_t other = OtherSide(driver);
  const CompareSide& d = Side(driver);
  const CompareSide& o = Side(other);
  // Equal keys are only candidates: the texts decide.
  const std::vector<std::uint64_t>& keys = Keys(driver);
  if (row + 1 == d.RowCount()) {
    for (const std::size_t q : Singles(other).From(keys[row], from)) {
      if (RowsEqual(d, row, o, q)) return q;
    }
    return std::nullopt;
  }
  for (const std::size_t q : Pairs(other).From(PairKey(keys[row], keys[row + 1]), from)) {
    if (RowsEqual(d, row, o, q) && RowsEqual(d, row + 1, o, q + 1)) return q;
  }
  // The other side's last row needs no next row; it lies beyond every row of the pair index.
  const std::size_t last = o.RowCount() - 1;
  if (last >= from && RowsEqual(d, row, o, last)) return last;
  return std::nullopt;
}

bool LineAligner::Impl::AlignStep(AlignAnchor& anchor) {
  if (done_) return false;
  const CompareSide& main = Side(MainSide);
  const CompareSide& sub = Side(SubSide);
  std::array<std::size_t, 2>& start = next_;
  while (start[MainSide] < main.RowCount() && start[SubSide] < sub.RowCount() &&
         RowsEqual(main, start[MainSide], sub, start[SubSide])) {
    ++start[MainSide];
    ++start[SubSide];
  }
  if (start[MainSide] >= main.RowCount() || start[SubSide] >= sub.RowCount()) {
    done_ = true;
    return false;
  }

  // Both searches advance one driving row at a time, so neither runs far beyond the nearer anchor.
  struct Search {
    std::size_t Next = 0;  // the next driving row to try
    std::size_t End = 0;   // driving rows from here on cannot win
    std::optional<AlignAnchor> Found;
    bool Over = false;
  };
  std::array<Search, 2> search;
  for (const std::size_t s : {MainSide, SubSide}) {
    search[s].Next = start[s];
    search[s].End = Side(s).RowCount();
  }
  while (!search[MainSide].Over || !search[SubSide].Over) {
    for (const std::size_t d : {MainSide, SubSide}) {
      Search& s = search[d];
      if (s.Over) continue;
      if (s.Next >= s.End) {
        s.Over = true;
        continue;
      }
      const std::size_t o = OtherSide(d);
      const std::optional<std::size_t> partner = FirstPartner(d, s.Next, start[o]);
      if (!partner) {
        ++s.Next;
        continue;
      }
      AlignAnchor found;
      found.Row[d] = s.Next;
      found.Row[o] = *partner;
      s.Found = found;
      s.Over = true;
      // No anchor lies before this driving row, so the other search can only find a smaller sum
      // with a driving row before this partner; at the partner it would find this very pair.
      search[o].End = std::min(search[o].End, *partner);
    }
  }

  const std::optional<AlignAnchor>& byMain = search[MainSide].Found;
  const std::optional<AlignAnchor>& bySub = search[SubSide].Found;
  if (!byMain && !bySub) {
    done_ = true;
    return false;
  }
  anchor = byMain && (!bySub || IndexSum(*byMain) <= IndexSum(*bySub)) ? *byMain : *bySub;
  next_ = anchor.Row;
  return true;
}

LineAligner::LineAligner(const CompareRows& rows) : impl_(std::make_unique<Impl>(rows)) {}
LineAligner::~LineAligner() = default;

bool LineAligner::AlignStep(AlignAnchor& anchor) { return impl_->AlignStep(anchor); }

std::vector<AlignAnchor> FindAlignAnchors(const CompareRows& rows) {
  std::vector<AlignAnchor> anchors;
  LineAligner aligner(rows);
  AlignAnchor anchor;
  while (aligner.AlignStep(anchor)) anchors.push_back(anchor);
  return anchors;
}

void InsertGapRows(CompareRows& rows, const std::vector<AlignAnchor>& anchors) {
  for (const std::size_t s : {MainSide, SubSide}) {
    const std::size_t o = OtherSide(s);
    // Between two anchors the rows pair up by index; the side with fewer rows there gets gap rows
    // directly above the later anchor.
    InsertedRuns gaps;
    AlignAnchor previous;
    for (const AlignAnchor& a : anchors) {
      const std::size_t own = a.Row[s] - previous.Row[s];
      const std::size_t others = a.Row[o] - previous.Row[o];
      if (others > own) gaps.emplace_back(a.Row[s], others - own);
      previous = a;
    }
    // The texts stay where they are; only the rows' places, codes and numbers spread out.
    CompareSide& side = rows.Sides[s];
    side.Lines.InsertEmptyRuns(gaps);
    InsertRunsInPlace(side.Codes, gaps, GapCode);
    InsertRunsInPlace(side.LineNos, gaps, GapLineNo);
  }
}

void AlignRows(CompareRows& rows) {
  if (rows.Mode != CompareMode::Text) return;
  InsertGapRows(rows, FindAlignAnchors(rows));
}

}  // namespace tarvex
