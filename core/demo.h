// Demo: the top object. update runs one tick of the show, draw paints the
// current picture, fillAudio streams the rendered song.
#pragma once

#include <cstdint>

#include "effects/framebuffer.h"

namespace corvexa {

struct Scene;

// The pointer as the platform reports it, in window pixels.
struct PointerState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t pressed = 0;  // kPointerPressed while a pointer is down, else 0
};

inline constexpr int32_t kPointerPressed = 2147483647;

struct Demo {
  Scene* scene = nullptr;
  Array<const int16_t> pcmBuffer;   // the rendered song
  int32_t renderedSampleCount = 0;  // valid samples at its start
  int32_t playPosition = 0;         // next sample to play; the audio thread's alone

  // One tick: false (stop) when a pointer is pressed, else runs the scene driver.
  virtual bool update(const PointerState& pointer);
  // Clears the framebuffer and draws the current timeline entry's effects.
  virtual void draw(Framebuffer framebuffer);
  // The next count samples of the song, halved, looping from its last sample
  // to its first; silence when the song is empty.
  virtual void fillAudio(int16_t* destination, int32_t count);
};

}  // namespace corvexa
