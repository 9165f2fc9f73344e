#include "app/list/list_locale.h"

#include <QCollatorSortKey>
#include <QString>
#include <vector>

#include "app/list/path_sort_keys.h"
#include "core/list/list_column.h"
#include "core/text/display_path.h"

namespace tarvex {

namespace {

// The literal text between the first two fields made of `fieldLetters` in a QLocale format,
// without surrounding blanks; quoted literals count as separator text.
QString SeparatorBetweenFields(const QString& format, QStringView fieldLetters) {
  QString separator;
  bool afterField = false;
  for (qsizetype i = 0; i < format.size();) {
    const QChar c = format[i];
    if (c == QLatin1Char('\'')) {
      const qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
      const qsizetype stop = end < 0 ? format.size() : end;
      if (afterField) separator += format.mid(i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    if (c.isLetter()) {
      qsizetype j = i;
      while (j < format.size() && format[j] == c) ++j;
      if (fieldLetters.contains(c)) {
        if (afterField) return separator.trimmed();
        afterField = true;
      } else if (afterField) {
        separator.clear();  // a field of another kind (an AM/PM mark): not a separator
        afterField = false;
      }
      i = j;
      continue;
    }
    if (afterField) separator += c;
    ++i;
  }
  return {};
}

template <class Key>
void SortByKeys(PathList& list, int sortcol, bool sortup, const std::vector<Key>& keys,
                const SortProgress& progress) {
  SortPathList(
      list, sortcol, sortup,
      [&keys](std::int32_t a, std::int32_t b) {
        return keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
      },
      progress);
}

QString OrDefault(const QString& text, const char* fallback) {
  return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

}  // namespace

ListTextFormat LocaleListTextFormat(const QLocale& locale) {
  ListTextFormat format;
  format.DateSeparator =
      OrDefault(SeparatorBetweenFields(locale.dateFormat(QLocale::ShortFormat), u"dMy"), "/")
          .toStdString();
  format.TimeSeparator =
      OrDefault(SeparatorBetweenFields(locale.timeFormat(QLocale::ShortFormat), u"hHms"), ":")
          .toStdString();
  format.ThousandsSeparator = OrDefault(locale.groupSeparator(), ",").toStdString();
  return format;
}

QCollator ListPathCollator(const QLocale& locale) {
  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator;
}

void SortPathListCollated(PathList& list, int sortcol, bool sortup, const QCollator& collator,
                          const SortProgress& progress) {
  if (sortcol != ColumnPath || list.PathCount < 2) {
    SortPathList(list, sortcol, sortup, CompareAsciiNoCase, progress);
    return;
  }
  if (collator.locale().language() == QLocale::C) {
    // Qt's keys for the C locale are the plain UTF-8 bytes, whatever the case sensitivity; its
    // comparison there folds the case. Folded texts give that comparison's order.
    std::vector<QString> keys;
    keys.reserve(static_cast<std::size_t>(list.PathCount));
    for (std::int32_t i = 0; i < list.PathCount; ++i)
      keys.push_back(QString::fromStdString(DisplayPath(list[i].Path)).toCaseFolded());
    SortByKeys(list, sortcol, sortup, keys, progress);
    return;
  }
  if (PathSortKeys keys(collator); keys.Valid()) {
    keys.Build(list);
    SortPathList(
        list, sortcol, sortup,
        [&keys](std::int32_t a, std::int32_t b) { return keys.Compare(a, b); }, progress);
    return;
  }
  std::vector<QCollatorSortKey> keys;
  keys.reserve(static_cast<std::size_t>(list.PathCount));
  for (std::int32_t i = 0; i < list.PathCount; ++i)
    keys.push_back(collator.sortKey(QString::fromStdString(DisplayPath(list[i].Path))));
  SortByKeys(list, sortcol, sortup, keys, progress);
}

}  // namespace tarvex
