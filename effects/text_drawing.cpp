#include "effects/text_drawing.h"

#include "effects/pixel_runs.h"

namespace corvexa {

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

}  // namespace corvexa
