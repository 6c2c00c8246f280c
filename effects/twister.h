// Twisters: vertical bars of square cross-section that turn about their axis,
// the angle changing from row to row so that the bar looks twisted.
//
// The bar's cross-section at every angle is computed once into a
// TwisterTexture, one row of bytes per 1/256 of a quarter turn; drawing a
// twister only picks, for each of the 180 screen rows, which texture row to
// copy. A texture byte holds a palette selector in bits 6-7 (0 see-through,
// 1 and 2 the twister's two hues) and a brightness level in bits 0-5.
//
// A row is a few runs of equal bytes (the see-through sides and the lit
// stripes), so each row is also kept as its list of runs: drawing paints whole
// runs of one colour instead of looking up every pixel.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "effects/effect.h"
#include "effects/tables.h"

namespace corvexa {

// Divisors of the texture width that place the nine corners of the bar's top
// and right sides; 2^30 makes the quotient 0 for every width in use.
inline constexpr int32_t kTwisterShape[9] = {-2, -4, 1073741824, 4, 2, 2, 2, 2, 2};

inline constexpr int32_t kTwisterRows = 256;  // a quarter turn; rows wrap every 256

// Columns from the end of the run before (0 for a row's first) up to end
// hold byte.
struct TwisterRun {
  int16_t end;
  uint8_t byte;
};

// A texture is only read once built, so one serves every twister of its
// width: the hues are each draw's own (drawStrip).
struct TwisterTexture {
  const EffectTables* tables;  // its rows come from the sine, its colours from the ramps
  int32_t width;
  Array<uint8_t> pixels;   // width * 256 bytes, row-major
  Array<TwisterRun> runs;  // every row's runs, row after row (room for width * 256)
  Array<int32_t> rowRuns;  // 257: row r's runs are runs[rowRuns[r] .. rowRuns[r + 1])
};

TwisterTexture buildTwisterTexture(Arena& arena, const EffectTables& tables, int32_t width);

// Finds the runs of every row from pixels; again after pixels change.
void findTwisterRuns(TwisterTexture& texture);

// Copies the texture onto 180 rows from column x. start and step are texture
// row coordinates with 8 fraction bits; hues select ColourTable ramps: a
// texture byte's selector 0 is the see-through ramp, 1 hueA's, 2 hueB's.
void drawStrip(const TwisterTexture& texture, int32_t hueA, int32_t hueB, int32_t start,
               int32_t step, int32_t x, Framebuffer framebuffer);

// Twists back and forth on one sine with a period of 256 ticks.
struct SwingTwister final : Effect {
  TwisterTexture* texture = nullptr;
  int32_t counter = 0;
  int32_t x = 0;
  int32_t hueA = 0;
  int32_t hueB = 0;

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

// How a WobbleTwister moves: the texture rows shown on the top and the bottom
// screen row (start and end) as waves of the tick count n, sine indices taken
// mod 65,536:
//   start = sine[n * startRate + 32767] * sine[n * startBeatRate] / (32767 / startGain)
//   end   = sine[n * endRippleRate] + sine[n * endRate] * endGain
// each then scaled by the fade (WobbleTwister::fadeLevel).
struct TwisterMotion {
  int32_t startRate;      // of the wave that turns the top row (shifted half a turn)
  int32_t startBeatRate;  // of the wave that the top row's wave is multiplied by
  int32_t startGain;      // the top row's swing, up to about startGain x 128 texture rows
  int32_t endRate;        // of the bottom row's main wave
  int32_t endGain;        // its swing, up to about endGain x 128 texture rows
  int32_t endRippleRate;  // of the small wave added to it (a swing of 128 rows)
};

// fadeStart of a twister whose motion never fades.
inline constexpr int32_t kNeverFades = -1;

// Starting angle and twist follow sums of sines; the motion can fade out.
struct WobbleTwister final : Effect {
  TwisterTexture* texture = nullptr;
  int32_t counter = 0;
  // The motion is scaled by fadeLevel / fadeStart. fadeStart is the counter
  // at which the fade begins: fadeLevel is 1024 before it and falls to 0 by
  // fadeStart * 3 / 2. A twister that never fades has fadeStart kNeverFades,
  // and each update sets fadeLevel to it too, for a scale of exactly 1 (drawn
  // before its first update, with a fadeLevel of 1, it moves mirrored).
  int32_t fadeStart = 0;
  int32_t fadeLevel = 0;
  int32_t x = 0;
  int32_t hueA = 0;
  int32_t hueB = 0;
  TwisterMotion motion{};

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

}  // namespace corvexa
