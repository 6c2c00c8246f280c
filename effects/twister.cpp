#include "effects/twister.h"

#include "base/wrapping.h"
#include "effects/pixel_runs.h"
#include "effects/tables.h"

namespace corvexa {

namespace {

// The screen column, relative to the bar's axis, at which corner (x, y) of the
// bar's cross-section appears when the bar is turned by the angle whose sine
// and cosine are s and c: a rotation followed by a perspective-like
// scaling by the corner's depth v.
int32_t projectCorner(int32_t x, int32_t y, int32_t s, int32_t c, int32_t r0, int32_t width) {
  int32_t u = (x * c + y * s) >> 11;
  int32_t v = (r0 + y * c - x * s) >> 11;
  return (((u * v) * 15) / 16 / width) >> 8;
}

}  // namespace

TwisterTexture buildTwisterTexture(Arena& arena, const EffectTables& tables, int32_t width) {
  TwisterTexture texture;
  texture.tables = &tables;
  texture.width = width;
  texture.pixels = arena.makeArray<uint8_t>(width * kTwisterRows);
  texture.runs = arena.makeArray<TwisterRun>(width * kTwisterRows);
  texture.rowRuns = arena.makeArray<int32_t>(kTwisterRows + 1);

  const int32_t r0 = (width * 32767) / 2;
  // The top and right sides of the square, each cut into four stripes by nine corners.
  int32_t cornerX[9], cornerY[9];
  for (int32_t j = 0; j < 9; j++) {
    cornerX[j] = width / kTwisterShape[j];
    cornerY[j] = width / kTwisterShape[8 - j];
  }
  for (int32_t r = 0; r < kTwisterRows; r++) {
    const int32_t s = tables.sine(65535 - 64 * r);
    const int32_t c = tables.sine(16383 - 64 * r);
    uint8_t* row = &texture.pixels[r * width];
    int32_t left = projectCorner(cornerX[0], cornerY[0], s, c, r0, width);
    for (int32_t j = 1; j < 9; j++) {
      int32_t right = projectCorner(cornerX[j], cornerY[j], s, c, r0, width);
      // The top side is lit by the cosine, the right side by the sine; odd
      // stripes take hue B, even ones hue A. A stripe whose corners project in
      // the wrong order faces away and is not drawn.
      int32_t brightness = j < 5 ? (c >> 9) : ((-s) >> 9);
      uint8_t byte = static_cast<uint8_t>((((j & 1) + 1) << 6) | brightness);
      for (int32_t column = left; column < right; column++) row[width / 2 + column] = byte;
      left = right;
    }
  }
  findTwisterRuns(texture);
  return texture;
}

void findTwisterRuns(TwisterTexture& texture) {
  const int32_t width = texture.width;
  int32_t count = 0;
  for (int32_t r = 0; r < kTwisterRows; r++) {
    texture.rowRuns[r] = count;
    const uint8_t* row = &texture.pixels[r * width];
    for (int32_t column = 0; column < width; column++) {
      // A run ends at the row's end or where the next byte differs.
      if (column + 1 == width || row[column + 1] != row[column]) {
        texture.runs[count++] = {static_cast<int16_t>(column + 1), row[column]};
      }
    }
  }
  texture.rowRuns[kTwisterRows] = count;
}

void drawStrip(const TwisterTexture& texture, int32_t hueA, int32_t hueB, int32_t start,
               int32_t step, int32_t x, Framebuffer framebuffer) {
  // The ColourTable base of each selector: see-through, hue A, hue B.
  const int32_t palette[3] = {kSeeThroughBase, hueA * 64, hueB * 64};
  // Whole texture periods (256 rows of 256 fractions) until every row's
  // coordinate is non-negative.
  while (start < 0 || start + int64_t{kScreenHeight} * step < 0) start += 65536;
  // The colour of each of the 256 possible texture bytes, looked up once per
  // draw instead of once per pixel: selector s's 64 levels are the 64
  // ColourTable entries from palette[s]. Selector 3 never occurs in a texture.
  uint32_t colourOf[256];
  for (int32_t selector = 0; selector < 3; selector++) {
    const uint32_t* ramp = &texture.tables->colourTable[palette[selector]];
    for (int32_t level = 0; level < 64; level++) colourOf[selector * 64 + level] = ramp[level];
  }
  for (int32_t level = 0; level < 64; level++) colourOf[192 + level] = 0;
  // Each screen row shows one texture row: its runs painted one colour each.
  for (int32_t y = 0; y < kScreenHeight; y++) {
    const int32_t r = (start >> 8) & 255;
    uint32_t* destination = &framebuffer[y * kScreenWidth + x];
    int32_t column = 0;
    const int32_t lastRun = texture.rowRuns[r + 1];  // read once: the stores could be it
    for (int32_t k = texture.rowRuns[r]; k < lastRun; k++) {
      const TwisterRun run = texture.runs[k];
      paintPixels(destination + column, run.end - column, colourOf[run.byte]);
      column = run.end;
    }
    start += step;
  }
}

void SwingTwister::update() {
  counter = wrapAdd(counter, 1);
}

void SwingTwister::draw(Framebuffer framebuffer) {
  // The twist over the screen's height swings between about -256 and +256
  // texture rows, once every 256 ticks; the top row always shows row 0.
  int32_t s = texture->tables->sine(wrapMul(counter, 256));
  int32_t step = (2 * s) / 180;
  drawStrip(*texture, hueA, hueB, 0, step, x, framebuffer);
}

void WobbleTwister::update() {
  counter = wrapAdd(counter, 1);
  if (fadeStart < 0) {
    fadeLevel = fadeStart;  // over fadeStart: a scale of exactly 1
  } else if (counter < fadeStart) {
    fadeLevel = 1024;
  } else if (counter > (3 * fadeStart) / 2 || fadeStart / 2 == 0) {
    fadeLevel = 0;
  } else {
    // Falls linearly from 1024 at fadeStart to 0 at fadeStart + fadeStart / 2.
    fadeLevel = ((fadeStart / 2 + fadeStart - counter) * 1024) / (fadeStart / 2);
  }
}

void WobbleTwister::draw(Framebuffer framebuffer) {
  const EffectTables& t = *texture->tables;
  const TwisterMotion& m = motion;
  const int32_t n = counter;
  int32_t a =
      (t.sine(wrapAdd(wrapMul(n, m.startRate), 32767)) * t.sine(wrapMul(n, m.startBeatRate))) /
      (32767 / m.startGain);
  int32_t b = t.sine(wrapMul(n, m.endRippleRate)) + t.sine(wrapMul(n, m.endRate)) * m.endGain;
  int32_t start = (fadeLevel * a) / fadeStart;
  int32_t end = (fadeLevel * b) / fadeStart;
  int32_t step = (end - start) / kScreenHeight;
  drawStrip(*texture, hueA, hueB, start, step, x, framebuffer);
}

}  // namespace corvexa
