// The show run as the live program runs it on a display of a given rate:
// frameStep once per frame with a clock that advances 1000 / fps ms per frame
// in whole milliseconds.
#pragma once

#include <cstdint>

#include "core/demo_state.h"
#include "core/frame_host.h"

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
