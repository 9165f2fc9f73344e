#include "app/compare/compare_rows_model.h"

#include <QBrush>
#include <QString>

#include "app/widgets/fixed_colours.h"
#include "core/textcompare/display_lines.h"
#include "core/textcompare/intraline_diff.h"

namespace tarvex {

namespace {

constexpr QRgb GapBackground = 0xE0E0E0;
constexpr QRgb DifferingBackground = 0xFFE0F0;
constexpr QRgb LineNoColour = 0xA0A0C0;
constexpr std::int64_t DumpRowBytes = 16;

// Code-point ranges of text as a flat list of UTF-16 starts and lengths.
QList<int> Utf16Ranges(const std::vector<TextRange>& ranges, const std::u32string& text) {
  QList<int> out;
  if (ranges.empty()) return out;
  std::vector<int> at(text.size() + 1, 0);  // the UTF-16 position of each code point
  for (std::size_t i = 0; i < text.size(); ++i) at[i + 1] = at[i] + (text[i] > 0xFFFF ? 2 : 1);
  for (const TextRange& r : ranges) {
    out.push_back(at[r.Start]);
    out.push_back(at[r.Start + r.Length] - at[r.Start]);
  }
  return out;
}

std::u32string CodePoints(const std::string& utf8) {
  const QList<uint> ucs4 = QString::fromStdString(utf8).toUcs4();
  return std::u32string(ucs4.begin(), ucs4.end());
}

}  // namespace

CompareRowsModel::CompareRowsModel(const CompareRows& rows, std::size_t side,
                                   QColor equalBackground, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), side_(side), equalBackground_(equalBackground) {}

void CompareRowsModel::Refresh() {
  beginResetModel();
  shown_ = DisplayLines(Side(), rows_.Mode);
  changed_.clear();
  rowCount_ = static_cast<int>(shown_.size());
  endResetModel();
}

const std::string& CompareRowsModel::ShownText(std::size_t row) const {
  static const std::string none;
  return row < shown_.size() ? shown_[row] : none;
}

const QList<int>& CompareRowsModel::ChangedRanges(std::size_t row) const {
  const auto found = changed_.find(row);
  if (found != changed_.end()) return found->second;
  QList<int>& ranges = changed_[row];
  const CompareSide& other = rows_.Sides[OtherSide(side_)];
  if (peer_ == nullptr || row >= other.RowCount() || Side().IsGap(row) || other.IsGap(row) ||
      !IsDifferingRow(rows_, row))
    return ranges;
  const std::string& own = shown_[row];
  const std::string& theirs = peer_->ShownText(row);
  if (rows_.Mode == CompareMode::Hex) {
    const IntralineChanges changes =
        side_ == MainSide ? DiffHexRows(own, theirs) : DiffHexRows(theirs, own);
    // The hexadecimal part is ASCII: byte positions are UTF-16 positions.
    for (const TextRange& r : side_ == MainSide ? changes.Main : changes.Sub) {
      ranges.push_back(static_cast<int>(r.Start));
      ranges.push_back(static_cast<int>(r.Length));
    }
    return ranges;
  }
  const std::u32string ownText = CodePoints(own);
  const std::u32string theirText = CodePoints(theirs);
  const IntralineChanges changes =
      side_ == MainSide ? DiffLineTexts(ownText, theirText) : DiffLineTexts(theirText, ownText);
  ranges = Utf16Ranges(side_ == MainSide ? changes.Main : changes.Sub, ownText);
  return ranges;
}

QString CompareRowsModel::LineNoText(CompareMode mode, std::int32_t lineNo) {
  if (lineNo < 1) return {};
  if (mode == CompareMode::Text) return QString::asprintf("%7d:", lineNo);
  const std::int64_t offset = (std::int64_t{lineNo} - 1) * DumpRowBytes;
  return QString::asprintf("%7llX:", static_cast<unsigned long long>(offset));
}

int CompareRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rowCount_;
}

int CompareRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant CompareRowsModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The rows may have been released since the last Refresh (the window closing).
  if (row >= shown_.size() || row >= Side().RowCount()) return {};
  const bool lineNoColumn = index.column() == ColumnLineNo;
  switch (role) {
    case Qt::DisplayRole:
      return lineNoColumn ? LineNoText(rows_.Mode, Side().LineNos[row])
                          : QString::fromStdString(shown_[row]);
    case Qt::BackgroundRole:
      if (Side().IsGap(row)) return QBrush(QColor::fromRgb(GapBackground));
      if (IsDifferingRow(rows_, row)) return QBrush(QColor::fromRgb(DifferingBackground));
      return QBrush(equalBackground_);
    case ChangedRangesRole:
      if (lineNoColumn) return {};
      return QVariant::fromValue(ChangedRanges(row));
    case Qt::ForegroundRole:
      return QBrush(lineNoColumn ? QColor::fromRgb(LineNoColour) : FixedTextColour());
    default:
      return {};
  }
}

}  // namespace tarvex
