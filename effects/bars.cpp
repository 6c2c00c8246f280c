#include "effects/bars.h"

#include "effects/pixel_runs.h"

namespace corvexa {

namespace {

inline constexpr int32_t kBarCount = 24;
inline constexpr int32_t kBlockCount = 4;

// Sets rows first .. first + rows - 1 of columns x .. x + width - 1 to colour.
void fillColumns(Framebuffer framebuffer, int32_t x, int32_t width, int32_t first, int32_t rows,
                 uint32_t colour) {
  for (int32_t y = first; y < first + rows; y++) {
    fillPixels(&framebuffer[y * kScreenWidth + x], width, colour);
  }
}

// XORs colour onto every row of the columns of a block, clipped to the screen.
void xorColumns(Framebuffer framebuffer, int32_t left, int32_t width, uint32_t colour) {
  if (left < 0) {
    width += left;
    left = 0;
  }
  if (left + width > kScreenWidth) width = kScreenWidth - left;
  if (width <= 0) return;
  for (int32_t y = 0; y < kScreenHeight; y++) {
    xorPixels(&framebuffer[y * kScreenWidth + left], width, colour);
  }
}

}  // namespace

void BarCurtain::update() {
  if (placed == kBarCount) return;
  offset += speed;
  // A bar is in place once it has covered the whole height; the overshoot
  // carries over into the next bar, which comes from the other side.
  if (speed > 0 && offset >= 0) {
    placed++;
    speed = -speed;
    offset = kScreenHeight - offset;
  } else if (speed < 0 && offset <= 0) {
    placed++;
    speed = -speed;
    offset = -kScreenHeight - offset;
  }
}

void BarCurtain::draw(Framebuffer framebuffer) {
  for (int32_t i = 0; i < placed; i++)
    fillColumns(framebuffer, xs[i], widths[i], 0, kScreenHeight, colours[i]);
  if (placed == kBarCount) return;
  // Coming down it covers rows 0 .. 179 + offset; rising, rows offset .. 179.
  int32_t first = offset > 0 ? offset : 0;
  int32_t rows = speed > 0 ? offset + kScreenHeight : kScreenHeight - offset;
  fillColumns(framebuffer, xs[placed], widths[placed], first, rows, colours[placed]);
}

void XorBlocks::update() {
  if (current == kBlockCount) return;
  position += velocity;
  velocity += acceleration;
  int32_t column = position >> 8;
  bool arrived = (toX < fromX && column <= toX) || (toX > fromX && column >= toX);
  if (!arrived) return;
  // The next block starts from its own place, one block width further on.
  int32_t width = widths[current];
  velocity = launchVelocity;
  toX += width;
  fromX += width;
  position = fromX * 256;
  current++;
}

void XorBlocks::draw(Framebuffer framebuffer) {
  int32_t s = 0;  // widths of the blocks before the one being drawn
  for (int32_t i = 0; i < kBlockCount; i++) {
    int32_t left = i < current ? doneX + s : i == current ? position >> 8 : waitX + s;
    xorColumns(framebuffer, left, widths[i], colours[i]);
    s += widths[i];
  }
}

}  // namespace corvexa
