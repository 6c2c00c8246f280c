#include "assets/bitmap_font.h"

#include "effects/pixel_runs.h"

namespace {

bool isDigit(uint8_t byte) {
  return byte >= '0' && byte <= '9';
}

// A decimal number of the descriptor from at up to (not including) the byte
// end; at moves past that byte. Gives -1 when a byte is not a digit, the
// number is empty or larger than kMaxGlyphSize, or end never comes.
int32_t readNumber(Array<uint8_t> comment, int32_t& at, uint8_t end) {
  int32_t value = 0;
  int32_t digits = 0;
  while (at < comment.count && comment[at] != end) {
    if (!isDigit(comment[at])) return -1;
    value = value * 10 + (comment[at] - '0');
    if (value > kMaxGlyphSize) return -1;
    digits++;
    at++;
  }
  if (at == comment.count || digits == 0) return -1;
  at++;  // the end byte
  return value;
}

}  // namespace

const char* describeFontError(FontError error) {
  switch (error) {
    case FontError::kNone:
      return "no error";
    case FontError::kNoResource:
      return "no such resource";
    case FontError::kBadImage:
      return "the image does not decode";
    case FontError::kNoDescriptor:
      return "the image has no comment to describe the font";
    case FontError::kBadDescriptor:
      return "the comment is not a font descriptor (\"WxH \" and characters)";
    case FontError::kBadCharacter:
      return "the character set holds a byte of 128 or more";
    case FontError::kStripTooSmall:
      return "the glyphs do not fit in the image";
  }
  return "unknown error";
}

FontResult buildFont(GifDecoder& decoder, Arena& arena, Array<const uint8_t> bytes,
                     BitmapFont& font) {
  GifResult decoded = decodeGif(decoder, arena, bytes);
  if (decoded.error != GifError::kNone) return {FontError::kBadImage, decoded.error};
  const GifImage& image = *decoded.image;
  Array<uint8_t> comment = image.comment;
  if (comment.items == nullptr) return {FontError::kNoDescriptor, GifError::kNone};

  int32_t at = 0;
  int32_t glyphWidth = readNumber(comment, at, 'x');
  int32_t glyphHeight = glyphWidth < 0 ? -1 : readNumber(comment, at, ' ');
  if (glyphWidth <= 0 || glyphHeight <= 0) return {FontError::kBadDescriptor, GifError::kNone};
  int32_t glyphCount = comment.count - at;
  if (glyphHeight > image.height || glyphWidth > image.width ||
      glyphCount > image.width / glyphWidth) {
    return {FontError::kStripTooSmall, GifError::kNone};
  }
  Array<int32_t> offsets = arena.makeArray<int32_t>(kGlyphOffsetCount);
  for (int32_t k = 0; k < glyphCount; k++) {
    uint8_t code = comment[at + k];
    if (code >= kGlyphOffsetCount) return {FontError::kBadCharacter, GifError::kNone};
    offsets[code] = k * glyphWidth;
  }
  font = BitmapFont{
      image.frames[0]->pixels, image.width, image.height, glyphWidth, glyphHeight, offsets};
  return {FontError::kNone, GifError::kNone};
}

BitmapFont createFont(GifDecoder& decoder, Arena& arena, const ResourceName& name) {
  BitmapFont font{{}, 0, 0, 0, 0, arena.makeArray<int32_t>(kGlyphOffsetCount)};
  const Array<const uint8_t>* bytes = lookupResource(name);
  if (bytes != nullptr) buildFont(decoder, arena, *bytes, font);
  return font;
}

void drawGlyph(const BitmapFont& font, int32_t sourceX, Framebuffer framebuffer, int32_t x,
               int32_t y) {
  int32_t w = font.glyphWidth;
  int32_t h = font.glyphHeight;
  // Only glyphs that lie inside the strip, and only when some of it shows.
  if (w <= 0 || h <= 0 || h > font.stripHeight || sourceX < 0 || sourceX > font.stripWidth - w ||
      font.pixels.count < font.stripWidth * font.stripHeight) {
    return;
  }
  if (x >= kScreenWidth || y >= kScreenHeight || x <= -w || y <= -h) return;
  int32_t skipRows = 0;
  if (x < 0) {
    sourceX -= x;
    w += x;
    x = 0;
  }
  if (y < 0) {
    skipRows = -y;
    h += y;
    y = 0;
  }
  if (x + w > kScreenWidth) w = kScreenWidth - x;
  if (y + h > kScreenHeight) h = kScreenHeight - y;
  for (int32_t j = 0; j < h; j++) {
    const uint32_t* source = font.pixels.items + (skipRows + j) * font.stripWidth + sourceX;
    uint32_t* destination = framebuffer.items + (y + j) * kScreenWidth + x;
    copyPixels(destination, source, w);
  }
}

void drawText(const BitmapFont& font, Array<const char16_t> text, int32_t spacing,
              Framebuffer framebuffer, int32_t x, int32_t y) {
  // The pen moves in 64 bits so that no text can overflow it; glyphs that
  // would lie wholly off the screen are not drawn.
  int64_t pen = x;
  int64_t advance = static_cast<int64_t>(font.glyphWidth) + spacing;
  for (int32_t i = 0; i < text.count; i++) {
    char16_t code = text[i];
    if (code == 0) break;
    if (pen > -font.glyphWidth && pen < kScreenWidth) {
      drawGlyph(font, glyphOffset(font, code), framebuffer, static_cast<int32_t>(pen), y);
    }
    pen += advance;
  }
}
