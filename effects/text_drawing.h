// Text drawing: glyphs of a bitmap font copied into the framebuffer, clipped
// to it, by the see-through rule: see-through strip pixels leave the picture's
// colour alone.
#pragma once

#include <cstdint>

#include "assets/bitmap_font.h"
#include "effects/framebuffer.h"

namespace corvexa {

// Copies the glyph whose left column in the strip is sourceX to (x, y),
// clipped to the framebuffer, by the see-through rule. A sourceX whose glyph
// would not lie inside the strip draws nothing.
void drawGlyph(const BitmapFont& font, int32_t sourceX, Framebuffer framebuffer, int32_t x,
               int32_t y);

// Draws text from (x, y) to the right, glyph width + spacing apart, stopping at
// the text's end or at a code of 0.
void drawText(const BitmapFont& font, Array<const char16_t> text, int32_t spacing,
              Framebuffer framebuffer, int32_t x, int32_t y);

}  // namespace corvexa
