#pragma once
// Opening a file (or an address) in the desktop's default application for it, behind an interface
// so that tests never start a program.

#include <string>

namespace tarvex {

class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Starts the application for the file at the absolute path, or for the address (a URL), and
  // returns; throws std::runtime_error when none can open it.
  virtual void Open(const std::string& path) = 0;
};

}  // namespace tarvex
