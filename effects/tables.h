// The colour conversion and the two tables that all effects draw with.
//
// ColourTable: 16,512 ready-made pixels. Element hue * 64 + level (hue 0..255,
// level 0..63) is that fully saturated hue at brightness level * 4; base 16,384
// (hue "256") is a ramp of greys; base 16,448 is see-through. The brightest
// level, 63, gives 252, not 255.
//
// SineTable: 65,536 steps to a full turn, amplitude 32,767, from Bhaskara I's
// approximation in integer arithmetic. Effects index it by the low 16 bits of
// whatever index they form, also when the 32-bit product behind it wrapped.
//
// Start-up builds both once (buildEffectTables) into the DemoState, which owns
// them; the effects that draw with them hold a pointer to that one copy.
#pragma once

#include <cstdint>

#include "base/arena.h"

namespace corvexa {

// (h, s, v) in 0..255 to a pixel with the fourth byte 0.
uint32_t hsvToRgb(int32_t hue, int32_t saturation, int32_t value);

inline constexpr int32_t kColourTableCount = 16512;
inline constexpr int32_t kGreyBase = 16384;        // hue 256
inline constexpr int32_t kSeeThroughBase = 16448;  // 64 x 0xFF000000
inline constexpr int32_t kSineTableCount = 65536;

struct EffectTables {
  Array<uint32_t> colourTable;
  Array<int16_t> sineTable;

  // The sine at the low 16 bits of index.
  int16_t sine(int32_t index) const { return sineTable[index & 0xFFFF]; }
};

// The SineTable's element at the low 16 bits of index, worked out on its own:
// the one sine approximation, which the song's synthesiser computes with too.
int16_t approximateSine(int32_t index);

Array<uint32_t> buildColourTable(Arena& arena);
Array<int16_t> buildSineTable(Arena& arena);

// Builds the ColourTable and then the SineTable.
EffectTables buildEffectTables(Arena& arena);

}  // namespace corvexa
