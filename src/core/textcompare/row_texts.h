#pragma once
// The texts of one side's rows: one byte buffer and each row's place in it. A loaded file keeps
// its bytes as the buffer and its lines point into them, so loading makes no string per line; a
// fresh process pays for every new page it touches, and a string per line doubled the pages.

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/textcompare/prefault.h"

namespace tarvex {

// Runs of inserted elements: (before which element, how many), the elements ascending.
using InsertedRuns = std::vector<std::pair<std::size_t, std::size_t>>;

// Inserts the runs of copies of value into values in one pass from the back, so the elements
// move once and, where the capacity allows, no second array is touched.
template <typename T>
void InsertRunsInPlace(std::vector<T>& values, const InsertedRuns& runs, const T& value) {
  std::size_t added = 0;
  for (const auto& run : runs) added += run.second;
  if (added == 0) return;
  std::size_t end = values.size();  // the elements below end have not moved yet
  ResizePrefaulted(values, end + added, value);
  auto at = [&values](std::size_t i) { return values.begin() + static_cast<std::ptrdiff_t>(i); };
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    const auto [before, count] = *run;
    std::move_backward(at(before), at(end), at(before + added + (end - before)));
    std::fill(at(before + added - count), at(before + added), value);
    added -= count;
    end = before;
  }
}

class RowTexts {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    const_iterator() = default;
    const_iterator(const RowTexts* rows, std::size_t row) : rows_(rows), row_(row) {}
    std::string_view operator*() const { return (*rows_)[row_]; }
    const_iterator& operator++() {
      ++row_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return row_ == other.row_; }

   private:
    const RowTexts* rows_ = nullptr;
    std::size_t row_ = 0;
  };
  using iterator = const_iterator;
  using value_type = std::string_view;

  RowTexts() = default;
  RowTexts(std::initializer_list<std::string_view> rows);
  // Sides filled from lists of lines or dump rows (hex mode, tests).
  RowTexts(const std::vector<std::string>& rows);  // NOLINT(google-explicit-constructor)

  // Makes text the buffer; Adopted rows then point into it.
  static RowTexts Adopting(std::string text);
  const std::string& Buffer() const { return text_; }
  // A row whose text is part lies inside Buffer().
  void AddAdopted(std::string_view part) {
    places_.push_back({static_cast<std::size_t>(part.data() - text_.data()), part.size()});
  }

  void push_back(std::string_view row);
  // Room for rows, the first filled of them mapped at once (see prefault.h).
  void reserve(std::size_t rows, std::size_t filled = 0) {
    places_.reserve(rows);
    PrefaultForWrite(places_.data(), std::min(rows, filled) * sizeof(Place));
  }
  // count empty rows before row at (at == size() appends them).
  void InsertEmpty(std::size_t at, std::size_t count);
  void InsertEmptyRuns(const InsertedRuns& runs) { InsertRunsInPlace(places_, runs, Place{}); }

  std::size_t size() const { return places_.size(); }
  bool empty() const { return places_.empty(); }
  std::string_view operator[](std::size_t row) const {
    const Place& p = places_[row];
    return {text_.data() + p.Offset, p.Size};
  }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  bool operator==(const RowTexts& other) const;
  bool operator==(const std::vector<std::string>& other) const;

 private:
  struct Place {
    std::size_t Offset = 0;
    std::size_t Size = 0;
  };

  std::string text_;
  std::vector<Place> places_;
};

}  // namespace tarvex
