#include "core/demo_state.h"
#include "effects/tables.h"

void startUp(DemoState& state) {
  Arena& arena = state.arena;
  buildEffectTables(arena);
  state.goldBarFont = BitmapFont{{}, 0, 0, 32, 32, arena.makeArray<int32_t>(kGlyphOffsetCount)};
  state.simpleFont = BitmapFont{{}, 0, 0, 16, 28, arena.makeArray<int32_t>(kGlyphOffsetCount)};
  state.scene = &buildScene(arena, state.goldBarFont, state.simpleFont);
  state.pcmBuffer = arena.makeArray<int16_t>(kPcmBufferSamples);
  state.renderedSampleCount = 0;
  Demo& demo = arena.make<Demo>();
  demo.scene = state.scene;
  demo.pcmBuffer = {state.pcmBuffer.count, state.pcmBuffer.items};
  demo.renderedSampleCount = state.renderedSampleCount;
  state.demo = &demo;
}
