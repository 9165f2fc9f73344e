#include "app/services/services.h"

#include "app/services/qt_desktop_services.h"
#include "app/services/qt_message_boxes.h"

namespace tarvex {

namespace {

template <typename Interface, typename Real, typename... Args>
Interface* InjectedOrOwn(Interface* injected, std::unique_ptr<Interface>& own, Args&&... args) {
  if (injected != nullptr) return injected;
  own = std::make_unique<Real>(std::forward<Args>(args)...);
  return own.get();
}

}  // namespace

ServiceBundle::ServiceBundle(const Services& injected, QWidget* boxParent)
    : boxes_(InjectedOrOwn<MessageBoxes, QtMessageBoxes>(injected.Boxes, ownBoxes_, boxParent)),
      desktop_(InjectedOrOwn<DesktopServices, QtDesktopServices>(injected.Desktop, ownDesktop_)),
      files_(InjectedOrOwn<FileOperations, PosixFileOperations>(injected.Files, ownFiles_)) {}

ServiceBundle::~ServiceBundle() = default;

}  // namespace tarvex
