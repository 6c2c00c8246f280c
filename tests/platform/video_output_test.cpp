// The picture as SDL's software renderer draws it into a surface: the same
// texture, placement and copy as in a window.
#include "platform/video_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "effects/framebuffer.h"

using namespace corvexa;

namespace {

// Every framebuffer pixel a different colour; some with a fourth byte set,
// which must not show.
std::vector<uint32_t> testPattern() {
  std::vector<uint32_t> pixels(kPixelCount);
  for (int32_t y = 0; y < kScreenHeight; y++) {
    for (int32_t x = 0; x < kScreenWidth; x++) {
      uint32_t fourth = (x + y) % 3 == 0 ? 0xFF000000u : (x % 5 == 0 ? 0x80000000u : 0);
      pixels[y * kScreenWidth + x] = fourth | static_cast<uint32_t>(x & 0xFF) |
                                     static_cast<uint32_t>(y) << 8 |
                                     static_cast<uint32_t>(0x40 + (x >> 8) * 0x40) << 16;
    }
  }
  return pixels;
}

// 0xRRGGBB of a framebuffer pixel.
uint32_t visible(uint32_t pixel) {
  return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}

struct Canvas {
  SDL_Surface* surface = nullptr;
  VideoOutput video;

  Canvas(int32_t width, int32_t height) {
    surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888);
    if (!surface) return;
    SDL_FillRect(surface, nullptr, 0x123456);  // anything the picture leaves is wrong
    video.renderer = SDL_CreateSoftwareRenderer(surface);
  }
  ~Canvas() {
    closeVideo(video);
    if (surface) SDL_FreeSurface(surface);
  }
  uint32_t at(int32_t x, int32_t y) const {
    auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  }
  void draw(const std::vector<uint32_t>& pixels) {
    ASSERT_NE(video.renderer, nullptr) << SDL_GetError();
    ASSERT_TRUE(createFrameTexture(video));
    ASSERT_TRUE(placeVideo(video));
    ASSERT_TRUE(drawFrame(video, pixels.data()));
    SDL_RenderPresent(video.renderer);
  }
};

// Counts the surface's pixels that differ from the picture at placement.
int64_t countWrongPixels(const Canvas& canvas, const std::vector<uint32_t>& pixels,
                         const Placement& place) {
  int64_t wrong = 0;
  for (int32_t sy = 0; sy < canvas.surface->h; sy++) {
    for (int32_t sx = 0; sx < canvas.surface->w; sx++) {
      uint32_t expected = 0;
      int32_t column = sx - place.x, row = sy - place.y;
      if (column >= 0 && row >= 0 && column < place.width && row < place.height) {
        int32_t fx = column / place.scale, fy = row / place.scale;
        if (place.turned) {  // top row up the left edge, right column along the top
          fx = kScreenWidth - 1 - row / place.scale;
          fy = column / place.scale;
        }
        expected = visible(pixels[fy * kScreenWidth + fx]);
      }
      if (canvas.at(sx, sy) != expected && wrong++ < 3) {
        ADD_FAILURE() << "pixel (" << sx << ", " << sy << ") is " << std::hex << canvas.at(sx, sy)
                      << ", not " << expected;
      }
    }
  }
  return wrong;
}

}  // namespace

TEST(VideoOutput, LandscapeAtWholeScaleWithBlackBorders) {
  std::vector<uint32_t> pixels = testPattern();
  Canvas canvas(1366, 768);
  canvas.draw(pixels);
  EXPECT_EQ(canvas.video.placement.scale, 4);
  EXPECT_EQ(countWrongPixels(canvas, pixels, canvas.video.placement), 0);
}

TEST(VideoOutput, PortraitTurnsAQuarterCounterClockwise) {
  std::vector<uint32_t> pixels = testPattern();
  Canvas canvas(400, 700);
  canvas.draw(pixels);
  const Placement& place = canvas.video.placement;
  ASSERT_TRUE(place.turned);
  EXPECT_EQ(place.scale, 2);
  EXPECT_EQ(countWrongPixels(canvas, pixels, place), 0);
  // The framebuffer's top-left pixel ends up at the bottom-left.
  EXPECT_EQ(canvas.at(place.x, place.y + place.height - 1), visible(pixels[0]));
}

TEST(VideoOutput, TinyWindowShowsTheWholePictureShrunk) {
  std::vector<uint32_t> pixels(kPixelCount, 0x00FFFFFFu);
  Canvas canvas(200, 150);
  canvas.draw(pixels);
  const Placement& place = canvas.video.placement;
  EXPECT_EQ(place.scale, 0);
  // White exactly over the shrunk picture, black around it.
  int64_t wrong = 0;
  for (int32_t y = 0; y < 150; y++) {
    for (int32_t x = 0; x < 200; x++) {
      bool inside = y >= place.y && y < place.y + place.height;
      wrong += canvas.at(x, y) != (inside ? 0xFFFFFFu : 0u);
    }
  }
  EXPECT_EQ(wrong, 0);
}
