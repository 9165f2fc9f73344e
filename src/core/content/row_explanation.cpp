#include "core/content/row_explanation.h"

#include <cmath>

#include "core/fs/file_attributes.h"
#include "core/list/list_cells.h"

namespace tarvex {
namespace {

constexpr std::int64_t SecondsPerDay = 86400;

std::string DurationText(std::int64_t seconds) {
  struct Unit {
    std::int64_t Seconds;
    const char* Name;
  };
  constexpr Unit Units[] = {{SecondsPerDay, "日"}, {3600, "時間"}, {60, "分"}, {1, "秒"}};
  std::string text;
  for (const Unit& unit : Units) {
    const std::int64_t count = seconds / unit.Seconds;
    seconds %= unit.Seconds;
    if (count == 0) continue;
    if (!text.empty()) text += ' ';
    text += std::to_string(count) + " " + unit.Name;
  }
  return text;
}

std::string Grouped(std::int64_t value) {
  std::string text = ListSizeText(value, ",");
  return text.substr(text.find_first_not_of(' '));
}

}  // namespace

std::string TimeDifferenceText(double mainTime, double subTime) {
  const auto seconds = static_cast<std::int64_t>(
      std::llround(std::fabs(mainTime - subTime) * static_cast<double>(SecondsPerDay)));
  if (seconds == 0) return "時刻は同じ";
  const char* newer = mainTime > subTime ? "メイン" : "サブ";
  if (IsHourShift(mainTime, subTime))
    return std::string("ちょうど 1 時間の差（") + newer + "が新しい）";
  return std::string(newer) + "が " + DurationText(seconds) + "新しい";
}

std::string SizeDifferenceText(std::int64_t mainSize, std::int64_t subSize) {
  if (mainSize == subSize) return "サイズは同じ";
  const std::int64_t difference = mainSize > subSize ? mainSize - subSize : subSize - mainSize;
  return "サイズの差 " + Grouped(difference) + " バイト（" +
         (mainSize > subSize ? "メイン" : "サブ") + "が大きい）";
}

std::string RowExplanation(const PathEntry& entry, ContentVerdict verdict) {
  const bool main = entry.Exists(Side::Main);
  const bool sub = entry.Exists(Side::Sub);
  if (!main || !sub) {
    if (main) return "メインにだけあります";
    if (sub) return "サブにだけあります";
    return {};
  }
  std::string text = TimeDifferenceText(entry.Time(Side::Main), entry.Time(Side::Sub));
  if (IsFolder(entry.Attr)) return text;
  text += "\n" + SizeDifferenceText(entry.Size(Side::Main), entry.Size(Side::Sub));
  const std::string content = ContentCellText(entry, verdict);
  if (content == "時刻のみ") {
    text += "\n内容は同一（違うのは時刻だけ）";
  } else if (content == "読めません") {
    text += "\n内容を読めません";
  } else if (!content.empty()) {
    text += "\n内容は" + content;
  }
  return text;
}

}  // namespace tarvex
