#include "effects/tables.h"

#include <gtest/gtest.h>

using namespace corvexa;

TEST(HsvToRgb, QuotedColours) {
  EXPECT_EQ(hsvToRgb(0, 255, 255), 0x0000FFu);
  EXPECT_EQ(hsvToRgb(8, 255, 255), 0x0030FFu);
  EXPECT_EQ(hsvToRgb(43, 255, 255), 0x00FFFEu);
  EXPECT_EQ(hsvToRgb(128, 255, 255), 0xFCFF00u);
  EXPECT_EQ(hsvToRgb(150, 255, 255), 0xFF8100u);
  EXPECT_EQ(hsvToRgb(200, 255, 255), 0xFF00A8u);
  EXPECT_EQ(hsvToRgb(255, 255, 255), 0x0F00FFu);  // region 5
  EXPECT_EQ(hsvToRgb(150, 255, 252), 0xFC7F00u);
}

TEST(HsvToRgb, ZeroSaturationIsGreyWhateverTheHue) {
  for (int32_t hue : {0, 43, 100, 255}) EXPECT_EQ(hsvToRgb(hue, 0, 0x5A), 0x5A5A5Au);
}

TEST(ColourTable, RampsGreysAndSeeThrough) {
  Arena arena;
  Array<uint32_t> table = buildColourTable(arena);
  ASSERT_EQ(table.count, 16512);
  EXPECT_EQ(table[16447], 0xFCFCFCu);  // grey level 63
  EXPECT_EQ(table[16384], 0u);
  EXPECT_EQ(table[16448], 0xFF000000u);
  EXPECT_EQ(table[16511], 0xFF000000u);
  EXPECT_EQ(table[16383], hsvToRgb(255, 255, 252));
  EXPECT_EQ(table[150 * 64 + 63], 0xFC7F00u);
}

TEST(SineTable, QuotedValuesAndSymmetry) {
  Arena arena;
  Array<int16_t> sine = buildSineTable(arena);
  ASSERT_EQ(sine.count, 65536);
  EXPECT_EQ(sine[0], 0);
  EXPECT_EQ(sine[1], 3);
  EXPECT_EQ(sine[4096], 12568);
  EXPECT_EQ(sine[8192], 23130);
  EXPECT_EQ(sine[16383], 32767);
  EXPECT_EQ(sine[16384], 32767);
  EXPECT_EQ(sine[24576], 23128);
  EXPECT_EQ(sine[40960], -23130);
  EXPECT_EQ(sine[32767], 0);
  EXPECT_EQ(sine[32768], 0);
  EXPECT_EQ(sine[49151], -32767);
  EXPECT_EQ(sine[49152], -32767);
  EXPECT_EQ(sine[65535], 0);
  for (int32_t i = 0; i < 16384; i++) {
    ASSERT_EQ(sine[32768 + i], -sine[i]) << i;
    ASSERT_EQ(sine[32767 - i], sine[i]) << i;
  }
  // The value on its own, at any index, is the table's element.
  for (int32_t i = -65536; i < 2 * 65536; i++) ASSERT_EQ(approximateSine(i), sine[i & 0xFFFF]) << i;
}
