// Any bytes as a font image: decodeGif, then buildFont from the same bytes
// (frame 0 and the comment), then every character drawn into the
// framebuffer, some across its edges. A decoded image must have the screen's
// size in every frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/bitmap_font.h"
#include "assets/gif_decoder.h"
#include "base/arena.h"
#include "effects/text_drawing.h"

using namespace corvexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return -1;
  const Array<const uint8_t> bytes{static_cast<int32_t>(size), data};
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  const GifResult result = decodeGif(decoder, arena, bytes);
  if (result.error == GifError::kNone) {
    const GifImage& image = *result.image;
    if (image.frames.count < 1 || image.frames.count > kMaxGifFrames) abort();
    for (const GifFrame* frame : image.frames) {
      if (frame->pixels.count != image.width * image.height) abort();
    }
  } else if (result.image != nullptr || describeGifError(result.error)[0] == '\0') {
    abort();
  }

  BitmapFont font{};
  const FontResult built = buildFont(decoder, arena, bytes, font);
  if (built.error != FontError::kNone) return 0;
  static uint32_t pixels[kPixelCount];
  const Framebuffer framebuffer{kPixelCount, pixels};
  char16_t text[256];
  for (int32_t code = 0; code < 256; code++) text[code] = static_cast<char16_t>(code + 1);
  drawText(font, {256, text}, 1, framebuffer, -3, 5);
  for (int32_t code = 0; code < kGlyphOffsetCount; code++) {
    drawGlyph(font, glyphOffset(font, code), framebuffer, code * 3 - 40, code * 2 - 30);
  }
  return 0;
}
