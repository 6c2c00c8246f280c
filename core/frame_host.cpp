#include "core/frame_host.h"

namespace corvexa {

FrameHost makeFrameHost(Arena& arena, Demo& demo) {
  FrameHost host;
  host.demo = &demo;
  host.framebuffer = arena.makeArray<uint32_t>(kPixelCount);
  return host;
}

namespace {

// Updates frameIncrementMs from the frames of the last 60 calls. A rate of 0
// (the 60 frames took over a minute, as after a hidden window), a rate above
// 960 (the increment would be 0 and the ticks would stop) and a clock that went
// backwards say nothing about the display: the previous increment stays.
void measureRate(FrameHost& host, int32_t nowMs) {
  if (host.lastMeasurement != 0) {
    int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(nowMs) -
                                           static_cast<uint32_t>(host.lastMeasurement));
    int32_t rate = elapsed > 0 ? 60000 / elapsed : 0;
    if (rate >= 58 && rate <= 62) {
      host.frameIncrementMs = kTickMs;
      host.stepAccumulator = kTickMs;
    } else if (rate > 0 && rate <= 960) {
      host.frameIncrementMs = 960 / rate;
      host.stepAccumulator = host.frameIncrementMs;
    }
  }
  host.lastMeasurement = nowMs;
  host.frames = 0;
}

}  // namespace

const Framebuffer* frameStep(FrameHost& host, const PointerState& pointer, int32_t nowMs) {
  host.frames++;
  host.pointer = pointer;
  while (host.stepAccumulator >= kTickMs) {
    host.stepAccumulator -= kTickMs;
    if (!host.demo->update(host.pointer)) return nullptr;
  }
  host.stepAccumulator += host.frameIncrementMs;
  if (host.frames == 60) measureRate(host, nowMs);
  host.demo->draw(host.framebuffer);
  return &host.framebuffer;
}

}  // namespace corvexa
