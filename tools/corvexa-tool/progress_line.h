// ProgressLine: "42% (2650 of 6293 frames), 3.1x real time" on stderr,
// rewritten in place about four times a second, and only while stderr is a
// terminal (a log gets no lines of carriage returns).
#pragma once

#include <chrono>
#include <cstdint>

namespace corvexa::corvexa_tool {

class ProgressLine {
 public:
  ProgressLine(int64_t frames, int32_t framesPerSecond);

  // done frames of all are made; the last one ends the line.
  void update(int64_t done);
  // Ends the line early (the run failed), if one is showing.
  void abandon();
  // Seconds of video made per second of running so far.
  double speed(int64_t done) const;

 private:
  using Clock = std::chrono::steady_clock;
  int64_t frames_;
  int32_t framesPerSecond_;
  bool terminal_;
  bool showing_ = false;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastShown_ = start_;
};

}  // namespace corvexa::corvexa_tool
