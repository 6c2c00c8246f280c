#include "effects/twister.h"

TwisterTexture buildTwisterTexture(Arena& arena, int32_t width) {
  TwisterTexture texture;
  texture.palette = arena.makeArray<int32_t>(3);
  texture.width = width;
  texture.pixels = arena.makeArray<uint8_t>(width * kTwisterRows);
  return texture;
}

void drawStrip(TwisterTexture&, int32_t, int32_t, int32_t, int32_t, int32_t, Framebuffer) {}
void SwingTwister::update() {}
void SwingTwister::draw(Framebuffer) {}
void WobbleTwister::update() {}
void WobbleTwister::draw(Framebuffer) {}
