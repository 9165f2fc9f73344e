#pragma once
// The general error reporting: an error that no handler catches is shown in a message box and
// the program returns to its event loop. Handlers run their bodies through RunGuarded, because an
// exception must not unwind through Qt's own frames.

#include <QObject>
#include <exception>
#include <type_traits>
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

// Connects the signal to a handler that runs guarded: the one way a page wires a control to its
// handler. The handler takes the signal's arguments, or none.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, QObject* context,
                                       MessageBoxes& boxes, Handler handler) {
  return QObject::connect(sender, signal, context, [&boxes, handler](const auto&... args) {
    RunGuarded(boxes, [&] {
      if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>) {
        handler(args...);
      } else {
        handler();
      }
    });
  });
}

}  // namespace tarvex
