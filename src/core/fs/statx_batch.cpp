#include "core/fs/statx_batch.h"

#include <fcntl.h>
#include <liburing.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>

namespace tarvex {

namespace {

constexpr int StatxFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;
// Only the fields the entry holds: a network file system need not fetch the rest.
constexpr unsigned StatxMask = STATX_TYPE | STATX_MODE | STATX_MTIME | STATX_SIZE;

void PlainStatx(int folder, const char* name, struct statx& result, int& error) {
  error = ::statx(folder, name, StatxFlags, StatxMask, &result) == 0 ? 0 : errno;
}

bool Transient(int error) { return error == EINTR || error == EAGAIN || error == EBUSY; }

// A kernel that keeps saying "again" is given up on for the plain way.
constexpr int MaxRetries = 1000;

// A child made by fork shares the parent's ring memory: were it to use that ring, the parent's
// view of it would no longer hold. Each process makes its own; counted up in every child.
std::atomic<unsigned> forkGeneration{0};

void CountFork() { forkGeneration.fetch_add(1, std::memory_order_relaxed); }

class Ring {
 public:
  Ring() : generation_(forkGeneration.load(std::memory_order_relaxed)) {
    static const int registered = pthread_atfork(nullptr, nullptr, CountFork);
    (void)registered;
    ready_ = io_uring_queue_init(StatxBatchSize, &ring_, 0) == 0;
  }
  ~Ring() {
    if (ready_) io_uring_queue_exit(&ring_);
  }
  Ring(const Ring&) = delete;
  Ring& operator=(const Ring&) = delete;

  bool Ready() const { return ready_; }
  bool MadeInThisProcess() const {
    return generation_ == forkGeneration.load(std::memory_order_relaxed);
  }

  // Runs one batch of at most StatxBatchSize names. When the ring fails before taking every
  // request, the requests it did take have completed on return, the rest are marked with ENOSYS
  // for the caller to redo the plain way, and the ring is no longer Ready.
  void Run(int folder, std::span<const char* const> names, std::span<struct statx> results,
           std::span<int> errors) {
    const std::size_t count = names.size();
    for (std::size_t i = 0; i < count; ++i) {
      io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
      io_uring_prep_statx(sqe, folder, names[i], StatxFlags, StatxMask, &results[i]);
      io_uring_sqe_set_data64(sqe, i);
      errors[i] = ENOSYS;
    }
    std::size_t taken = 0, completed = 0;
    bool failed = false;
    int retries = 0;
    while (taken < count) {
      if (++retries > MaxRetries) {
        failed = true;
        break;
      }
      const int submitted = io_uring_submit(&ring_);
      if (submitted > 0) {
        taken += static_cast<std::size_t>(submitted);
      } else if (submitted < 0 && Transient(-submitted) && completed < taken) {
        completed += Reap(errors, taken - completed, false);
      } else if (submitted < 0 && Transient(-submitted)) {
        continue;
      } else {
        failed = true;
        break;
      }
    }
    // Every request the kernel took writes into results: wait for each before they go away.
    while (completed < taken) completed += Reap(errors, taken - completed, true);
    if (failed) {
      // Requests still queued but never taken must not be taken later, pointing at dead names.
      io_uring_queue_exit(&ring_);
      ready_ = false;
    }
  }

 private:
  // Takes up to `most` completions; waits for the first one when `wait`. Returns how many.
  std::size_t Reap(std::span<int> errors, std::size_t most, bool wait) {
    std::size_t got = 0;
    while (got < most) {
      io_uring_cqe* cqe = nullptr;
      const int result =
          wait && got == 0 ? io_uring_wait_cqe(&ring_, &cqe) : io_uring_peek_cqe(&ring_, &cqe);
      if (result == -EINTR) continue;
      if (result != 0 || cqe == nullptr) break;
      const auto index = static_cast<std::size_t>(io_uring_cqe_get_data64(cqe));
      if (index < errors.size()) errors[index] = cqe->res < 0 ? -cqe->res : 0;
      io_uring_cqe_seen(&ring_, cqe);
      ++got;
    }
    return got;
  }

  unsigned generation_;
  io_uring ring_{};
  bool ready_ = false;
};

struct ThreadState {
  bool Allowed = true;
  bool Tried = false;
  std::optional<Ring> ring;
};

ThreadState& State() {
  thread_local ThreadState state;
  return state;
}

Ring* ThreadRing() {
  ThreadState& state = State();
  if (!state.Allowed) return nullptr;
  if (state.ring && !state.ring->MadeInThisProcess()) {
    // Unmapping and closing here leaves the parent's ring as it is.
    state.ring.reset();
    state.Tried = false;
  }
  if (!state.Tried) {
    state.Tried = true;
    state.ring.emplace();
  }
  return state.ring && state.ring->Ready() ? &*state.ring : nullptr;
}

}  // namespace

void StatxNames(int folder, std::span<const char* const> names, std::span<struct statx> results,
                std::span<int> errors) {
  for (std::size_t start = 0; start < names.size(); start += StatxBatchSize) {
    const std::size_t count = std::min(StatxBatchSize, names.size() - start);
    const auto batchNames = names.subspan(start, count);
    const auto batchResults = results.subspan(start, count);
    const auto batchErrors = errors.subspan(start, count);
    Ring* ring = count > 1 ? ThreadRing() : nullptr;
    if (ring != nullptr) ring->Run(folder, batchNames, batchResults, batchErrors);
    bool ringCannotStatx = false;
    for (std::size_t i = 0; i < count; ++i) {
      // Whatever the ring did not answer with a result is asked again the plain way, so that a
      // name is left out only where statx itself fails (a name that vanished meanwhile).
      if (ring != nullptr && batchErrors[i] == 0) continue;
      const int ringError = batchErrors[i];
      PlainStatx(folder, batchNames[i], batchResults[i], batchErrors[i]);
      // A kernel whose ring cannot run statx at all is not asked again.
      if (ring != nullptr && batchErrors[i] == 0 &&
          (ringError == EINVAL || ringError == EOPNOTSUPP))
        ringCannotStatx = true;
    }
    if (ringCannotStatx) {
      State().ring.reset();  // Tried stays: no new ring on this thread
    }
  }
}

void AllowStatxRing(bool allowed) {
  ThreadState& state = State();
  state.Allowed = allowed;
  if (!allowed) {
    state.ring.reset();
    state.Tried = false;
  }
}

bool StatxRingInUse() {
  const ThreadState& state = State();
  return state.Allowed && state.ring && state.ring->Ready();
}

}  // namespace tarvex
