// Counting the show's flashes as WCAG 2.3.1 ("Three Flashes or Below
// Threshold") counts them, frame by frame.
//
// Fields. The picture is looked at through fields of kFieldWidth x
// kFieldHeight framebuffer pixels, one at every kFieldStep pixels across and
// down: a 10-degree field of view with the 4:3 shape of WCAG's 341 x 256
// pixels at 1024 x 768. The size assumes the picture at 6 times (1920 x 1080)
// on a 24-inch 16:9 screen (0.277 mm pixels), seen from 56 cm, the near end
// of WCAG's 22 to 26 inches: 10 degrees there are 2 * 560 * tan 5 = 98 mm,
// 354 screen pixels, 59 framebuffer pixels, and 7.5 degrees 44; 59 rounds up
// to the 4-pixel grid. (At 1024 x 768 on 15 to 17 inches, WCAG's own case,
// the picture is 3 times larger in pixels and the field 114 x 85
// framebuffer pixels, so smaller flashes count here.)
//
// Flashing together. From one frame to the next, a field changes together
// when at least a quarter of its pixels (WCAG's 25 % of a 10-degree field)
// change in the direction of the field's net change: its step is then the
// net change over the pixels that went that way (the mean change of the area
// that changes), and otherwise 0. A field's steps add up to a level, the
// brightness of the area in it that changes together.
//
// Transitions and flashes. A transition is a run of the level between two
// turning points, where a turning point counts once the level has left it by
// the threshold; so a transition is counted in the frame where it reaches
// the threshold, and every transition goes the other way from the one
// before it. Two transitions are one flash.
//   - General: the level is relative luminance (sRGB, WCAG's formula); the
//     threshold 0.1, and the darker state, the field's mean luminance at one
//     end, below 0.8 (a transition whose ends are both lighter is counted
//     when, still running, it gets there).
//   - Red: the level is the saturated red (R - G - B) * 320 on linear R, G,
//     B with negatives as 0 (WCAG 2.0's working definition, after Harding
//     and Binnie); the threshold a change above 20, and a quarter of the
//     field saturated red, R / (R + G + B) >= 0.8, at one end.
// The flashes of a second are the transitions of a field within 60 ticks
// (one second at 60 ticks a second), halved; the count is the most of any
// field and any such second. Luminance counts in 1/16,384.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace corvexa::corvexa_tool {

inline constexpr int32_t kTicksPerSecond = 60;  // on a 60 Hz display, one tick a frame
inline constexpr int32_t kFieldWidth = 60;
inline constexpr int32_t kFieldHeight = 44;
inline constexpr int32_t kFieldStep = 4;

// The second with the most flashes of one kind, in one field.
struct WorstSecond {
  int32_t flashes = 0;
  int32_t firstTick = 0;  // the second: firstTick to firstTick + 59 (0 when no flash)
  int32_t fieldX = 0;     // the field's top-left pixel
  int32_t fieldY = 0;
};

struct FlashCount {
  WorstSecond general;
  WorstSecond red;
  // Per second of the show (ticks 1 to 60, 61 to 120, ...): the most flashes
  // of any field in the 60 ticks up to a transition in that second.
  std::vector<int32_t> generalBySecond;
  std::vector<int32_t> redBySecond;
};

class FlashCounter {
 public:
  FlashCounter();

  // Takes the next frame (kPixelCount pixels): the first is tick 1's, and
  // before it the screen was black.
  void add(const uint32_t* frame);

  const FlashCount& count() const { return count_; }

 private:
  // One field's level of one kind and its transitions.
  struct Level {
    int32_t level = 0;
    int32_t extreme = 0;    // the furthest the level has gone since the last turn
    int32_t direction = 0;  // +1 rising, -1 falling, 0 before the first transition
    int32_t low = 0;        // before the first transition: the lowest and highest level
    int32_t high = 0;
    bool lowState = false;  // whether the field was in the state its kind asks for there
    bool highState = false;
    bool extremeState = false;
    bool turnState = false;  // that state at the turn the running transition started from
    bool pending = false;    // the running transition is counted once the state is there
    std::array<int32_t, kTicksPerSecond> ticks{};  // the ticks of the last second's transitions
    int32_t first = 0;                             // in a ring
    int32_t size = 0;
  };

  void follow(Level& level, int32_t change, int32_t threshold, bool state, bool red, int32_t fieldX,
              int32_t fieldY);

  std::array<int32_t, 256> linear_{};  // an sRGB channel's linear value, in 1/16,384
  std::array<int32_t, 256> redLuminance_{};
  std::array<int32_t, 256> greenLuminance_{};
  std::array<int32_t, 256> blueLuminance_{};
  std::vector<uint32_t> previous_;      // the last frame (its fourth bytes carry no colour)
  std::vector<int32_t> cells_;          // per 4 x 4 cell: the sums fields are made of
  std::vector<int32_t> table_;          // the cells' sums from the top-left, per sum
  std::vector<int32_t> lastLuminance_;  // per field: the sum of luminance last frame
  std::vector<int32_t> lastRed_;
  std::vector<Level> general_;
  std::vector<Level> red_;
  int32_t tick_ = 0;
  FlashCount count_;
};

}  // namespace corvexa::corvexa_tool
