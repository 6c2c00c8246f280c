#include "effects/bars.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvexa;

namespace {

constexpr uint32_t kColours[4] = {0xFC7F00, 0xFFFFFF, 0xFC7F00, 0xFFFFFF};
constexpr int32_t kWidths[4] = {30, 30, 29, 30};

XorBlocks slidingIn() {
  XorBlocks blocks;
  blocks.colours = arrayOver(kColours, 4);
  blocks.widths = arrayOver(kWidths, 4);
  blocks.waitX = 320, blocks.doneX = 12, blocks.launchVelocity = -1024;
  blocks.fromX = 320, blocks.toX = 12, blocks.velocity = -1024, blocks.position = 320 * 256;
  return blocks;
}

XorBlocks swingingOut() {
  XorBlocks blocks = slidingIn();
  blocks.waitX = 12, blocks.doneX = -320, blocks.launchVelocity = 1280, blocks.acceleration = -16;
  blocks.fromX = 12, blocks.toX = -320, blocks.velocity = 1280, blocks.position = 12 * 256;
  return blocks;
}

struct Picture {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(kPixelCount, 0);
  Framebuffer framebuffer() { return {kPixelCount, pixels.data()}; }
  uint32_t at(int32_t x, int32_t y) const { return pixels[y * kScreenWidth + x]; }
  // The columns of row y that are not black.
  std::vector<int32_t> litColumns(int32_t y) const {
    std::vector<int32_t> columns;
    for (int32_t x = 0; x < kScreenWidth; x++)
      if (at(x, y) != 0) columns.push_back(x);
    return columns;
  }
};

TEST(XorBlocks, SlideInTakes77TicksPerBlockAndStacksFromColumn12) {
  XorBlocks blocks = slidingIn();
  for (int32_t block = 0; block < 4; block++) {
    for (int32_t tick = 1; tick < 77; tick++) blocks.update();
    ASSERT_EQ(blocks.current, block) << "block " << block << " arrived early";
    blocks.update();
    ASSERT_EQ(blocks.current, block + 1) << "block " << block << " did not arrive after 77 ticks";
  }
  Picture picture;
  blocks.draw(picture.framebuffer());
  std::vector<int32_t> lit = picture.litColumns(90);
  ASSERT_EQ(lit.size(), 119u);  // columns 12 .. 130
  EXPECT_EQ(lit.front(), 12);
  EXPECT_EQ(lit.back(), 130);
  EXPECT_EQ(picture.at(12, 0), 0xFC7F00u);
  EXPECT_EQ(picture.at(42, 179), 0xFFFFFFu);
  blocks.update();  // all done: nothing moves
  EXPECT_EQ(blocks.current, 4);
}

TEST(XorBlocks, SwingOutTurnsAfter80TicksAndEndsAfter848) {
  XorBlocks blocks = swingingOut();
  int32_t furthest = 0;
  int32_t ticks = 0;
  while (blocks.current == 0) {
    blocks.update();
    ticks++;
    if (blocks.current == 0 && (blocks.position >> 8) > furthest) furthest = blocks.position >> 8;
  }
  EXPECT_EQ(ticks, 212);
  EXPECT_GT(furthest, 12 + 5 * 40);  // it went right before turning
  while (blocks.current < 4) {
    blocks.update();
    ticks++;
  }
  EXPECT_EQ(ticks, 848);
  Picture picture;
  blocks.draw(picture.framebuffer());
  EXPECT_TRUE(picture.litColumns(0).empty());
}

TEST(XorBlocks, DrawingTwiceRestoresThePicture) {
  Picture picture;
  for (int32_t i = 0; i < kPixelCount; i++)
    picture.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  std::vector<uint32_t> original = picture.pixels;
  XorBlocks blocks = slidingIn();
  for (int32_t tick = 0; tick < 100; tick++) blocks.update();
  blocks.draw(picture.framebuffer());
  EXPECT_NE(picture.pixels, original);
  blocks.draw(picture.framebuffer());
  EXPECT_EQ(picture.pixels, original);
}

TEST(XorBlocks, BlocksAreClippedAtBothEdges) {
  XorBlocks blocks = slidingIn();
  blocks.position = -20 * 256;  // block 0 at column -20: its last 10 columns show
  Picture picture;
  blocks.draw(picture.framebuffer());
  std::vector<int32_t> lit = picture.litColumns(0);
  ASSERT_EQ(lit.size(), 10u);
  EXPECT_EQ(lit.back(), 9);

  blocks.position = 315 * 256;  // column 315: columns 315 .. 319
  Picture right;
  blocks.draw(right.framebuffer());
  lit = right.litColumns(0);
  ASSERT_EQ(lit.size(), 5u);
  EXPECT_EQ(lit.front(), 315);
}

constexpr int32_t kCurtainWidths[24] = {11, 12, 11, 11, 11, 12, 11, 11, 11, 12, 11, 11,
                                        11, 12, 11, 11, 11, 12, 11, 11, 11, 12, 11, 11};

BarCurtain curtain(std::vector<int32_t>& xs, std::vector<uint32_t>& colours) {
  xs.clear();
  colours.clear();
  for (int32_t i = 0; i < 24; i++) {
    xs.push_back(7 + 52 * (i / 4) + std::vector<int32_t>{0, 11, 23, 34}[i % 4]);
    colours.push_back(0x010101u * static_cast<uint32_t>(i + 1));
  }
  BarCurtain bars;
  bars.widths = arrayOver(kCurtainWidths, 24);
  bars.xs = {24, xs.data()};
  bars.colours = {24, colours.data()};
  bars.offset = -180;
  bars.speed = 16;
  return bars;
}

TEST(BarCurtain, BuildsAll24BarsIn270Ticks) {
  std::vector<int32_t> xs;
  std::vector<uint32_t> colours;
  BarCurtain bars = curtain(xs, colours);
  Picture untouched;
  bars.draw(untouched.framebuffer());  // before the first update the moving bar covers no rows
  EXPECT_TRUE(untouched.litColumns(0).empty());
  EXPECT_TRUE(untouched.litColumns(179).empty());

  for (int32_t tick = 1; tick <= 269; tick++) bars.update();
  EXPECT_EQ(bars.placed, 23);
  bars.update();
  EXPECT_EQ(bars.placed, 24);
  bars.update();  // complete: nothing changes
  EXPECT_EQ(bars.placed, 24);

  Picture picture;
  bars.draw(picture.framebuffer());
  EXPECT_EQ(picture.litColumns(0).size(), 6u * 45u);
  EXPECT_EQ(picture.litColumns(179), picture.litColumns(0));
  EXPECT_EQ(picture.at(7, 90), colours[0]);
  EXPECT_EQ(picture.at(311, 90), colours[23]);
  EXPECT_EQ(picture.at(312, 90), 0u);
}

TEST(BarCurtain, BarsComeAlternatelyFromTopAndBottom) {
  std::vector<int32_t> xs;
  std::vector<uint32_t> colours;
  BarCurtain bars = curtain(xs, colours);
  for (int32_t tick = 0; tick < 5; tick++) bars.update();  // offset -100, coming down
  Picture down;
  bars.draw(down.framebuffer());
  EXPECT_EQ(down.at(7, 0), colours[0]);
  EXPECT_EQ(down.at(7, 79), colours[0]);
  EXPECT_EQ(down.at(7, 80), 0u);

  for (int32_t tick = 0; tick < 10; tick++)
    bars.update();  // bar 0 placed at offset 60 -> bar 1 rising
  ASSERT_EQ(bars.placed, 1);
  Picture up;
  bars.draw(up.framebuffer());
  EXPECT_EQ(up.at(18, 179), colours[1]);
  EXPECT_EQ(up.at(18, bars.offset), colours[1]);
  EXPECT_EQ(up.at(18, bars.offset - 1), 0u);
}

}  // namespace
