#include "tools/common/interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace corvexa::tools {

namespace {

// Process-wide by nature: a signal handler has nothing else to reach.
volatile sig_atomic_t caughtSignal = 0;
std::atomic<int> holds{0};
constexpr int kTemporarySlots = 16;
std::atomic<const char*> temporaries[kTemporarySlots];

static_assert(std::atomic<int>::is_always_lock_free &&
                  std::atomic<const char*>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

void removeTemporaries() {
  for (std::atomic<const char*>& slot : temporaries) {
    const char* path = slot.load();
    if (path != nullptr) unlink(path);
  }
}

void endBySignal(int signal) {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);  // not reached
}

void onInterrupt(int signal) {
  if (caughtSignal == 0) caughtSignal = signal;
  if (holds.load() > 0) return;
  removeTemporaries();
  endBySignal(signal);
}

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void catchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  action.sa_mask = interruptSignals();
  action.sa_flags = 0;  // no SA_RESTART: a blocked write returns EINTR
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

int interruptSignal() {
  return caughtSignal;
}

void endIfInterrupted() {
  if (caughtSignal != 0) endBySignal(caughtSignal);
}

InterruptHold::InterruptHold() {
  holds++;
}

InterruptHold::~InterruptHold() {
  holds--;
}

int watchTemporaryFile(const char* path) {
  for (int slot = 0; slot < kTemporarySlots; slot++) {
    const char* empty = nullptr;
    if (temporaries[slot].compare_exchange_strong(empty, path)) return slot;
  }
  return -1;
}

void forgetTemporaryFile(int slot) {
  if (slot >= 0) temporaries[slot].store(nullptr);
}

InterruptsBlocked::InterruptsBlocked() {
  sigset_t block = interruptSignals();
  pthread_sigmask(SIG_BLOCK, &block, &saved_);
}

InterruptsBlocked::~InterruptsBlocked() {
  pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace corvexa::tools
