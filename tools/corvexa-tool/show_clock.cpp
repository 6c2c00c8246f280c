#include "tools/corvexa-tool/show_clock.h"

namespace corvexa::corvexa_tool {

ShowClock::ShowClock(DemoState& state, int32_t framesPerSecond)
    : state_(state),
      host_(makeFrameHost(state.arena, *state.demo)),
      framesPerSecond_(framesPerSecond) {}

const Framebuffer& ShowClock::step() {
  frame_++;
  return *frameStep(host_, PointerState{}, showClockMs(frame_, framesPerSecond_));
}

int32_t showClockMs(int64_t frame, int32_t framesPerSecond) {
  int64_t ms = 1000 + frame * 1000 / framesPerSecond;
  int32_t now = static_cast<int32_t>(static_cast<uint32_t>(ms));
  return now != 0 ? now : 1;
}

namespace {

// A Demo that only counts its ticks, for running the frame driver alone.
struct TickCounter : Demo {
  int32_t ticks = 0;
  bool update(const PointerState&) override {
    ticks++;
    return true;
  }
  void draw(Framebuffer) override {}
};

}  // namespace

int64_t framesBeforeTick(int32_t tick, int32_t framesPerSecond) {
  Arena arena;
  TickCounter counter;
  FrameHost host = makeFrameHost(arena, counter);
  int64_t frame = 0;
  while (true) {
    frame++;
    frameStep(host, PointerState{}, showClockMs(frame, framesPerSecond));
    if (counter.ticks >= tick) return frame - 1;
  }
}

}  // namespace corvexa::corvexa_tool
