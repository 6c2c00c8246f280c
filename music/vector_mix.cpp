#include "music/vector_mix.h"

#include <cstdint>

#include "music/sample_cursor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace corvexa {

namespace {

#if defined(__SSE2__)
// Eight samples a block, the frames fetched one by one into the lanes of a
// vector (their positions are not evenly spaced in memory), then multiplied
// and added in two vector steps. The products are exact: a frame and the
// gain both fit 16 bits, and the low and high halves of each 32-bit product
// are put together.
int32_t mixEightFetched(const int16_t* frames, int32_t* mix, int32_t at, int32_t d, int32_t gain,
                        int32_t count) {
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
}
#endif

#if defined(__x86_64__)
constexpr int32_t kFrame = 1 << kPositionBits;  // one frame's step

// Sixteen samples a block at a step of at most one frame. Each half of the
// vector takes eight samples from a window of eight frames loaded at the
// frame of its first sample: sample k of the half reads frame
// (fraction + k d) >> 11 of the window (at most 7), which a byte shuffle
// picks. The products are madd's: the frame in the low half of each 32-bit
// lane, zero in the high half, times the gain.
__attribute__((target("avx2"))) int32_t mixSixteenFromWindows(const int16_t* frames,
                                                              int32_t available, int32_t* mix,
                                                              int32_t at, int32_t d, int32_t gain,
                                                              int32_t count) {
  const __m256i gains = _mm256_set1_epi32(gain);
  const __m256i steps = _mm256_setr_epi16(0, d, 2 * d, 3 * d, 4 * d, 5 * d, 6 * d, 7 * d, 0, d,
                                          2 * d, 3 * d, 4 * d, 5 * d, 6 * d, 7 * d);
  const __m256i pairs = _mm256_set1_epi16(0x0202);   // the two bytes of a frame
  const __m256i second = _mm256_set1_epi16(0x0100);  // the high byte one on
  const __m256i zero = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const int32_t second8 = at + 8 * d;
    const int32_t first = at >> kPositionBits;
    const int32_t next = second8 >> kPositionBits;
    if (next + 8 > available) break;  // a window would read past the pool
    const __m256i fractions =
        _mm256_setr_m128i(_mm_set1_epi16(static_cast<int16_t>(at & (kFrame - 1))),
                          _mm_set1_epi16(static_cast<int16_t>(second8 & (kFrame - 1))));
    const __m256i index = _mm256_srli_epi16(_mm256_add_epi16(fractions, steps), kPositionBits);
    const __m256i pick = _mm256_add_epi16(_mm256_mullo_epi16(index, pairs), second);
    const __m256i windows =
        _mm256_setr_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(frames + first)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(frames + next)));
    const __m256i v = _mm256_shuffle_epi8(windows, pick);
    // unpack works within each half: samples 0-3 and 8-11, then 4-7 and 12-15.
    const __m256i a = _mm256_madd_epi16(_mm256_unpacklo_epi16(v, zero), gains);
    const __m256i b = _mm256_madd_epi16(_mm256_unpackhi_epi16(v, zero), gains);
    __m256i* sums = reinterpret_cast<__m256i*>(mix + i);
    _mm256_storeu_si256(
        sums, _mm256_add_epi32(_mm256_loadu_si256(sums), _mm256_permute2x128_si256(a, b, 0x20)));
    _mm256_storeu_si256(sums + 1, _mm256_add_epi32(_mm256_loadu_si256(sums + 1),
                                                   _mm256_permute2x128_si256(a, b, 0x31)));
    at += 16 * d;
  }
  return i;
}

// Eight samples a block at a step of at most two frames: each half of the
// vector takes four samples from a window of eight frames, sample k reading
// frame (fraction + k d) >> 11 (at most 6) into the low half of a 32-bit lane.
__attribute__((target("avx2"))) int32_t mixEightFromWindows(const int16_t* frames,
                                                            int32_t available, int32_t* mix,
                                                            int32_t at, int32_t d, int32_t gain,
                                                            int32_t count) {
  const __m256i gains = _mm256_set1_epi32(gain);
  const __m256i steps = _mm256_setr_epi32(0, d, 2 * d, 3 * d, 0, d, 2 * d, 3 * d);
  const __m256i highZero = _mm256_set1_epi32(static_cast<int32_t>(0x80800100));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const int32_t second4 = at + 4 * d;
    const int32_t first = at >> kPositionBits;
    const int32_t next = second4 >> kPositionBits;
    if (next + 8 > available) break;
    const __m256i fractions = _mm256_setr_m128i(_mm_set1_epi32(at & (kFrame - 1)),
                                                _mm_set1_epi32(second4 & (kFrame - 1)));
    const __m256i twice =
        _mm256_slli_epi32(_mm256_srli_epi32(_mm256_add_epi32(fractions, steps), kPositionBits), 1);
    // bytes: the frame's low byte, its high byte, then two zeros (0x80 picks zero)
    const __m256i pick =
        _mm256_or_si256(_mm256_or_si256(twice, _mm256_slli_epi32(twice, 8)), highZero);
    const __m256i windows =
        _mm256_setr_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(frames + first)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(frames + next)));
    const __m256i products = _mm256_madd_epi16(_mm256_shuffle_epi8(windows, pick), gains);
    __m256i* sums = reinterpret_cast<__m256i*>(mix + i);
    _mm256_storeu_si256(sums, _mm256_add_epi32(_mm256_loadu_si256(sums), products));
    at += 8 * d;
  }
  return i;
}
#endif

}  // namespace

int32_t mixVectorized(const int16_t* frames, int32_t available, int32_t* mix, int32_t at, int32_t d,
                      int32_t gain, int32_t count) {
  if (gain < INT16_MIN || gain > INT16_MAX) return 0;
#if defined(__x86_64__)
  if (d > 0 && d <= 2 * kFrame && __builtin_cpu_supports("avx2")) {
    int32_t done = d <= kFrame ? mixSixteenFromWindows(frames, available, mix, at, d, gain, count)
                               : mixEightFromWindows(frames, available, mix, at, d, gain, count);
    return done + mixEightFetched(frames, mix + done, at + done * d, d, gain, count - done);
  }
#endif
#if defined(__SSE2__)
  return mixEightFetched(frames, mix, at, d, gain, count);
#else
  (void)frames, (void)available, (void)mix, (void)at, (void)d, (void)gain, (void)count;
  return 0;
#endif
}

}  // namespace corvexa
