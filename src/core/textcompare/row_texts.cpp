#include "core/textcompare/row_texts.h"

#include <algorithm>

namespace tarvex {

RowTexts::RowTexts(std::initializer_list<std::string_view> rows) {
  places_.reserve(rows.size());
  for (const std::string_view row : rows) push_back(row);
}

RowTexts::RowTexts(const std::vector<std::string>& rows) {
  std::size_t bytes = 0;
  for (const std::string& row : rows) bytes += row.size();
  text_.reserve(bytes);
  places_.reserve(rows.size());
  for (const std::string& row : rows) push_back(row);
}

RowTexts RowTexts::Adopting(std::string text) {
  RowTexts rows;
  rows.text_ = std::move(text);
  return rows;
}

void RowTexts::push_back(std::string_view row) {
  places_.push_back({text_.size(), row.size()});
  text_.append(row);
}

void RowTexts::InsertEmpty(std::size_t at, std::size_t count) {
  places_.insert(places_.begin() + static_cast<std::ptrdiff_t>(at), count, Place{});
}

bool RowTexts::operator==(const RowTexts& other) const {
  return std::equal(begin(), end(), other.begin(), other.end());
}

bool RowTexts::operator==(const std::vector<std::string>& other) const {
  return std::equal(begin(), end(), other.begin(), other.end());
}

}  // namespace tarvex
