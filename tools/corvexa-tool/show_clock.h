// The show run as the live program runs it on a display of a given rate:
// frameStep once per frame with a clock that advances 1000 / fps ms per frame
// in whole milliseconds.
#pragma once

#include <cstdint>

#include "core/demo_state.h"
#include "core/frame_host.h"

namespace corvexa::corvexa_tool {

// The clock reading at frame (1 for the first): whole milliseconds since an
// arbitrary start one second before frame 0, never 0 (0 means "no rate
// measured yet"), wrapped to 32 bits as a millisecond counter wraps.
int32_t showClockMs(int64_t frame, int32_t framesPerSecond);

// How many frames such a display draws before the first frame that shows tick
// (tick >= 1): 5,093 before tick 5,094 at 60 Hz, where each frame runs one tick.
int64_t framesBeforeTick(int32_t tick, int32_t framesPerSecond);

class ShowClock {
 public:
  ShowClock(DemoState& state, int32_t framesPerSecond);

  // Steps one frame; returns the drawn framebuffer (never stops: no pointer).
  const Framebuffer& step();

  int32_t tick() const { return state_.scene->tick; }
  int64_t frame() const { return frame_; }

 private:
  DemoState& state_;
  FrameHost host_;
  int32_t framesPerSecond_;
  int64_t frame_ = 0;
};

}  // namespace corvexa::corvexa_tool
