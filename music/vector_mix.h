// The resample loop's vector forms: the same sums as the plain loop in
// SampleCursor::mix, several samples at a time.
//
//   mix[i] += frames[(at + i * d) >> 11] * gain,  for i = 0 .. some count - 1
//
// mixVectorized mixes as many whole blocks as it can and returns how many
// samples that was; the caller's plain loop does the rest (all of it where
// the processor has no vector unit the engine knows). Each form gives every
// sample exactly as the plain loop does.
//
// On x86-64 it picks, when the run is forward:
//   - with AVX2 and a step of at most one frame, sixteen samples a block:
//     eight consecutive positions span at most eight frames, so one load of
//     eight frames and one byte shuffle per eight samples fetch them all;
//   - with AVX2 and a step of at most two frames, eight a block, four to a
//     window of eight frames;
//   - otherwise (and on 32-bit x86 with SSE2) eight a block, each frame
//     fetched on its own.
#pragma once

#include <cstdint>

namespace corvexa {

// at: the position of the first sample (frame * 2048), d: the step (negative
// backwards), gain: 0..1020. Every position the run reaches is inside the
// `available` frames from `frames` on, and so is every frame a vector loads.
int32_t mixVectorized(const int16_t* frames, int32_t available, int32_t* mix, int32_t at, int32_t d,
                      int32_t gain, int32_t count);

}  // namespace corvexa
