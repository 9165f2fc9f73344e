#pragma once
// "The list is held": by a copy or delete loop, or by a scan or sort that lets the window's paint
// and system events run, each for its whole length through a scoped lock, so that no early return
// or exception can leave it set. Everything that would read or change the list meanwhile (another
// command, a rescan, a re-sort, closing the window) asks it first.

namespace tarvex {

class ListGuard {
 public:
  ListGuard() = default;
  ListGuard(const ListGuard&) = delete;
  ListGuard& operator=(const ListGuard&) = delete;

  bool IsHeld() const { return holds_ > 0; }

 private:
  friend class ListHold;
  int holds_ = 0;
};

// Holds the list for its own lifetime.
class ListHold {
 public:
  explicit ListHold(ListGuard& guard) : guard_(guard) { ++guard_.holds_; }
  ~ListHold() { --guard_.holds_; }
  ListHold(const ListHold&) = delete;
  ListHold& operator=(const ListHold&) = delete;

 private:
  ListGuard& guard_;
};

}  // namespace tarvex
