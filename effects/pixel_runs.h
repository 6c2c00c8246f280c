// Runs of pixels: the inner loops that every effect draws with.
//
// Each loop works on blocks of four pixels, written so that the compiler turns
// a block into one vector load, operation and store (SSE2 on x86-64, at -O2).
// The results are those of the plain pixel-by-pixel loops.
#pragma once

#include <cstdint>

#include "effects/framebuffer.h"

namespace corvexa {

// destination[0 .. count) = colour. Setting a pixel twice changes nothing,
// so a run of four or more ends with the block of its last four pixels, which
// may overlap the block before, instead of one pixel at a time.
inline void fillPixels(uint32_t* destination, int32_t count, uint32_t colour) {
  if (count < 4) {
    for (int32_t i = 0; i < count; i++) destination[i] = colour;
    return;
  }
  for (int32_t i = 0; i + 4 < count; i += 4) {
    for (int32_t k = 0; k < 4; k++) destination[i + k] = colour;
  }
  for (int32_t k = 0; k < 4; k++) destination[count - 4 + k] = colour;
}

// destination[0 .. count) ^= colour.
inline void xorPixels(uint32_t* destination, int32_t count, uint32_t colour) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    for (int32_t k = 0; k < 4; k++) destination[i + k] ^= colour;
  }
  for (; i < count; i++) destination[i] ^= colour;
}

// One colour over count pixels by the see-through rule: a see-through colour
// is ORed onto them, any other replaces them. The ORs end one pixel at a
// time, not with an overlapping block: a block loaded over one just stored
// waits for that store to reach the cache.
inline void paintPixels(uint32_t* destination, int32_t count, uint32_t colour) {
  if ((colour & kSeeThroughBit) == 0) {
    fillPixels(destination, count, colour);
    return;
  }
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    for (int32_t k = 0; k < 4; k++) destination[i + k] |= colour;
  }
  for (; i < count; i++) destination[i] |= colour;
}

// The see-through rule without a branch: bit 31 spread over the word keeps
// the destination's bits (source | destination), else source alone.
inline uint32_t combineBits(uint32_t source, uint32_t destination) {
  uint32_t keep = static_cast<uint32_t>(static_cast<int32_t>(source) >> 31);
  return source | (destination & keep);
}

// source[0 .. count) copied onto destination by the see-through rule. The
// block's pixels are read before any is written, so the compiler needs no
// proof that the two do not overlap.
inline void copyPixels(uint32_t* destination, const uint32_t* source, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    uint32_t over[4], under[4];
    for (int32_t k = 0; k < 4; k++) {
      over[k] = source[i + k];
      under[k] = destination[i + k];
    }
    for (int32_t k = 0; k < 4; k++) destination[i + k] = combineBits(over[k], under[k]);
  }
  for (; i < count; i++) destination[i] = combineBits(source[i], destination[i]);
}

}  // namespace corvexa
