#pragma once
// The collation keys of every path of a list in one block of bytes, so that the sort compares two
// keys as bytes, without an allocation per key or a pointer to follow.

#include <QCollator>
#include <cstdint>
#include <string>
#include <vector>

#include "core/scan/path_list.h"

struct UCollator;

namespace tarvex {

class PathSortKeys {
 public:
  // Opens ICU's collation as QCollator sets it up for collator's locale and case sensitivity.
  explicit PathSortKeys(const QCollator& collator);
  ~PathSortKeys();
  PathSortKeys(const PathSortKeys&) = delete;
  PathSortKeys& operator=(const PathSortKeys&) = delete;

  // True when the keys order a set of probe texts (Latin, kana, kanji, width and case variants,
  // separators) exactly as collator does; otherwise the caller takes collator's own keys.
  bool Valid() const { return valid_; }

  // The keys of the first PathCount paths of list, as the list shows them.
  void Build(const PathList& list);

  // Three-way comparison of the keys of the paths at positions a and b.
  int Compare(std::int32_t a, std::int32_t b) const;

 private:
  void AppendKey(const QString& text);
  void AppendKey(const char16_t* text, std::size_t length);
  int CompareOffsets(std::size_t a, std::size_t b) const;

  UCollator* collator_ = nullptr;
  bool valid_ = false;
  std::string bytes_;  // every key with its terminating zero, one after the other
  std::vector<std::size_t> offsets_;
};

}  // namespace tarvex
