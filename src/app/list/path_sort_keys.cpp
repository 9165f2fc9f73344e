#include "app/list/path_sort_keys.h"

#include <unicode/ucol.h>

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/text/display_path.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

// Texts where collations tell apart what ICU's setup changes: strength, case, width, kana,
// punctuation, digits and accents.
const char16_t* const Probes[] = {
    u"a",       u"A",        u"b",        u"B.txt",    u"b.txt",    u"a/b",      u"a b",
    u"a-b",     u"a_b",      u"a.b",      u"ab",       u"aB",       u"a10",      u"a9",
    u"a09",     u"éte",      u"ete",      u"Ete",      u"ÉTE",      u"ｆｕｌｌ", u"full",
    u"FULL",    u"ＦＵＬＬ", u"しりょう", u"シリョウ", u"ｼﾘｮｳ",     u"資料",     u"写真",
    u"議事録",  u"データ",   u"でーた",   u"テータ",   u"Music/01", u"music/1",  u"~tmp",
    u"#x",      u"(1)",      u"１",       u"1",        u"",         u"/",        u"ä",
    u"a\u0308", u"ß",        u"ss",       u"æ",        u"ae",       u"ｱ",        u"ア",
};

}  // namespace

PathSortKeys::PathSortKeys(const QCollator& collator) {
  // As QCollator opens its ICU collation: the locale's collation with normalisation, secondary
  // strength when case is ignored, numbers as digits and punctuation not ignored.
  QByteArray name = collator.locale().bcp47Name().toLatin1();
  name.replace('-', '_');
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(name.constData(), &status);
  if (U_FAILURE(status) || collator_ == nullptr) {
    collator_ = nullptr;
    return;
  }
  ucol_setAttribute(collator_, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
  ucol_setAttribute(
      collator_, UCOL_STRENGTH,
      collator.caseSensitivity() == Qt::CaseSensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY,
      &status);
  ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, collator.numericMode() ? UCOL_ON : UCOL_OFF,
                    &status);
  ucol_setAttribute(collator_, UCOL_ALTERNATE_HANDLING,
                    collator.ignorePunctuation() ? UCOL_SHIFTED : UCOL_NON_IGNORABLE, &status);
  if (U_FAILURE(status)) return;

  // Whatever differs from QCollator's own setup shows in the order of the probes.
  std::vector<QString> texts;
  for (const char16_t* probe : Probes) {
    texts.push_back(QString::fromUtf16(probe));
    AppendKey(texts.back());
  }
  valid_ = true;
  for (std::size_t i = 0; i < texts.size() && valid_; ++i) {
    for (std::size_t j = 0; j < texts.size() && valid_; ++j) {
      const int ours = CompareOffsets(offsets_[i], offsets_[j]);
      const int theirs = collator.compare(texts[i], texts[j]);
      valid_ = (ours < 0) == (theirs < 0) && (ours > 0) == (theirs > 0);
    }
  }
  bytes_.clear();
  offsets_.clear();
}

PathSortKeys::~PathSortKeys() {
  if (collator_ != nullptr) ucol_close(collator_);
}

void PathSortKeys::AppendKey(const QString& text) {
  AppendKey(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

void PathSortKeys::AppendKey(const char16_t* text, std::size_t length16) {
  const std::size_t at = bytes_.size();
  offsets_.push_back(at);
  // Most keys are shorter than this; ICU says how long a longer one is.
  std::size_t room = 16 + length16 * 3;
  for (;;) {
    bytes_.resize(at + room);
    const int32_t length = ucol_getSortKey(
        collator_, reinterpret_cast<const UChar*>(text), static_cast<int32_t>(length16),
        reinterpret_cast<uint8_t*>(bytes_.data() + at), static_cast<int32_t>(room));
    if (length <= 0) {
      // No key: the empty one, which sorts first as an empty text does.
      bytes_.resize(at + 1);
      bytes_[at] = 0;
      return;
    }
    if (static_cast<std::size_t>(length) <= room) {
      bytes_.resize(at + static_cast<std::size_t>(length));
      return;
    }
    room = static_cast<std::size_t>(length);
  }
}

void PathSortKeys::Build(const PathList& list) {
  bytes_.clear();
  offsets_.clear();
  const auto n = static_cast<std::size_t>(list.PathCount);
  offsets_.reserve(n);
  bytes_.reserve(n * 48);
  std::u16string text;
  for (std::int32_t i = 0; i < list.PathCount; ++i) {
    const std::string_view path = list[i].Path;
    // UTF-8 without control characters is shown as it is stored: widened in place, with no
    // allocation per path. The rest goes through the shown text's conversions.
    if (WidenPrintableUtf8(path, text)) {
      AppendKey(text.data(), text.size());
    } else {
      AppendKey(QString::fromStdString(DisplayPath(path)));
    }
  }
}

int PathSortKeys::CompareOffsets(std::size_t a, std::size_t b) const {
  // Keys end with their only zero byte, as QCollatorSortKey compares them.
  return std::strcmp(bytes_.data() + a, bytes_.data() + b);
}

int PathSortKeys::Compare(std::int32_t a, std::int32_t b) const {
  return CompareOffsets(offsets_[static_cast<std::size_t>(a)],
                        offsets_[static_cast<std::size_t>(b)]);
}

}  // namespace tarvex
