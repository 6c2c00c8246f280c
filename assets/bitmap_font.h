// Bitmap fonts: every glyph side by side in one row of pixels, the strip,
// decoded from an embedded image whose comment describes the font.
#pragma once

#include <cstdint>

#include "core/arena.h"
#include "effects/framebuffer.h"

inline constexpr int32_t kGlyphOffsetCount = 128;

struct BitmapFont {
  Array<uint32_t> pixels;  // the strip, row by row, stride stripWidth
  int32_t stripWidth;
  int32_t stripHeight;
  int32_t glyphWidth;
  int32_t glyphHeight;
  Array<int32_t> glyphOffsets;  // x of each character's glyph in the strip; 0 if unlisted
};

// Copies the glyph whose left column in the strip is sourceX to (x, y),
// clipped to the framebuffer, by the see-through rule.
void drawGlyph(const BitmapFont& font, int32_t sourceX, Framebuffer framebuffer, int32_t x,
               int32_t y);

// Draws text from (x, y) to the right, glyph width + spacing apart, stopping at
// the text's end or at a code of 0.
void drawText(const BitmapFont& font, Array<const char16_t> text, int32_t spacing,
              Framebuffer framebuffer, int32_t x, int32_t y);
