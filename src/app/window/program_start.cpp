#include "app/window/program_start.h"

#include "app/progress/fm_option.h"

namespace tarvex {

std::unique_ptr<TFMMain> StartMainWindow(QString settingsPath, MessageBoxes* boxes,
                                         DesktopServices* desktop) {
  auto FMMain = std::make_unique<TFMMain>(std::move(settingsPath), boxes, desktop);
  FMMain->show();
  FMMain->SetProgressDialog(new TFMOption(FMMain.get()));
  return FMMain;
}

}  // namespace tarvex
