#include "tools/corvexa-tool/flash_counter.h"

#include <algorithm>
#include <cmath>

#include "effects/framebuffer.h"

namespace corvexa::corvexa_tool {

namespace {

constexpr int32_t kOne = 16384;                   // luminance 1.0
constexpr int32_t kGeneralThreshold = 1639;       // 0.1, rounded up
constexpr int32_t kRedThreshold = kOne / 16 + 1;  // above 20 / 320
constexpr int32_t kCellsAcross = kScreenWidth / kFieldStep;
constexpr int32_t kCellsDown = kScreenHeight / kFieldStep;
constexpr int32_t kCellCount = kCellsAcross * kCellsDown;
constexpr int32_t kTableWidth = kCellsAcross + 1;  // with a row and a column of 0
constexpr int32_t kTableSize = kTableWidth * (kCellsDown + 1);
constexpr int32_t kFieldCellsAcross = kFieldWidth / kFieldStep;
constexpr int32_t kFieldCellsDown = kFieldHeight / kFieldStep;
constexpr int32_t kFieldsAcross = kCellsAcross - kFieldCellsAcross + 1;
constexpr int32_t kFieldsDown = kCellsDown - kFieldCellsDown + 1;
constexpr int32_t kFieldArea = kFieldWidth * kFieldHeight;
constexpr int32_t kQuarterField = kFieldArea / 4;
// A level can run one way for the whole show; it stays far from overflow.
constexpr int32_t kLevelLimit = 1 << 29;

static_assert(kScreenWidth % kFieldStep == 0 && kScreenHeight % kFieldStep == 0);
static_assert(kFieldWidth % kFieldStep == 0 && kFieldHeight % kFieldStep == 0);
static_assert(int64_t{kPixelCount} * kOne < INT32_MAX, "a whole screen's luminance fits");

// What a cell sums, one block of kCellCount each.
enum Sum : int32_t {
  kLuminance,
  kLuminanceUp,  // pixels that became lighter since the last frame
  kLuminanceDown,
  kRed,
  kRedUp,
  kRedDown,
  kSaturated,  // pixels that are saturated red
  kChanged,    // pixels that changed since the last frame
  kSumCount,
};

struct Colour {
  int32_t luminance;
  int32_t red;  // R - G - B on linear values, 0 when negative
  int32_t saturated;
};

}  // namespace

FlashCounter::FlashCounter()
    : previous_(kPixelCount, 0),
      cells_(kSumCount * kCellCount, 0),
      table_(kSumCount * kTableSize, 0),
      lastLuminance_(kFieldsAcross * kFieldsDown, 0),
      lastRed_(kFieldsAcross * kFieldsDown, 0),
      general_(kFieldsAcross * kFieldsDown),
      red_(kFieldsAcross * kFieldsDown) {
  // Before the first frame the screen is black: dark, and not red.
  for (Level& level : general_) level.lowState = level.highState = true;
  for (int32_t value = 0; value < 256; value++) {
    double c = value / 255.0;
    double linear = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    linear_[value] = static_cast<int32_t>(std::lround(linear * kOne));
    redLuminance_[value] = static_cast<int32_t>(std::lround(0.2126 * linear * kOne));
    greenLuminance_[value] = static_cast<int32_t>(std::lround(0.7152 * linear * kOne));
    blueLuminance_[value] = static_cast<int32_t>(std::lround(0.0722 * linear * kOne));
  }
}

void FlashCounter::add(const uint32_t* frame) {
  if (tick_ % kTicksPerSecond == 0) {
    count_.generalBySecond.push_back(0);
    count_.redBySecond.push_back(0);
  }
  tick_++;
  auto colour = [this](uint32_t pixel) {
    int32_t r = pixel & 0xFF, g = pixel >> 8 & 0xFF, b = pixel >> 16 & 0xFF;
    int32_t red = linear_[r], other = linear_[g] + linear_[b];
    return Colour{redLuminance_[r] + greenLuminance_[g] + blueLuminance_[b],
                  std::max(red - other, 0), red > 0 && red >= 4 * other ? 1 : 0};
  };
  int32_t* cells = cells_.data();
  for (Sum sum : {kLuminanceUp, kLuminanceDown, kRedUp, kRedDown, kChanged})
    std::fill_n(cells + sum * kCellCount, kCellCount, 0);
  for (int32_t y = 0; y < kScreenHeight; y++) {
    const uint32_t* row = frame + y * kScreenWidth;
    uint32_t* last = previous_.data() + y * kScreenWidth;
    if (std::equal(row, row + kScreenWidth, last)) continue;
    for (int32_t x = 0; x < kScreenWidth; x++) {
      if (row[x] == last[x]) continue;
      Colour before = colour(last[x]), after = colour(row[x]);
      last[x] = row[x];
      int32_t cell = y / kFieldStep * kCellsAcross + x / kFieldStep;
      cells[kLuminance * kCellCount + cell] += after.luminance - before.luminance;
      if (after.luminance != before.luminance)
        cells[(after.luminance > before.luminance ? kLuminanceUp : kLuminanceDown) * kCellCount +
              cell]++;
      cells[kRed * kCellCount + cell] += after.red - before.red;
      if (after.red != before.red)
        cells[(after.red > before.red ? kRedUp : kRedDown) * kCellCount + cell]++;
      cells[kSaturated * kCellCount + cell] += after.saturated - before.saturated;
      cells[kChanged * kCellCount + cell]++;
    }
  }

  // Each sum over the cells above and left of a corner, so that a field's sum
  // is four look-ups.
  for (int32_t sum = 0; sum < kSumCount; sum++) {
    const int32_t* from = cells + sum * kCellCount;
    int32_t* table = table_.data() + sum * kTableSize;
    for (int32_t y = 0; y < kCellsDown; y++) {
      int32_t row = 0;
      for (int32_t x = 0; x < kCellsAcross; x++) {
        row += from[y * kCellsAcross + x];
        table[(y + 1) * kTableWidth + x + 1] = table[y * kTableWidth + x + 1] + row;
      }
    }
  }

  for (int32_t fy = 0; fy < kFieldsDown; fy++) {
    for (int32_t fx = 0; fx < kFieldsAcross; fx++) {
      int32_t corner = fy * kTableWidth + fx;
      int32_t across = kFieldCellsAcross, down = kFieldCellsDown * kTableWidth;
      auto field = [&](Sum sum) {
        const int32_t* table = table_.data() + sum * kTableSize + corner;
        return table[down + across] - table[down] - table[across] + table[0];
      };
      // The mean change of the pixels that went the way of the field's net
      // change, when they are a quarter of it.
      auto change = [](int32_t net, int32_t up, int32_t down) {
        if (net > 0 && up >= kQuarterField) return net / up;
        if (net < 0 && down >= kQuarterField) return net / down;
        return 0;
      };
      // A field where nothing changed stays as it was.
      if (field(kChanged) == 0) continue;
      int32_t index = fy * kFieldsAcross + fx;
      int32_t x = fx * kFieldStep, y = fy * kFieldStep;
      int32_t luminance = field(kLuminance), red = field(kRed);
      follow(general_[index],
             change(luminance - lastLuminance_[index], field(kLuminanceUp), field(kLuminanceDown)),
             kGeneralThreshold, 5 * luminance < 4 * kFieldArea * kOne, false, x, y);
      follow(red_[index], change(red - lastRed_[index], field(kRedUp), field(kRedDown)),
             kRedThreshold, field(kSaturated) >= kQuarterField, true, x, y);
      lastLuminance_[index] = luminance;
      lastRed_[index] = red;
    }
  }
}

void FlashCounter::follow(Level& f, int32_t change, int32_t threshold, bool state, bool red,
                          int32_t fieldX, int32_t fieldY) {
  f.level = std::clamp(f.level + change, -kLevelLimit, kLevelLimit);
  bool turned = false;
  if (f.direction == 0) {
    if (f.level < f.low) f.low = f.level, f.lowState = state;
    if (f.level > f.high) f.high = f.level, f.highState = state;
    if (f.level - f.low >= threshold || f.high - f.level >= threshold) {
      f.direction = f.level - f.low >= threshold ? 1 : -1;
      f.turnState = f.direction > 0 ? f.lowState : f.highState;
      turned = true;
    }
  } else if (f.direction * (f.level - f.extreme) > 0) {
    f.extreme = f.level, f.extremeState = state;
  } else if (f.direction * (f.extreme - f.level) >= threshold) {
    f.direction = -f.direction;
    f.turnState = f.extremeState;
    turned = true;
  }
  if (turned) {
    f.extreme = f.level, f.extremeState = state;
    f.pending = true;
  }
  if (!f.pending || !(f.turnState || state)) return;
  f.pending = false;
  // The transitions of the second that ends with this one.
  while (f.size > 0 && f.ticks[f.first] <= tick_ - kTicksPerSecond) {
    f.first = (f.first + 1) % kTicksPerSecond;
    f.size--;
  }
  f.ticks[(f.first + f.size) % kTicksPerSecond] = tick_;
  f.size++;
  int32_t flashes = f.size / 2;
  int32_t& second = (red ? count_.redBySecond : count_.generalBySecond).back();
  second = std::max(second, flashes);
  WorstSecond& worst = red ? count_.red : count_.general;
  if (flashes > worst.flashes)
    worst = {flashes, std::max(tick_ - kTicksPerSecond + 1, 1), fieldX, fieldY};
}

}  // namespace corvexa::corvexa_tool
