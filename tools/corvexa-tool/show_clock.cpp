#include "tools/corvexa-tool/show_clock.h"

ShowClock::ShowClock(DemoState& state, int32_t framesPerSecond)
    : state_(state),
      host_(makeFrameHost(state.arena, *state.demo)),
      framesPerSecond_(framesPerSecond) {}

const Framebuffer& ShowClock::step() {
  frame_++;
  // Whole milliseconds since an arbitrary start one second before frame 0,
  // kept non-zero (0 means "no rate measured yet") and wrapped to 32 bits.
  int64_t ms = 1000 + frame_ * 1000 / framesPerSecond_;
  int32_t now = static_cast<int32_t>(static_cast<uint32_t>(ms));
  return *frameStep(host_, PointerState{}, now);
}
