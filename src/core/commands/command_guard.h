#pragma once
// "The list is held": by a copy or delete loop, or by a scan or sort that lets the window's paint
// and system events run, each for its whole length through a scoped lock, so that no early return
// or exception can leave it set. Everything that would read or change the list meanwhile (another
// command, a rescan, a re-sort, closing the window) asks it first.

namespace tarvex {

class CommandGuard {
 public:
  CommandGuard() = default;
  CommandGuard(const CommandGuard&) = delete;
  CommandGuard& operator=(const CommandGuard&) = delete;

  bool IsLocked() const { return locks_ > 0; }

 private:
  friend class CommandLock;
  int locks_ = 0;
};

class CommandLock {
 public:
  explicit CommandLock(CommandGuard& guard) : guard_(guard) { ++guard_.locks_; }
  ~CommandLock() { --guard_.locks_; }
  CommandLock(const CommandLock&) = delete;
  CommandLock& operator=(const CommandLock&) = delete;

 private:
  CommandGuard& guard_;
};

}  // namespace tarvex
