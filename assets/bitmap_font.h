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
// The fonts are data only; effects/text_drawing.h draws with them.
#pragma once

#include <cstdint>

#include "assets/gif_decoder.h"
#include "assets/resources.h"
#include "base/arena.h"

namespace corvexa {

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

// One line for a message: "no error", "no such resource", ...; for kBadImage
// the GifError says more (describeGifError).
const char* describeFontError(FontError error);

struct FontResult {
  FontError error;
  GifError gifError;  // set when error is kBadImage
};

// Builds font from a font image's bytes (frame 0 and the comment); on failure
// font is left as it was.
FontResult buildFont(GifDecoder& decoder, Arena& arena, Array<const uint8_t> bytes,
                     BitmapFont& font);

// The font of the image that resources name. Should it be missing or fail to
// decode, the font has no glyphs and draws nothing, and the result says why.
FontResult createFont(GifDecoder& decoder, Arena& arena, ResourceTable resources,
                      const ResourceName& name, BitmapFont& font);

// The font of an embedded image (checked by the tests), or a font without
// glyphs should it fail.
BitmapFont createFont(GifDecoder& decoder, Arena& arena, const ResourceName& name);

// The strip x of a character's glyph (0 for codes the offsets do not cover).
inline int32_t glyphOffset(const BitmapFont& font, int32_t code) {
  return code >= 0 && code < font.glyphOffsets.count ? font.glyphOffsets[code] : 0;
}

}  // namespace corvexa
