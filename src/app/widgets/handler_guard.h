#pragma once
// The general error reporting: an error that no handler catches is shown in a message box and
// the program returns to its event loop. Handlers run their bodies through RunGuarded, because an
// exception must not unwind through Qt's own frames.

#include <exception>
#include <utility>

#include "app/services/message_boxes.h"

namespace tarvex {

// Shows the error's message (what() read as UTF-8) with the application title.
void ReportUncaughtException(MessageBoxes& boxes, std::exception_ptr error) noexcept;

template <typename Handler>
void RunGuarded(MessageBoxes& boxes, Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    ReportUncaughtException(boxes, std::current_exception());
  }
}

}  // namespace tarvex
