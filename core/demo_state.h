// DemoState: everything one show keeps, filled once by start-up in this order
// and then only read (the play position aside, which the audio thread owns).
//
// A DemoState owns all of it: the arena behind every block, the effect tables,
// the fonts, the scene, the rendered song and the Demo. Nothing points out of
// it into another DemoState or into anything global, so two shows can live
// side by side in one process, and a DemoState dropped takes everything with it.
#pragma once

#include <cstdint>

#include "assets/bitmap_font.h"
#include "assets/resources.h"
#include "base/arena.h"
#include "core/demo.h"
#include "core/scene.h"
#include "effects/tables.h"

namespace corvexa {

struct DemoState {
  Arena arena;
  EffectTables tables;
  BitmapFont goldBarFont{};
  BitmapFont simpleFont{};
  Scene* scene = nullptr;
  Array<int16_t> pcmBuffer;
  int32_t renderedSampleCount = 0;
  Demo* demo = nullptr;
};

// What start-up found wrong with its own data: the resource that would not
// decode, and why. Embedded data is checked by the tests, so this only ever
// reports a broken build.
struct StartUpResult {
  const char* file = nullptr;  // the broken resource's file; nullptr: all decoded
  const char* reason = "";

  bool ok() const { return file == nullptr; }
};

// Runs start-up into state: tables, fonts, the scene, the song rendered into
// PCM, and the Demo, from resources (the embedded table unless a test hands
// in another). When a resource is broken the state is not to be used.
StartUpResult startUp(DemoState& state, ResourceTable resources = embeddedResources());

// The one-line message for a failed start-up, e.g. "the embedded file
// corvexa.xm.gz is damaged: the data ends early".
// Writes at most size bytes, always ending in 0 (size > 0).
void describeStartUpFailure(const StartUpResult& result, char* text, int32_t size);

}  // namespace corvexa
