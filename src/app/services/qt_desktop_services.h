#pragma once
// The desktop services of the running system.

#include "app/services/desktop_services.h"

namespace tarvex {

class QtDesktopServices : public DesktopServices {
 public:
  int ListLogicalDrives(std::vector<std::string>& list) override;
  void Beep() override;
  void Sleep(int milliseconds) override;
  void Restart() override;
  void Open(const std::string& address) override;
  void ShowFolder(const std::string& path) override;
};

}  // namespace tarvex
