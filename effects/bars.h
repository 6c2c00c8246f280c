// Bar effects: whole screen columns filled with colour.
//
// BarCurtain builds 24 full-height bars one at a time, each sliding in
// alternately from the top and from the bottom. XorBlocks moves four
// full-height blocks that are XORed onto the picture: they slide in from the
// right one after another, and later swing out to the left.
#pragma once

#include <cstdint>

#include "effects/effect.h"

namespace corvexa {

struct BarCurtain final : Effect {
  Array<const int32_t> widths;
  Array<const int32_t> xs;
  Array<const uint32_t> colours;
  int32_t placed = 0;  // bars in place; bar number `placed` is the moving one
  int32_t offset = 0;  // vertical offset of the moving bar, pixels
  int32_t speed = 0;   // pixels per tick; > 0 coming down, < 0 rising

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

struct XorBlocks final : Effect {
  Array<const uint32_t> colours;
  Array<const int32_t> widths;
  int32_t waitX = 0;           // where blocks that have not moved yet stand
  int32_t doneX = 0;           // where blocks that have finished stand
  int32_t launchVelocity = 0;  // 1/256 pixel per tick
  int32_t acceleration = 0;    // 1/256 pixel per tick per tick
  int32_t current = 0;         // the moving block; 4 = all done
  int32_t fromX = 0;
  int32_t toX = 0;
  int32_t velocity = 0;
  int32_t position = 0;  // the moving block's left column, 24.8 fixed point

  void update() override;
  void draw(Framebuffer framebuffer) override;
};

}  // namespace corvexa
