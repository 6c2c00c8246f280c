#include "assets/bitmap_font.h"

// Placeholders until the fonts arrive.
void drawGlyph(const BitmapFont&, int32_t, Framebuffer, int32_t, int32_t) {}
void drawText(const BitmapFont&, Array<const char16_t>, int32_t, Framebuffer, int32_t, int32_t) {}
