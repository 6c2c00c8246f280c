#include "core/placement.h"

#include "effects/framebuffer.h"

namespace corvexa {

namespace {

// Window sizes beyond this are treated as this: keeps every product below in
// 32 bits (a 2^20-pixel window is far beyond any display).
constexpr int32_t kLargestSide = 1 << 20;

int32_t clampSide(int32_t side) {
  if (side < 0) return 0;
  return side > kLargestSide ? kLargestSide : side;
}

}  // namespace

Placement placePicture(int32_t windowWidth, int32_t windowHeight) {
  int32_t w = clampSide(windowWidth);
  int32_t h = clampSide(windowHeight);
  Placement place;
  place.turned = w < h;
  // The picture's extent on screen at scale 1.
  int32_t pictureWidth = place.turned ? kScreenHeight : kScreenWidth;
  int32_t pictureHeight = place.turned ? kScreenWidth : kScreenHeight;

  int32_t scaleX = w / pictureWidth;
  int32_t scaleY = h / pictureHeight;
  place.scale = scaleX < scaleY ? scaleX : scaleY;
  if (place.scale > 0) {
    place.width = place.scale * pictureWidth;
    place.height = place.scale * pictureHeight;
  } else if (static_cast<int64_t>(w) * pictureHeight <= static_cast<int64_t>(h) * pictureWidth) {
    // Narrower than the picture's proportions: the width decides.
    place.width = w;
    place.height = static_cast<int32_t>(static_cast<int64_t>(w) * pictureHeight / pictureWidth);
  } else {
    place.height = h;
    place.width = static_cast<int32_t>(static_cast<int64_t>(h) * pictureWidth / pictureHeight);
  }
  place.x = (w - place.width) / 2;
  place.y = (h - place.height) / 2;
  return place;
}

}  // namespace corvexa
