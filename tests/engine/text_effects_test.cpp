#include "effects/text_effects.h"

#include <gtest/gtest.h>

#include "effects/tables.h"
#include "tests/engine/effect_tables.h"

using namespace corvexa;

namespace {

// A font of solid glyphs: glyph g of width w is filled with colour g + 1, and
// character 'A' + g names it. Cells are easy to tell apart on the screen.
struct SolidFont {
  Arena arena;
  BitmapFont font{};
  SolidFont(int32_t glyphs, int32_t width, int32_t height) {
    font = {
        arena.makeArray<uint32_t>(glyphs * width * height), glyphs * width, height, width, height,
        arena.makeArray<int32_t>(kGlyphOffsetCount)};
    for (int32_t g = 0; g < glyphs; g++) {
      font.glyphOffsets['A' + g] = g * width;
      for (int32_t r = 0; r < height; r++)
        for (int32_t c = 0; c < width; c++)
          font.pixels[r * font.stripWidth + g * width + c] = static_cast<uint32_t>(g + 1);
    }
  }
};

struct Screen {
  Arena arena;
  Framebuffer pixels = arena.makeArray<uint32_t>(kPixelCount);
  uint32_t at(int32_t x, int32_t y) const { return pixels[y * kScreenWidth + x]; }
  bool operator==(const Screen& other) const {
    return std::equal(pixels.begin(), pixels.end(), other.pixels.begin());
  }
};

}  // namespace

TEST(SlidingLabel, StepsTowardItsTargetWithoutClamping) {
  SolidFont f(2, 16, 28);
  SlidingLabel label;
  label.font = &f.font;
  label.speed = 6;
  label.x = 95, label.targetX = 100;
  label.y = 40, label.targetY = 40;
  label.update();
  EXPECT_EQ(label.x, 101);  // one past
  label.update();
  EXPECT_EQ(label.x, 95);  // and back
  EXPECT_EQ(label.y, 40);  // at its target: no move
  label.targetY = 28;
  label.update();
  EXPECT_EQ(label.y, 34);

  const char16_t text[] = u"AB";
  label.text = {2, text};
  label.spacing = 1;
  Screen s;
  label.draw(s.pixels);
  EXPECT_EQ(s.at(label.x, label.y), 1u);
  EXPECT_EQ(s.at(label.x + 17, label.y), 2u);
  EXPECT_EQ(s.at(label.x + 16, label.y), 0u);
}

TEST(BouncingText, RestingLettersDrawLikeText) {
  SolidFont f(7, 16, 28);
  const char16_t text[] = u"ABCDEFG";
  BouncingText jumping;
  jumping.tables = &testTables();
  jumping.font = &f.font;
  jumping.text = {7, text};
  jumping.x = 170, jumping.y = 104, jumping.spacing = 1;
  for (int32_t tick = 0; tick < 50; tick++) {
    jumping.update();
    Screen drawn, expected;
    jumping.draw(drawn.pixels);
    drawText(f.font, jumping.text, 1, expected.pixels, 170, 104);
    ASSERT_TRUE(drawn == expected) << tick;
  }
}

TEST(BouncingText, LettersStartAndStopAtZerosOfTheirWave) {
  SolidFont f(7, 16, 28);
  const char16_t text[] = u"ABCDEFG";
  BouncingText jumping;
  jumping.tables = &testTables();
  jumping.font = &f.font;
  jumping.text = {7, text};
  jumping.x = 170, jumping.y = 104, jumping.spacing = 1;
  jumping.amplitude = 10;
  // Each letter's lift, as the wave gives it, and its flag.
  auto lift = [&](int32_t i, int32_t height) {
    int32_t x = 170 + 17 * i;
    return testTables().sine((jumping.counter + x) * 1000) * height / 32767;
  };
  int32_t started = 0, ticks = 0, lifted = 0;
  for (; ticks < 2000 && started < 7; ticks++) {
    uint8_t before[7];
    std::copy(jumping.jumping, jumping.jumping + 7, before);
    Screen s;
    jumping.draw(s.pixels);
    for (int32_t i = 0; i < 7; i++) {
      if (!before[i] && jumping.jumping[i]) {
        EXPECT_EQ(lift(i, 10), 0) << "letter " << i << " started off its zero";
        started++;
      }
      int32_t top = jumping.jumping[i] ? 104 + lift(i, 10) : 104;
      lifted += top != 104;
      ASSERT_EQ(s.at(170 + 17 * i, top), static_cast<uint32_t>(i + 1)) << i << " " << ticks;
      ASSERT_NE(s.at(170 + 17 * i, top - 1), static_cast<uint32_t>(i + 1));
    }
    jumping.update();
  }
  EXPECT_EQ(started, 7);
  EXPECT_GT(lifted, 0);

  // Amplitude 0: moving letters finish a wave of height 4 and come to rest at a zero.
  jumping.amplitude = 0;
  int32_t stopped = 0;
  for (int32_t tick = 0; tick < 2000 && stopped < 7; tick++) {
    Screen s;
    jumping.draw(s.pixels);
    stopped = 0;
    for (int32_t i = 0; i < 7; i++) {
      stopped += !jumping.jumping[i];
      int32_t top = jumping.jumping[i] ? 104 + lift(i, 4) : 104;
      ASSERT_EQ(s.at(170 + 17 * i, top), static_cast<uint32_t>(i + 1));
    }
    jumping.update();
  }
  EXPECT_EQ(stopped, 7);
}

TEST(BouncingText, LongTextsAndAWrappingCounter) {
  SolidFont f(2, 4, 4);
  std::u16string text(40, u'B');
  BouncingText jumping;
  jumping.tables = &testTables();
  jumping.font = &f.font;
  jumping.text = {40, text.data()};
  jumping.amplitude = 10;
  jumping.counter = INT32_MAX;
  jumping.update();
  EXPECT_EQ(jumping.counter, INT32_MIN);
  Screen s;
  jumping.draw(s.pixels);  // letters past the 32 flags rest
  EXPECT_EQ(s.at(39 * 4, 0), 2u);
}

TEST(BouncingScroller, ScrollsAndBounces) {
  SolidFont f(4, 32, 32);
  std::u16string message(402, u'A');
  BouncingScroller scroller;
  scroller.font = &f.font;
  scroller.text = {402, message.data()};
  scroller.step = 36;
  scroller.speedX = 2;
  scroller.speedY = 2;
  scroller.x = -14471;
  scroller.y = 1;
  scroller.update();
  EXPECT_EQ(scroller.x, -1);  // -14473 + 14472
  EXPECT_EQ(scroller.y, 1);   // -1 bounces off the top
  EXPECT_EQ(scroller.speedY, -2);
  scroller.y = 147;
  scroller.update();
  EXPECT_EQ(scroller.y, 147);  // 149 + 32 passes 180: back to 147
  EXPECT_EQ(scroller.speedY, 2);

  int32_t lowest = 0;
  for (int32_t tick = 0; tick < 20000; tick++) {
    scroller.update();
    lowest = std::min(lowest, scroller.x);
    ASSERT_GE(scroller.y, 0);
    ASSERT_LE(scroller.y, 148);
  }
  EXPECT_GE(lowest, -14472);
}

TEST(BouncingScroller, CellsFollowTheMessageAndWrap) {
  SolidFont f(4, 32, 32);
  const char16_t text[] = u"ABCD";  // steps of 36: the message repeats every 144 columns
  BouncingScroller scroller;
  scroller.font = &f.font;
  scroller.text = {4, text};
  scroller.step = 36;
  scroller.y = 10;
  auto cellAt = [&](int32_t x) {
    Screen s;
    scroller.draw(s.pixels);
    return s.at(x, 10);
  };
  scroller.x = -36;
  EXPECT_EQ(cellAt(0), 2u);  // the second character at column 0
  scroller.x = -35;          // the first at -35, clipped away but for the gap
  EXPECT_EQ(cellAt(0), 0u);
  EXPECT_EQ(cellAt(1), 2u);
  scroller.x = -20;
  EXPECT_EQ(cellAt(0), 1u);
  EXPECT_EQ(cellAt(16), 2u);
  scroller.x = -108;  // D at column 0, then the message starts again
  EXPECT_EQ(cellAt(0), 4u);
  EXPECT_EQ(cellAt(36), 1u);
  EXPECT_EQ(cellAt(72), 2u);
  EXPECT_EQ(cellAt(180), 1u);  // and again, never past the text
  EXPECT_EQ(cellAt(288), 4u);
  scroller.x = -5000;  // below one message length: still inside the text
  Screen s;
  scroller.draw(s.pixels);
  scroller.x = 320;  // right of the screen: nothing shows
  Screen none;
  scroller.draw(none.pixels);
  EXPECT_TRUE(
      std::all_of(none.pixels.begin(), none.pixels.end(), [](uint32_t p) { return p == 0; }));
}
