#include "music/sample_cursor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// The resample loop eight samples at a time, for as many whole blocks of
// eight as count holds; returns how many samples it mixed. The eight frames
// are fetched one by one into the lanes of a vector (their positions are not
// evenly spaced in memory), then multiplied and added in two vector steps.
// The products are exact: a frame and the gain (at most 1,020) both fit 16
// bits, and the low and high halves of each 32-bit product are put together.
// Without SSE2 the caller's plain loop does all the work.
int32_t mixBlocks(const int16_t* frames, int32_t* mix, int32_t at, int32_t d, int32_t gain,
                  int32_t count) {
#if defined(__SSE2__)
  if (gain < INT16_MIN || gain > INT16_MAX) return 0;
  const __m128i gains = _mm_set1_epi16(static_cast<int16_t>(gain));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    // Positions inside a run are never negative, so they are shifted as
    // unsigned numbers, which spares widening each index to 64 bits for the
    // address. Going backwards (d < 0), the unsigned sums wrap to the same
    // positions.
    const uint32_t p = static_cast<uint32_t>(at);
    const uint32_t u = static_cast<uint32_t>(d);
    __m128i v = _mm_cvtsi32_si128(frames[p >> kPositionBits]);
    v = _mm_insert_epi16(v, frames[(p + u) >> kPositionBits], 1);
    v = _mm_insert_epi16(v, frames[(p + 2 * u) >> kPositionBits], 2);
    v = _mm_insert_epi16(v, frames[(p + 3 * u) >> kPositionBits], 3);
    v = _mm_insert_epi16(v, frames[(p + 4 * u) >> kPositionBits], 4);
    v = _mm_insert_epi16(v, frames[(p + 5 * u) >> kPositionBits], 5);
    v = _mm_insert_epi16(v, frames[(p + 6 * u) >> kPositionBits], 6);
    v = _mm_insert_epi16(v, frames[(p + 7 * u) >> kPositionBits], 7);
    const __m128i low = _mm_mullo_epi16(v, gains);
    const __m128i high = _mm_mulhi_epi16(v, gains);
    __m128i* sums = reinterpret_cast<__m128i*>(mix + i);
    _mm_storeu_si128(sums, _mm_add_epi32(_mm_loadu_si128(sums), _mm_unpacklo_epi16(low, high)));
    _mm_storeu_si128(sums + 1,
                     _mm_add_epi32(_mm_loadu_si128(sums + 1), _mm_unpackhi_epi16(low, high)));
    at += 8 * d;
  }
  return i;
#else
  (void)frames, (void)mix, (void)at, (void)d, (void)gain, (void)count;
  return 0;
#endif
}

}  // namespace

void SampleCursor::mix(Array<const int16_t> pool, int32_t* mixBuffer, int32_t frequency,
                       int32_t gain, int32_t count) {
  // frequency * 2048 / 44100 without passing 2^31: the fraction reduced by 4.
  const int32_t step = frequency * 512 / (kSampleRate / 4);
  if (step <= 0) return;
  const int16_t* frames = pool.items + offset;
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
      int32_t i = mixBlocks(frames, mix, at, d, gain, m);
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
