#pragma once
// Desktop services that touch nothing: the drive list is what the test sets, and every call is
// recorded in order.

#include <functional>
#include <string>
#include <vector>

#include "app/services/desktop_services.h"

namespace tarvex::test {

class RecordingDesktopServices : public DesktopServices {
 public:
  std::vector<std::string> Drives{"/", "/home"};
  // "list", "beep", "sleep <ms>", "restart", "open <address>", "show <folder>", in the order
  // called.
  std::vector<std::string> Calls;
  // Runs inside Sleep, to see the state the wait starts in.
  std::function<void()> OnSleep;

  int ListLogicalDrives(std::vector<std::string>& list) override {
    Calls.push_back("list");
    list.insert(list.end(), Drives.begin(), Drives.end());
    return static_cast<int>(Drives.size());
  }
  void Beep() override { Calls.push_back("beep"); }
  void Sleep(int milliseconds) override {
    Calls.push_back("sleep " + std::to_string(milliseconds));
    if (OnSleep) OnSleep();
  }
  void Restart() override { Calls.push_back("restart"); }
  void Open(const std::string& address) override { Calls.push_back("open " + address); }
  void ShowFolder(const std::string& path) override { Calls.push_back("show " + path); }
};

}  // namespace tarvex::test
