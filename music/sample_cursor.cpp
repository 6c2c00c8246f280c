#include "music/sample_cursor.h"

#include "music/vector_mix.h"

namespace corvexa {

void SampleCursor::start(const Sample& sample) {
  const int32_t length = sample.length;
  int32_t first = sample.loopStart < 0 ? 0 : sample.loopStart;
  if (first > length) first = length;
  int32_t frames = sample.loopLength < 0 ? 0 : sample.loopLength;
  if (frames > length - first) frames = length - first;
  loopType = sample.loopType == 3 ? 2 : sample.loopType;
  if (frames == 0) loopType = 0;
  loopStart = first << kPositionBits;
  end = ((loopType != 0 ? first + frames : length) << kPositionBits) - 1;
  position = 0;
  backwards = 0;
  offset = sample.poolOffset;
}

// Brings a position that passed a loop boundary back into the loop: a forward
// loop continues end - loopStart earlier; a ping-pong loop reflects the
// overshoot about the boundary and turns. A step longer than the loop (a
// one-frame loop played fast) repeats the rule until the position is inside;
// the step is at most 99,420 and a loop at least 2,047, so that is at most
// 49 turns.
void SampleCursor::wrap() {
  for (;;) {
    if (position >= end) {
      if (loopType == 1) {
        position += loopStart - end;
      } else {
        backwards = 1;
        position = 2 * end - position;
      }
    } else if (backwards && position < loopStart) {
      backwards = 0;
      position = 2 * loopStart - position;
    } else {
      return;
    }
    if (position == end && backwards) return;
  }
}

void SampleCursor::mix(Array<const int16_t> pool, int32_t* mixBuffer, int32_t frequency,
                       int32_t gain, int32_t count) {
  // frequency * 2048 / 44100 without passing 2^31: the fraction reduced by 4.
  const int32_t step = frequency * 512 / (kSampleRate / 4);
  if (step <= 0) return;
  const int16_t* frames = pool.items + offset;
  const int32_t available = pool.count - offset;
  int32_t out = 0;
  while (count > 0) {
    const int32_t d = backwards ? -step : step;
    if (loopType == 0 && position >= end) return;  // a one-shot sample has finished
    const int32_t boundary = backwards ? loopStart : end;
    const int32_t n = (boundary - position) / d + 1;
    if (n <= 0) return;
    const int32_t m = n < count ? n : count;
    if (gain == 0) {
      position += m * d;
    } else {
      // The run's position lives in a register: stores into the mix buffer
      // could otherwise be this very member, and it would be reloaded every sample.
      int32_t at = position;
      int32_t* mix = mixBuffer + out;
      int32_t i = mixVectorized(frames, available, mix, at, d, gain, m);
      at += i * d;
      for (; i < m; i++) {
        mix[i] += frames[at >> kPositionBits] * gain;
        at += d;
      }
      position = at;
    }
    out += m;
    count -= m;
    if (loopType != 0) wrap();
  }
}

}  // namespace corvexa
