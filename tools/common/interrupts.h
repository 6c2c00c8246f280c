// Ctrl-C (SIGINT) and SIGTERM in the tools. Whatever a tool is doing, an
// interrupt removes the temporary files its OutputFiles hold and ends the
// process by that signal, so that nothing half-written is left behind.
//
// A tool that runs children or threads (capture) must instead stop them
// first: while an InterruptHold is alive an interrupt only sets a flag, which
// its loops watch (interrupted()); blocked writes return EINTR since the
// handler does not restart them. Once the tool has unwound, runTool ends it
// by the signal.
//
// SIGPIPE is ignored: a reader that went away shows as EPIPE from write.
#pragma once

#include <signal.h>

namespace corvexa::tools {

// Installs the handlers; runTool calls it first.
void catchInterrupts();

// The signal that interrupted the tool, or 0.
int interruptSignal();
inline bool interrupted() {
  return interruptSignal() != 0;
}

// Ends the process by the signal that interrupted it, if any.
void endIfInterrupted();

class InterruptHold {
 public:
  InterruptHold();
  ~InterruptHold();
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;
};

// The temporary files an interrupt removes (output_file.cpp's). watch returns
// a slot for forget, or -1 when all slots are taken (the file is then
// removed only by its owner). Both run with the interrupts blocked.
int watchTemporaryFile(const char* path);
void forgetTemporaryFile(int slot);

// Blocks SIGINT and SIGTERM on this thread while it lives, so that creating
// or renaming a temporary file and recording it happen as one step.
class InterruptsBlocked {
 public:
  InterruptsBlocked();
  ~InterruptsBlocked();
  InterruptsBlocked(const InterruptsBlocked&) = delete;
  InterruptsBlocked& operator=(const InterruptsBlocked&) = delete;

 private:
  sigset_t saved_;  // the thread's mask before
};

}  // namespace corvexa::tools
