#include "assets/bitmap_font.h"

namespace corvexa {

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

FontResult createFont(GifDecoder& decoder, Arena& arena, ResourceTable resources,
                      const ResourceName& name, BitmapFont& font) {
  font = BitmapFont{{}, 0, 0, 0, 0, arena.makeArray<int32_t>(kGlyphOffsetCount)};
  const ResourceEntry* entry = findResource(resources, name);
  if (entry == nullptr) return {FontError::kNoResource, GifError::kNone};
  return buildFont(decoder, arena, entry->bytes, font);
}

BitmapFont createFont(GifDecoder& decoder, Arena& arena, const ResourceName& name) {
  BitmapFont font;
  createFont(decoder, arena, embeddedResources(), name, font);
  return font;
}

}  // namespace corvexa
