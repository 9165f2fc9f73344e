#pragma once
// Every control carries its name as objectName, which the tests find it by: one factory makes the
// widget and names it.

#include <QLatin1String>
#include <utility>

namespace tarvex {

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace tarvex
