#include "core/list/status_choice.h"

namespace tarvex {

StatusChoice StatusChoiceFromInt(int value) {
  if (value < 0 || value >= static_cast<int>(StatusChoiceCaptions.size())) return StatusChoice::All;
  return static_cast<StatusChoice>(value);
}

bool StatusChosen(StatusChoice choice, CompareStatus status) {
  switch (choice) {
    case StatusChoice::All:
      return true;
    case StatusChoice::Different:
      return status != CompareStatus::Same;
    case StatusChoice::MainOnly:
      return status == CompareStatus::MainOnly;
    case StatusChoice::SubOnly:
      return status == CompareStatus::SubOnly;
    case StatusChoice::MainNewer:
      return status == CompareStatus::MainNewer;
    case StatusChoice::SubNewer:
      return status == CompareStatus::SubNewer;
    case StatusChoice::SizeDiffers:
      return status == CompareStatus::MainLarger || status == CompareStatus::SubLarger;
    case StatusChoice::Same:
      return status == CompareStatus::Same;
  }
  return true;
}

}  // namespace tarvex
