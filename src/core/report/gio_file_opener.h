#pragma once
// The desktop's default application for a file's type or an address's scheme, found and started
// through GIO.

#include "core/report/file_opener.h"

namespace tarvex {

class GioFileOpener : public FileOpener {
 public:
  // The error names the file and gives GIO's reason.
  void Open(const std::string& path) override;
};

}  // namespace tarvex
