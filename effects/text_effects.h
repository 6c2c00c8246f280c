// Text effects: lines of text drawn with the bitmap fonts.
//
// SlidingLabel moves a line toward a target at a fixed speed. BouncingText
// makes the letters of a line jump on a sine wave, each letter starting and
// stopping only when its own wave passes zero. BouncingScroller scrolls a long
// message from right to left while the whole line bounces between the top and
// the bottom of the screen.
#pragma once

#include <cstdint>

#include "effects/effect.h"
#include "effects/tables.h"
#include "effects/text_drawing.h"

namespace corvexa {

struct SlidingLabel final : Effect {
  const BitmapFont* font = nullptr;
  Array<const char16_t> text;
  int32_t targetX = 0, targetY = 0;
  int32_t spacing = 0;
  int32_t speed = 0;  // pixels per tick on each axis
  int32_t x = 0, y = 0;

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

inline constexpr int32_t kMaxJumpingLetters = 32;

struct BouncingText final : Effect {
  int32_t x = 0, y = 0;
  int32_t spacing = 0;
  Array<const char16_t> text;
  const BitmapFont* font = nullptr;
  const EffectTables* tables = nullptr;  // the letters jump on its sine
  int32_t counter = 0;                   // the wave's phase, ticks
  int32_t amplitude = 0;                 // jump height in pixels; 0 lets the letters come to rest
  uint8_t jumping[kMaxJumpingLetters] = {};

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

struct BouncingScroller final : Effect {
  const BitmapFont* font = nullptr;
  int32_t speedX = 0;  // pixels scrolled left per tick
  int32_t speedY = 0;  // rows per tick; the line moves up while positive
  Array<const char16_t> text;
  int32_t x = 0;  // screen column of the message's first character
  int32_t y = 0;  // top row of the line
  int32_t step = 0;

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

}  // namespace corvexa
