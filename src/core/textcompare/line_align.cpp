#include "core/textcompare/line_align.h"

#include <algorithm>
#include <optional>
#include <span>

namespace tarvex {
namespace {

// The rows of one side under each key, in row order.
class CodeIndex {
 public:
  struct Entry {
    std::uint64_t Key;
    std::size_t Row;
    bool operator<(const Entry& other) const {
      return Key != other.Key ? Key < other.Key : Row < other.Row;
    }
  };

  explicit CodeIndex(std::vector<Entry> entries) : entries_(std::move(entries)) {
    std::sort(entries_.begin(), entries_.end());
  }

  // The rows under key at or after from, in order.
  std::span<const Entry> From(std::uint64_t key, std::size_t from) const {
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), Entry{key, from});
    const auto last =
        std::partition_point(first, entries_.end(), [&](const Entry& e) { return e.Key == key; });
    return {first, last};
  }

 private:
  std::vector<Entry> entries_;
};

std::uint64_t CodeKey(std::int32_t code) { return static_cast<std::uint32_t>(code); }

std::uint64_t PairKey(std::int32_t code, std::int32_t next) {
  return CodeKey(code) << 32 | CodeKey(next);
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
  const CodeIndex& Singles(std::size_t side);
  const CodeIndex& Pairs(std::size_t side);

  const CompareRows& rows_;
  std::array<std::optional<CodeIndex>, 2> singles_;  // each row under its code
  std::array<std::optional<CodeIndex>, 2>
      pairs_;                          // each row but the last under its and the next code
  std::array<std::size_t, 2> next_{};  // where the next step starts
  bool done_ = false;
};

const CodeIndex& LineAligner::Impl::Singles(std::size_t side) {
  if (!singles_[side]) {
    const CompareSide& s = Side(side);
    std::vector<CodeIndex::Entry> entries(s.RowCount());
    for (std::size_t r = 0; r < s.RowCount(); ++r) entries[r] = {CodeKey(s.Codes[r]), r};
    singles_[side].emplace(std::move(entries));
  }
  return *singles_[side];
}

const CodeIndex& LineAligner::Impl::Pairs(std::size_t side) {
  if (!pairs_[side]) {
    const CompareSide& s = Side(side);
    std::vector<CodeIndex::Entry> entries;
    entries.reserve(s.RowCount());
    for (std::size_t r = 0; r + 1 < s.RowCount(); ++r) {
      entries.push_back({PairKey(s.Codes[r], s.Codes[r + 1]), r});
    }
    pairs_[side].emplace(std::move(entries));
  }
  return *pairs_[side];
}

std::optional<std::size_t> LineAligner::Impl::FirstPartner(std::size_t driver, std::size_t row,
                                                           std::size_t from) {
  const std::size_t other = OtherSide(driver);
  const CompareSide& d = Side(driver);
  const CompareSide& o = Side(other);
  // Equal codes are only candidates: the texts decide.
  if (row + 1 == d.RowCount()) {
    for (const auto& e : Singles(other).From(CodeKey(d.Codes[row]), from)) {
      if (RowsEqual(d, row, o, e.Row)) return e.Row;
    }
    return std::nullopt;
  }
  for (const auto& e : Pairs(other).From(PairKey(d.Codes[row], d.Codes[row + 1]), from)) {
    if (RowsEqual(d, row, o, e.Row) && RowsEqual(d, row + 1, o, e.Row + 1)) return e.Row;
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
    auto gapsBefore = [&](const AlignAnchor& a, const AlignAnchor& previous) {
      const std::size_t own = a.Row[s] - previous.Row[s];
      const std::size_t others = a.Row[o] - previous.Row[o];
      return others > own ? others - own : 0;
    };
    std::size_t gaps = 0;
    AlignAnchor previous;
    for (const AlignAnchor& a : anchors) {
      gaps += gapsBefore(a, previous);
      previous = a;
    }
    if (gaps == 0) continue;

    CompareSide& side = rows.Sides[s];
    CompareSide out;
    const std::size_t total = side.RowCount() + gaps;
    out.Lines.reserve(total);
    out.Codes.reserve(total);
    out.LineNos.reserve(total);
    auto take = [&](std::size_t from, std::size_t to) {
      for (std::size_t r = from; r < to; ++r) {
        out.Lines.push_back(std::move(side.Lines[r]));
        out.Codes.push_back(side.Codes[r]);
        out.LineNos.push_back(side.LineNos[r]);
      }
    };
    previous = AlignAnchor{};
    for (const AlignAnchor& a : anchors) {
      take(previous.Row[s], a.Row[s]);
      const std::size_t n = gapsBefore(a, previous);
      out.Lines.insert(out.Lines.end(), n, std::string());
      out.Codes.insert(out.Codes.end(), n, GapCode);
      out.LineNos.insert(out.LineNos.end(), n, GapLineNo);
      previous = a;
    }
    take(previous.Row[s], side.RowCount());
    side = std::move(out);
  }
}

void AlignRows(CompareRows& rows) {
  if (rows.Mode != CompareMode::Text) return;
  InsertGapRows(rows, FindAlignAnchors(rows));
}

}  // namespace tarvex
