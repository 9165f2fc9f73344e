#pragma once
// The world as the window and its pages reach it: message boxes, the desktop (drive list, beep,
// restart, opening files and addresses) and the file operations. The window takes what a caller
// injects and the real thing for the rest, and hands the one bundle down, so a test can answer any
// box or fail any single file step through the real window.

#include <memory>

#include "app/services/desktop_services.h"
#include "app/services/message_boxes.h"
#include "core/fs/file_operations.h"

class QWidget;

namespace tarvex {

// What a caller injects; a null member means the real one.
struct Services {
  MessageBoxes* Boxes = nullptr;
  DesktopServices* Desktop = nullptr;
  FileOperations* Files = nullptr;
};

// Every member present: the injected ones, and real ones owned here for the rest.
class ServiceBundle {
 public:
  // Real message boxes are centred on boxParent.
  ServiceBundle(const Services& injected, QWidget* boxParent);
  ~ServiceBundle();
  ServiceBundle(const ServiceBundle&) = delete;
  ServiceBundle& operator=(const ServiceBundle&) = delete;

  MessageBoxes& Boxes() const { return *boxes_; }
  DesktopServices& Desktop() const { return *desktop_; }
  FileOperations& Files() const { return *files_; }

 private:
  std::unique_ptr<MessageBoxes> ownBoxes_;
  std::unique_ptr<DesktopServices> ownDesktop_;
  std::unique_ptr<FileOperations> ownFiles_;
  MessageBoxes* boxes_;
  DesktopServices* desktop_;
  FileOperations* files_;
};

}  // namespace tarvex
