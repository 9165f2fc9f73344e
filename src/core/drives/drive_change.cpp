#include "core/drives/drive_change.h"

#include <algorithm>

#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

namespace {

std::string JoinedForDisplay(const std::vector<std::string>& drives) {
  std::string joined;
  for (const std::string& drive : drives) {
    if (!joined.empty()) joined += ',';
    // A mount point's bytes need not be UTF-8, nor all in one encoding.
    joined += DisplayPath(drive);
  }
  return joined;
}

}  // namespace

void SeparateDriveChanges(std::vector<std::string>& before, std::vector<std::string>& found) {
  for (std::size_t i = found.size(); i-- > 0;) {
    const auto same = std::find(before.begin(), before.end(), found[i]);
    if (same == before.end()) continue;
    before.erase(same);
    found.erase(found.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

std::string DriveChangeMessage(const std::vector<std::string>& added,
                               const std::vector<std::string>& removed) {
  std::string message;
  if (!added.empty())
    message += FormatText("%s ドライブが追加されました。\n", JoinedForDisplay(added).c_str());
  if (!removed.empty()) {
    message += FormatText("%s ドライブが削除されました。\n", JoinedForDisplay(removed).c_str());
  }
  return message;
}

}  // namespace tarvex
