#include "effects/twister.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/effect_tables.h"

using namespace corvexa;

namespace {

class TwisterTest : public ::testing::Test {
 protected:
  // The texture row each screen row shows, read back from a strip drawn with
  // a texture whose row r holds brightness r & 63 in one hue and r >> 6 in
  // another, so that the drawn colours name the row.
  std::vector<int32_t> rowsShown(TwisterTexture& probe, int32_t start, int32_t step) {
    std::vector<uint32_t> pixels(kPixelCount, 0);
    drawStrip(probe, 0, 1, start, step, 0, {kPixelCount, pixels.data()});
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < kScreenHeight; y++) {
      uint32_t low = pixels[y * kScreenWidth];       // hue 0: red = level * 4
      uint32_t high = pixels[y * kScreenWidth + 1];  // hue 1 (palette 2)
      int32_t lowLevel = static_cast<int32_t>(low & 0xFF) / 4;
      int32_t highLevel = static_cast<int32_t>(high & 0xFF) / 4;
      rows.push_back(highLevel * 64 + lowLevel);
    }
    return rows;
  }

  TwisterTexture probeTexture() {
    TwisterTexture probe = buildTwisterTexture(arena_, testTables(), 2);
    for (int32_t r = 0; r < kTwisterRows; r++) {
      probe.pixels[r * 2] = static_cast<uint8_t>(0x40 | (r & 63));
      probe.pixels[r * 2 + 1] = static_cast<uint8_t>(0x80 | (r >> 6));
    }
    findTwisterRuns(probe);
    return probe;
  }

  Arena arena_;
};

// The bytes of one texture row.
std::vector<uint8_t> row(const TwisterTexture& texture, int32_t r) {
  return std::vector<uint8_t>(&texture.pixels[r * texture.width],
                              &texture.pixels[(r + 1) * texture.width]);
}

TEST_F(TwisterTest, WideTextureRowZeroShowsOneFaceAtFullLight) {
  TwisterTexture texture = buildTwisterTexture(arena_, testTables(), 128);
  std::vector<uint8_t> bytes = row(texture, 0);
  for (int32_t i = 0; i < 128; i++) {
    uint8_t expected = i < 4      ? 0
                       : i <= 33  ? 0xBF
                       : i <= 63  ? 0x7F
                       : i <= 92  ? 0xBF
                       : i <= 122 ? 0x7F
                                  : 0;
    EXPECT_EQ(bytes[i], expected) << "column " << i;
  }
}

TEST_F(TwisterTest, WideTextureRow128ShowsTwoFacesAtLevel45) {
  TwisterTexture texture = buildTwisterTexture(arena_, testTables(), 128);
  std::vector<uint8_t> bytes = row(texture, 128);
  int32_t first = -1, last = -1;
  for (int32_t i = 0; i < 128; i++) {
    if (bytes[i] == 0) continue;
    if (first < 0) first = i;
    last = i;
    EXPECT_EQ(bytes[i] & 63, 45) << "column " << i;
  }
  EXPECT_EQ(first, 21);
  EXPECT_EQ(last, 105);
}

TEST_F(TwisterTest, NarrowTextureRowZeroCoversColumns1To45InFourStripes) {
  TwisterTexture texture = buildTwisterTexture(arena_, testTables(), 48);
  std::vector<uint8_t> bytes = row(texture, 0);
  for (int32_t i = 0; i < 48; i++) {
    uint8_t expected = i < 1     ? 0
                       : i <= 11 ? 0xBF
                       : i <= 23 ? 0x7F
                       : i <= 34 ? 0xBF
                       : i <= 45 ? 0x7F
                                 : 0;
    EXPECT_EQ(bytes[i], expected) << "column " << i;
  }
}

TEST_F(TwisterTest, EveryTextureByteIsSeeThroughOrAStripe) {
  for (int32_t width : {128, 48}) {
    TwisterTexture texture = buildTwisterTexture(arena_, testTables(), width);
    for (uint8_t byte : texture.pixels) {
      int32_t selector = byte >> 6;
      ASSERT_NE(selector, 3);
      if (selector == 0) {
        ASSERT_EQ(byte, 0);
      }
    }
  }
}

// Laid end to end, a row's runs give its bytes back, and no two neighbours
// hold the same byte (a run is as long as it can be).
TEST_F(TwisterTest, RunsSpellEveryRowOut) {
  for (int32_t width : {128, 48}) {
    TwisterTexture texture = buildTwisterTexture(arena_, testTables(), width);
    for (int32_t r = 0; r < kTwisterRows; r++) {
      std::vector<uint8_t> spelt;
      for (int32_t k = texture.rowRuns[r]; k < texture.rowRuns[r + 1]; k++) {
        const TwisterRun run = texture.runs[k];
        ASSERT_GT(run.end, static_cast<int32_t>(spelt.size()));
        if (k > texture.rowRuns[r]) {
          ASSERT_NE(run.byte, texture.runs[k - 1].byte);
        }
        spelt.resize(run.end, run.byte);
      }
      ASSERT_EQ(spelt, row(texture, r)) << "width " << width << ", row " << r;
    }
  }
}

TEST_F(TwisterTest, DrawStripAdvancesRowsByStepAndWraps) {
  TwisterTexture probe = probeTexture();
  // start -1 and step 0: one whole period is added, every row shows row 255.
  for (int32_t shown : rowsShown(probe, -1, 0)) ASSERT_EQ(shown, 255);
  // A step of one row per screen row from row 250 wraps past 255 to 0.
  std::vector<int32_t> rows = rowsShown(probe, 250 * 256, 256);
  EXPECT_EQ(rows[0], 250);
  EXPECT_EQ(rows[5], 255);
  EXPECT_EQ(rows[6], 0);
  // A coordinate that would turn negative further down is moved up front.
  rows = rowsShown(probe, 0, -256);
  EXPECT_EQ(rows[0], 0);
  EXPECT_EQ(rows[1], 255);
  EXPECT_EQ(rows[179], (256 - 179) & 255);
}

TEST_F(TwisterTest, SeeThroughTexelsKeepWhatIsBehindTheBar) {
  TwisterTexture texture = buildTwisterTexture(arena_, testTables(), 128);
  std::vector<uint32_t> pixels(kPixelCount, 0x00123456);
  drawStrip(texture, 0, 128, 0, 0, 100, {kPixelCount, pixels.data()});
  EXPECT_EQ(pixels[100], 0xFF123456u);                  // column 0 of the texture: see-through
  EXPECT_EQ(pixels[99], 0x00123456u);                   // left of the strip: untouched
  EXPECT_EQ(pixels[100 + 4], hsvToRgb(128, 255, 252));  // stripe 1 at level 63 in hue B
}

TEST_F(TwisterTest, SwingTwisterTopRowIsAlwaysTextureRowZero) {
  TwisterTexture probe = probeTexture();
  SwingTwister twister;
  twister.texture = &probe;
  twister.hueA = 0;
  twister.hueB = 1;
  for (int32_t tick = 0; tick < 300; tick += 37) {
    std::vector<uint32_t> pixels(kPixelCount, 0);
    twister.counter = tick;
    twister.draw({kPixelCount, pixels.data()});
    ASSERT_EQ(pixels[0] & 0xFF, 0u) << tick;
  }
  // At a quarter period the twist is greatest: step (2 * 32767) / 180 = 364.
  std::vector<uint32_t> pixels(kPixelCount, 0);
  twister.counter = 64;
  twister.draw({kPixelCount, pixels.data()});
  std::vector<int32_t> expected = rowsShown(probe, 0, 364);
  EXPECT_EQ(static_cast<int32_t>(pixels[179 * kScreenWidth] & 0xFF) / 4, expected[179] & 63);
}

TEST_F(TwisterTest, WobbleTwisterLevelFadesFrom1024To0) {
  WobbleTwister twister;
  twister.fadeStart = 920;
  twister.fadeLevel = 1;
  std::vector<int32_t> levels;
  for (int32_t tick = 1; tick <= 1400; tick++) {
    twister.update();
    levels.push_back(twister.fadeLevel);
  }
  EXPECT_EQ(levels[0], 1024);
  EXPECT_EQ(levels[918], 1024);  // counter 919
  EXPECT_EQ(levels[919], 1024);  // counter 920: the fade starts at full scale
  EXPECT_EQ(levels[920], 1021);  // (460 + 920 - 921) * 1024 / 460
  EXPECT_EQ(levels[1379], 0);    // counter 1380
  for (size_t i = 1; i < levels.size(); i++) ASSERT_LE(levels[i], levels[i - 1]);

  WobbleTwister forever;
  forever.fadeStart = kNeverFades;
  forever.update();
  EXPECT_EQ(forever.fadeLevel, kNeverFades);
}

TEST_F(TwisterTest, WobbleTwisterAtLevelZeroShowsRowZeroEverywhere) {
  TwisterTexture probe = probeTexture();
  WobbleTwister twister;
  twister.texture = &probe;
  twister.fadeStart = 920;
  twister.fadeLevel = 0;
  twister.counter = 1234;
  twister.hueB = 1;
  twister.motion = {384, 128, 4, 512, 4, 256};
  std::vector<uint32_t> pixels(kPixelCount, 0);
  twister.draw({kPixelCount, pixels.data()});
  for (int32_t y = 0; y < kScreenHeight; y++) ASSERT_EQ(pixels[y * kScreenWidth] & 0xFF, 0u) << y;
}

TEST_F(TwisterTest, NarrowTwisterBeforeItsFirstUpdateDrawsTheMirroredMotion) {
  // With fadeLevel 1 and fadeStart kNeverFades the scale is -1 for that one
  // draw; after an update fadeLevel becomes kNeverFades and the scale +1.
  TwisterTexture probe = probeTexture();
  WobbleTwister twister;
  twister.texture = &probe;
  twister.fadeStart = kNeverFades;
  twister.fadeLevel = 1;
  twister.hueB = 1;
  twister.motion = {128, 384, 6, 320, 2, 544};
  twister.counter = 20;
  std::vector<uint32_t> before(kPixelCount, 0), after(kPixelCount, 0);
  twister.draw({kPixelCount, before.data()});
  twister.fadeLevel = kNeverFades;
  twister.draw({kPixelCount, after.data()});
  const EffectTables& t = testTables();
  int32_t a = (t.sine(20 * 128 + 32767) * t.sine(20 * 384)) / (32767 / 6);
  std::vector<int32_t> mirrored = rowsShown(probe, -a, 0);
  std::vector<int32_t> plain = rowsShown(probe, a, 0);
  EXPECT_EQ(static_cast<int32_t>(before[0] & 0xFF) / 4, mirrored[0] & 63);
  EXPECT_EQ(static_cast<int32_t>(after[0] & 0xFF) / 4, plain[0] & 63);
  EXPECT_NE(before, after);
}

}  // namespace
