// DemoState: everything the program keeps, filled once by start-up in this
// order and then only read (the play position aside, which the audio thread
// owns).
#pragma once

#include <cstdint>

#include "assets/bitmap_font.h"
#include "core/arena.h"
#include "core/demo.h"
#include "core/scene.h"

inline constexpr int32_t kSongBufferBytes = 1048576;
inline constexpr int32_t kPcmBufferSamples = 16777216;  // 380.4 s at 44,100 Hz

struct DemoState {
  Arena arena;
  BitmapFont goldBarFont{};
  BitmapFont simpleFont{};
  Scene* scene = nullptr;
  Array<int16_t> pcmBuffer;
  int32_t renderedSampleCount = 0;
  Demo* demo = nullptr;
};

// Runs start-up into state: tables, fonts, the scene, the song rendered into
// PCM, and the Demo.
void startUp(DemoState& state);
