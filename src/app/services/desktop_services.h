#pragma once
// What the window asks of the desktop beyond its own widgets: the drive list, the beep, a wait,
// starting the program anew, and opening a file or an address with the desktop's default handler
// (Open, the one opener of the program: the report's workbook and the help tab's link), and
// showing a folder in the desktop's file manager. Behind
// this interface so that a test can replace each of them.

#include <string>
#include <vector>

#include "core/report/file_opener.h"

namespace tarvex {

class DesktopServices : public FileOpener {
 public:
  virtual ~DesktopServices() = default;
  // Appends the mount points of the storage volumes (ListLogicalDrives); returns how many.
  virtual int ListLogicalDrives(std::vector<std::string>& list) = 0;
  virtual void Beep() = 0;
  // Blocks for the given time, handling no events meanwhile.
  virtual void Sleep(int milliseconds) = 0;
  // Starts this program's executable as a new process without arguments, then ends this
  // instance: its event loop returns without handling further input. A failure to start goes
  // unreported; this instance ends all the same.
  virtual void Restart() = 0;
  // Shows the folder (an absolute path, as bytes) in the desktop's file manager; where the
  // desktop offers none, opens it with the folder's default handler.
  virtual void ShowFolder(const std::string& path) = 0;
};

}  // namespace tarvex
