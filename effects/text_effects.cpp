#include "effects/text_effects.h"

#include "base/wrapping.h"
#include "effects/tables.h"

namespace corvexa {

namespace {

// One step of a coordinate toward its target; a distance that is not a
// multiple of speed makes it step back and forth across the target.
int32_t stepToward(int32_t value, int32_t target, int32_t speed) {
  if (value < target) return wrapAdd(value, speed);
  if (value > target) return wrapAdd(value, wrapMul(speed, -1));
  return value;
}

}  // namespace

void SlidingLabel::update() {
  x = stepToward(x, targetX, speed);
  y = stepToward(y, targetY, speed);
}

void SlidingLabel::draw(Framebuffer framebuffer) {
  drawText(*font, text, spacing, framebuffer, x, y);
}

// The counter grows for as long as the program runs and wraps at 2^32.
void BouncingText::update() {
  counter = wrapAdd(counter, 1);
}

void BouncingText::draw(Framebuffer framebuffer) {
  int32_t cell = font->glyphWidth + spacing;
  // Waves of height 4 let moving letters finish while the amplitude is 0.
  int32_t height = amplitude != 0 ? amplitude : 4;
  for (int32_t i = 0; i < text.count && text[i] != 0; i++) {
    int32_t letterX = wrapAdd(x, wrapMul(i, cell));
    int32_t phase = wrapMul(wrapAdd(counter, letterX), 1000);
    int32_t lift = static_cast<int32_t>(static_cast<int64_t>(tables->sine(phase)) * height / 32767);
    // A letter starts and stops only where its own wave passes zero; letters
    // past the flags' capacity stay at rest.
    bool jumps = false;
    if (i < kMaxJumpingLetters) {
      if (amplitude == 0 && jumping[i] && lift == 0) jumping[i] = 0;
      if (amplitude > 0 && !jumping[i] && lift == 0) jumping[i] = 1;
      jumps = jumping[i] != 0;
    }
    drawGlyph(*font, glyphOffset(*font, text[i]), framebuffer, letterX, jumps ? y + lift : y);
  }
}

void BouncingScroller::update() {
  // The message repeats every length x step columns; x stays above minus that.
  int64_t length = static_cast<int64_t>(text.count) * step;
  x = wrapAdd(x, wrapMul(speedX, -1));
  if (length > 0) {
    while (x < -length) x = static_cast<int32_t>(x + length);
  }
  y = wrapAdd(y, wrapMul(speedY, -1));
  if (y < 0) {
    y = -y;
    speedY = -speedY;
  }
  int32_t height = font->glyphHeight;
  if (y + height > kScreenHeight) {
    y = 2 * kScreenHeight - 2 * height - y;
    speedY = -speedY;
  }
}

void BouncingScroller::draw(Framebuffer framebuffer) {
  if (step <= 0 || text.count == 0) return;
  // The first cell that shows: cells left of the screen are skipped whole.
  int32_t first = x < 0 ? -(x / step) : 0;
  int64_t cellX = static_cast<int64_t>(x) + static_cast<int64_t>(first) * step;
  int32_t cells = kScreenWidth / step + 2;
  for (int32_t i = 0; i < cells && cellX < kScreenWidth; i++) {
    // Past the message's end the cells go on with its start, without a gap.
    int32_t k = (first + i) % text.count;
    drawGlyph(*font, glyphOffset(*font, text[k]), framebuffer, static_cast<int32_t>(cellX), y);
    cellX += step;
  }
}

}  // namespace corvexa
