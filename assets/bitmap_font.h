// Bitmap fonts: every glyph side by side in one row of pixels, the strip,
// decoded from an embedded image whose comment describes the font.
//
// The descriptor (the image's comment, ASCII): glyph width in decimal, "x",
// glyph height in decimal, one space, then one byte per glyph in strip order,
// left to right, to the end of the comment; the set may itself hold a space.
// "16x28 ABC" is a font of 16 x 28 glyphs whose strip begins with A, B and C.
// A character listed twice keeps its later glyph; a character not listed (and
// any code of 128 or more) draws the strip's first glyph.
//
// Drawing copies glyphs into the framebuffer, clipped to it, by the
// see-through rule: see-through strip pixels leave the picture's colour alone.
#pragma once

#include <cstdint>

#include "assets/gif_decoder.h"
#include "assets/resources.h"
#include "core/arena.h"
#include "effects/framebuffer.h"

inline constexpr int32_t kGlyphOffsetCount = 128;
inline constexpr int32_t kMaxGlyphSize = 4096;  // larger descriptor numbers are refused

struct BitmapFont {
  Array<uint32_t> pixels;  // the strip, row by row, stride stripWidth
  int32_t stripWidth;
  int32_t stripHeight;
  int32_t glyphWidth;
  int32_t glyphHeight;
  Array<int32_t> glyphOffsets;  // x of each character's glyph in the strip; 0 if unlisted
};

// Why a font image could not become a font.
enum class FontError : int32_t {
  kNone = 0,
  kNoResource,     // the resource table has no such name
  kBadImage,       // the image does not decode (the GifError says why)
  kNoDescriptor,   // the image has no comment
  kBadDescriptor,  // the comment is not "WxH " and a character set
  kBadCharacter,   // the character set holds a byte of 128 or more
  kStripTooSmall,  // the glyphs of the descriptor do not fit in the strip
};

const char* describeFontError(FontError error);

struct FontResult {
  FontError error;
  GifError gifError;  // set when error is kBadImage
};

// Builds font from a font image's bytes (frame 0 and the comment); on failure
// font is left as it was.
FontResult buildFont(GifDecoder& decoder, Arena& arena, Array<const uint8_t> bytes,
                     BitmapFont& font);

// The font of an embedded image. The embedded fonts are checked by the tests;
// should one still fail, the font has no glyphs and draws nothing.
BitmapFont createFont(GifDecoder& decoder, Arena& arena, const ResourceName& name);

// The strip x of a character's glyph (0 for codes the offsets do not cover).
inline int32_t glyphOffset(const BitmapFont& font, int32_t code) {
  return code >= 0 && code < font.glyphOffsets.count ? font.glyphOffsets[code] : 0;
}

// Copies the glyph whose left column in the strip is sourceX to (x, y),
// clipped to the framebuffer, by the see-through rule. A sourceX whose glyph
// would not lie inside the strip draws nothing.
void drawGlyph(const BitmapFont& font, int32_t sourceX, Framebuffer framebuffer, int32_t x,
               int32_t y);

// Draws text from (x, y) to the right, glyph width + spacing apart, stopping at
// the text's end or at a code of 0.
void drawText(const BitmapFont& font, Array<const char16_t> text, int32_t spacing,
              Framebuffer framebuffer, int32_t x, int32_t y);
