#include "core/frame_host.h"

namespace corvexa {

FrameHost makeFrameHost(Arena& arena, Demo& demo) {
  FrameHost host;
  host.demo = &demo;
  host.framebuffer = arena.makeArray<uint32_t>(kPixelCount);
  return host;
}

namespace {

constexpr int32_t kMeasuredFrames = 60;  // frames between two rate measurements
// Tick time a second: 960 ms, credited over rate frames.
constexpr int32_t kCreditPerSecondMs = kTickMs * kTicksPerSecond;

// Updates the increment from the time the last 60 calls took. Displays of
// about 58 to 62 Hz run one tick a frame, exactly: the accumulator starts
// afresh at what the coming frame needs. That band is 58 and more to the
// nearest whole rate (a 58 Hz display, timed in whole milliseconds, reads 57.97
// every other time) and below 63 truncated (16 ms frames, 62.5 Hz, are in it).
// Elsewhere the rate to the nearest whole sets the increment, the accumulator
// keeps what it holds and the carry is rescaled to the new rate. Frames that
// took over a minute (as after a hidden window), a rate above 960 (the
// increment would be 0 and the ticks would stop) and a clock that went
// backwards say nothing about the display: the previous increment stays.
void measureRate(FrameHost& host, int32_t nowMs) {
  constexpr int32_t kMeasuredMs = kMeasuredFrames * 1000;  // rate = kMeasuredMs / elapsed
  if (host.lastMeasurement != 0) {
    int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(nowMs) -
                                           static_cast<uint32_t>(host.lastMeasurement));
    bool measured = elapsed > 0 && elapsed <= kMeasuredMs;
    int32_t rate = measured ? (kMeasuredMs + elapsed / 2) / elapsed : 0;
    if (rate >= 58 && kMeasuredMs / elapsed <= 62) {
      host.frameIncrementMs = kTickMs;
      host.stepAccumulator = 0;
      host.incrementRate = 0;
      host.carry = 0;
    } else if (rate > 0 && rate <= kCreditPerSecondMs) {
      host.frameIncrementMs = kCreditPerSecondMs / rate;
      // carry < the old rate <= 960, so the product stays below 2^20.
      host.carry = host.incrementRate != 0 ? host.carry * rate / host.incrementRate : 0;
      host.incrementRate = rate;
    }
  }
  host.lastMeasurement = nowMs;
  host.frames = 0;
}

// Credits one frame's increment to the accumulator.
void creditFrame(FrameHost& host) {
  host.stepAccumulator += host.frameIncrementMs;
  if (host.incrementRate == 0) return;
  host.carry += kCreditPerSecondMs % host.incrementRate;
  if (host.carry >= host.incrementRate) {
    host.carry -= host.incrementRate;
    host.stepAccumulator += 1;
  }
}

}  // namespace

const Framebuffer* frameStep(FrameHost& host, const PointerState& pointer, int32_t nowMs) {
  host.frames++;
  host.pointer = pointer;
  while (host.stepAccumulator >= kTickMs) {
    host.stepAccumulator -= kTickMs;
    if (!host.demo->update(host.pointer)) return nullptr;
  }
  // The frame that measures is credited at the rate it measured.
  if (host.frames == kMeasuredFrames) measureRate(host, nowMs);
  creditFrame(host);
  host.demo->draw(host.framebuffer);
  return &host.framebuffer;
}

}  // namespace corvexa
