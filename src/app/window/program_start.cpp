#include "app/window/program_start.h"

#include "app/progress/fm_option.h"

namespace tarvex {

std::unique_ptr<TFMMain> StartMainWindow(QString settingsPath, const Services& services) {
  auto FMMain = std::make_unique<TFMMain>(std::move(settingsPath), services);
  FMMain->show();
  FMMain->SetProgressDialog(new TFMOption(FMMain.get()));
  return FMMain;
}

}  // namespace tarvex
