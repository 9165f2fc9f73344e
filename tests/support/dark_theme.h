#pragma once
// A dark desktop theme for the window tests, and the application's own palette put back after.

#include <QPalette>

namespace tarvex::test {

// Light text on dark surfaces, as a dark desktop theme gives them.
QPalette DarkPalette();

// Restores the application's palette of its making when it goes out of scope.
class KeepApplicationPalette {
 public:
  KeepApplicationPalette();
  ~KeepApplicationPalette();
  KeepApplicationPalette(const KeepApplicationPalette&) = delete;
  KeepApplicationPalette& operator=(const KeepApplicationPalette&) = delete;

  const QPalette& Original() const { return original_; }

 private:
  QPalette original_;
};

}  // namespace tarvex::test
