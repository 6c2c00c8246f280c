// The scene: every effect object of the show, the ten-entry timeline that
// says which of them are shown from which tick on, and the per-tick driver
// that advances the timeline and changes parameters at fixed ticks.
#pragma once

#include <cstdint>

#include "base/arena.h"
#include "effects/bars.h"
#include "effects/text_effects.h"
#include "effects/twister.h"

namespace corvexa {

struct SceneEntry {
  int32_t start;                 // the tick at which the entry becomes current
  Array<Effect* const> effects;  // drawn in this order, later over earlier
  int32_t animate;               // nonzero: each tick updates the effects
};

inline constexpr int32_t kTimelineCount = 10;
inline constexpr int32_t kNarrowTwisterCount = 6;
inline constexpr int32_t kCurtainBarCount = 24;

// Start ticks of the timeline entries that the tick actions refer to.
inline constexpr int32_t kJumpingWordTick = 2077;  // entry 5
inline constexpr int32_t kJumpingWordEndTick = 3457;
inline constexpr int32_t kBlocksOutTick = 3558;  // entry 6
inline constexpr int32_t kLabelsOutTick = 4512;  // entry 7
inline constexpr int32_t kLastSceneTick = 5094;  // entry 9

struct Scene {
  TwisterTexture wideTexture;    // width 128
  TwisterTexture narrowTexture;  // width 48
  SwingTwister swingTwister;
  WobbleTwister wideTwister;  // fades its motion out
  WobbleTwister narrowTwisters[kNarrowTwisterCount];
  XorBlocks xorBlocks;
  BarCurtain barCurtain;
  Array<int32_t> curtainWidths, curtainPositions;
  Array<uint32_t> curtainColours;
  SlidingLabel upperLabel;  // the title
  SlidingLabel lowerLabel;  // the tag line
  BouncingScroller scroller;
  BouncingText bouncingText;
  Array<const char16_t> titleText;
  Array<const char16_t> tagText;
  Array<const char16_t> scrollText;
  SceneEntry timeline[kTimelineCount];
  Effect* entryEffects[32];  // storage behind the timeline's effect lists
  int32_t current = 0;       // index of the current timeline entry
  int32_t tick = 0;          // ticks run so far
};

// Builds the whole scene into arena; the tables and fonts must exist already
// and outlive it.
Scene& buildScene(Arena& arena, const EffectTables& tables, const BitmapFont& goldBarFont,
                  const BitmapFont& simpleFont);

// One tick of the show.
void runSceneTick(Scene& scene);

// Draws the current entry's effects in list order (the caller clears first).
void drawScene(Scene& scene, Framebuffer framebuffer);

}  // namespace corvexa
