// The frame driver: turns measured frame times into whole 16 ms ticks.
//
// frameStep runs one Demo update for every 16 ms in the step accumulator, then
// credits the frame's increment: 16 ms, or 960 / rate when the frame rate
// measured over each 60 frames is outside about 58..62. A 60 Hz display thus
// gets one tick per frame, 30 Hz two, 120 Hz one every second frame. What the
// division leaves over (960 mod rate, in 1/rate ms a frame) is carried and
// credited as it adds up to whole milliseconds, and a measurement keeps what
// the accumulator holds, so any rate runs 60 ticks a second: 144 Hz credits
// 6 ms a frame and one more on two frames of three.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "core/demo.h"

namespace corvexa {

struct FrameHost {
  Demo* demo = nullptr;
  Framebuffer framebuffer;
  int32_t frames = 0;           // frameStep calls since the last rate measurement
  int32_t lastMeasurement = 0;  // ms; 0 = none made yet
  int32_t stepAccumulator = 16;
  PointerState pointer;           // the copy the ticks read
  int32_t frameIncrementMs = 16;  // whole ms credited per presented frame
  // The part of 960 / rate below a millisecond (960 mod rate, in 1/rate ms a
  // frame), gathered in carry until it makes a whole one. rate 0: none.
  int32_t incrementRate = 0;
  int32_t carry = 0;
};

inline constexpr int32_t kTickMs = 16;
inline constexpr int32_t kTicksPerSecond = 60;

// A host for demo with a zero-filled framebuffer from arena.
FrameHost makeFrameHost(Arena& arena, Demo& demo);

// One pass of the main loop at time nowMs (whole milliseconds; may wrap).
// Returns the drawn framebuffer, or nullptr when the demo asked to stop.
const Framebuffer* frameStep(FrameHost& host, const PointerState& pointer, int32_t nowMs);

}  // namespace corvexa
