#include "app/shell/program_start.h"

#include "app/progress/fm_option.h"

namespace tarvex {

std::unique_ptr<TFMMain> StartMainWindow(QString settingsPath, MessageBoxes* boxes) {
  auto FMMain = std::make_unique<TFMMain>(std::move(settingsPath), boxes);
  FMMain->show();
  FMMain->SetProgressDialog(new TFMOption(FMMain.get()));
  return FMMain;
}

}  // namespace tarvex
