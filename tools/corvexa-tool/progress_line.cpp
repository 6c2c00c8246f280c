#include "tools/corvexa-tool/progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace corvexa::corvexa_tool {

ProgressLine::ProgressLine(int64_t frames, int32_t framesPerSecond)
    : frames_(frames), framesPerSecond_(framesPerSecond), terminal_(isatty(2) != 0) {}

void ProgressLine::update(int64_t done) {
  Clock::time_point now = Clock::now();
  if (!terminal_ || (done < frames_ && now - lastShown_ < std::chrono::milliseconds(250))) return;
  lastShown_ = now;
  std::fprintf(stderr, "\rcapture: %3d%% (%lld of %lld frames), %.1fx real time ",
               static_cast<int32_t>(done * 100 / frames_), static_cast<long long>(done),
               static_cast<long long>(frames_), speed(done));
  showing_ = done < frames_;
  if (!showing_) std::fputc('\n', stderr);
}

void ProgressLine::abandon() {
  if (showing_) std::fputc('\n', stderr);
  showing_ = false;
}

double ProgressLine::speed(int64_t done) const {
  std::chrono::duration<double> elapsed = Clock::now() - start_;
  double video = static_cast<double>(done) / framesPerSecond_;
  return elapsed.count() > 0 ? video / elapsed.count() : 0;
}

}  // namespace corvexa::corvexa_tool
