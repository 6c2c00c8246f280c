#include "effects/tables.h"

namespace corvexa {

uint32_t hsvToRgb(int32_t h, int32_t s, int32_t v) {
  if (s == 0) return static_cast<uint32_t>(v | v << 8 | v << 16);
  int32_t region = h / 43;
  int32_t f = (h - 43 * region) * 6;  // position inside the region, 0..252
  int32_t p = ((255 - s) * v) >> 8;
  int32_t q = ((255 - ((f * s) >> 8)) * v) >> 8;
  int32_t t = ((255 - (((255 - f) * s) >> 8)) * v) >> 8;
  int32_t red, green, blue;
  switch (region) {
    case 0:
      red = v, green = t, blue = p;
      break;
    case 1:
      red = q, green = v, blue = p;
      break;
    case 2:
      red = p, green = v, blue = t;
      break;
    case 3:
      red = p, green = q, blue = v;
      break;
    case 4:
      red = t, green = p, blue = v;
      break;
    default:
      red = v, green = p, blue = q;
      break;
  }
  return static_cast<uint32_t>(red | green << 8 | blue << 16);
}

Array<uint32_t> buildColourTable(Arena& arena) {
  Array<uint32_t> table = arena.makeArray<uint32_t>(kColourTableCount);
  for (int32_t hue = 0; hue < 256; hue++) {
    for (int32_t level = 0; level < 64; level++) {
      table[hue * 64 + level] = hsvToRgb(hue, 255, level * 4);
    }
  }
  for (int32_t level = 0; level < 64; level++) {
    table[kGreyBase + level] = hsvToRgb(0, 0, level * 4);
    table[kSeeThroughBase + level] = 0xFF000000u;
  }
  return table;
}

namespace {

// One quarter from Bhaskara I's formula, i = 0..16,383 (the other three follow
// by symmetry). 8 * p stays below 2^31 for every i of the quarter.
int16_t quarterSine(int32_t i) {
  int32_t a = 32768 - i;
  int32_t p = a * i;
  return static_cast<int16_t>((8 * p) / ((0x50000000 - p) >> 14));
}

}  // namespace

int16_t approximateSine(int32_t index) {
  const int32_t i = index & 0xFFFF;
  if (i < 16384) return quarterSine(i);
  if (i < 32768) return quarterSine(32767 - i);
  if (i < 49152) return static_cast<int16_t>(-quarterSine(i - 32768));
  return static_cast<int16_t>(-quarterSine(65535 - i));
}

Array<int16_t> buildSineTable(Arena& arena) {
  Array<int16_t> table = arena.makeArray<int16_t>(kSineTableCount);
  for (int32_t i = 0; i < 16384; i++) {
    int16_t v = quarterSine(i);
    table[i] = v;
    table[32767 - i] = v;
    table[32768 + i] = static_cast<int16_t>(-v);
    table[65535 - i] = static_cast<int16_t>(-v);
  }
  return table;
}

EffectTables buildEffectTables(Arena& arena) {
  EffectTables tables;
  tables.colourTable = buildColourTable(arena);
  tables.sineTable = buildSineTable(arena);
  return tables;
}

}  // namespace corvexa
