// The embedded font images' own structure, read here without the decoder:
// six zero bytes, 16 colours with magenta at the transparent index, and LZW
// data whose table is cleared before it would grow past index 4094.
#include <gtest/gtest.h>

#include <vector>

#include "assets/embedded.h"

using namespace corvexa;

namespace {

struct CodeStats {
  int32_t codeSize = 0;
  int32_t transparent = -1;
  int32_t clears = 0;        // clear codes after the first code
  int32_t largestCount = 0;  // of the decoder's table
  int32_t widestCode = 0;
  bool endCode = false;
};

// Walks the blocks and then the image's codes the way a decoder counts them.
CodeStats walk(const uint8_t* bytes, int32_t size) {
  CodeStats stats;
  int32_t at = 13 + 3 * (1 << ((bytes[10] & 7) + 1));
  std::vector<uint8_t> data;
  while (at < size && bytes[at] != 0x3B) {
    if (bytes[at] == 0x21) {
      if (bytes[at + 1] == 0xF9) stats.transparent = bytes[at + 6];
      at += 2;
      while (bytes[at] != 0) at += bytes[at] + 1;
      at++;
    } else {
      EXPECT_EQ(bytes[at], 0x2C);
      stats.codeSize = bytes[at + 10];
      at += 11;
      while (bytes[at] != 0) {
        data.insert(data.end(), bytes + at + 1, bytes + at + 1 + bytes[at]);
        at += bytes[at] + 1;
      }
      at++;
    }
  }
  int32_t clear = 1 << stats.codeSize, width = stats.codeSize + 1, count = clear + 2;
  bool first = true;
  int64_t bit = 0;
  while (bit + width <= static_cast<int64_t>(data.size()) * 8) {
    int32_t code = 0;
    for (int32_t i = 0; i < width; i++, bit++) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
    stats.widestCode = std::max(stats.widestCode, width);
    if (code == clear) {
      stats.clears += bit > width;
      width = stats.codeSize + 1;
      count = clear + 2;
      first = true;
      continue;
    }
    if (code == clear + 1) {
      stats.endCode = true;
      break;
    }
    if (!first) {
      int32_t added = count++;
      if (added >= (1 << width) - 1 && width < 12) width++;
    }
    first = false;
    stats.largestCount = std::max(stats.largestCount, count);
  }
  return stats;
}

void expectHeader(const uint8_t* bytes, int32_t transparentIndex) {
  for (int32_t i = 0; i < 6; i++) EXPECT_EQ(bytes[i], 0);
  EXPECT_EQ(bytes[10] & 0x87, 0x83);  // a global table of 16 colours
  const uint8_t* magenta = bytes + 13 + 3 * transparentIndex;
  EXPECT_EQ(magenta[0], 0xFF);
  EXPECT_EQ(magenta[1], 0x00);
  EXPECT_EQ(magenta[2], 0xFF);
}

}  // namespace

TEST(FontImages, GoldBarClearsItsTableBeforeIndex4095) {
  expectHeader(kGoldbarGif, 1);
  CodeStats stats = walk(kGoldbarGif, kGoldbarGifSize);
  EXPECT_EQ(stats.codeSize, 4);
  EXPECT_EQ(stats.transparent, 1);
  EXPECT_GE(stats.clears, 1);
  EXPECT_EQ(stats.largestCount, 4095);
  EXPECT_EQ(stats.widestCode, 12);
  EXPECT_TRUE(stats.endCode);
}

TEST(FontImages, SimpleHasPlainLzwData) {
  expectHeader(kSimple16x28Gif, 0);
  CodeStats stats = walk(kSimple16x28Gif, kSimple16x28GifSize);
  EXPECT_EQ(stats.codeSize, 4);
  EXPECT_EQ(stats.transparent, 0);
  EXPECT_LE(stats.largestCount, 4095);
  EXPECT_LE(stats.widestCode, 12);
  EXPECT_TRUE(stats.endCode);
}
