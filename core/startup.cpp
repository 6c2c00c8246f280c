#include "core/demo_state.h"
#include "effects/tables.h"

void startUp(DemoState& state) {
  Arena& arena = state.arena;
  buildEffectTables(arena);
  GifDecoder& gifDecoder = makeGifDecoder(arena);
  state.goldBarFont = createFont(gifDecoder, arena, kGoldBarFontName);
  state.simpleFont = createFont(gifDecoder, arena, kSimpleFontName);
  state.scene = &buildScene(arena, state.goldBarFont, state.simpleFont);
  state.pcmBuffer = arena.makeArray<int16_t>(kPcmBufferSamples);
  state.renderedSampleCount = 0;
  Demo& demo = arena.make<Demo>();
  demo.scene = state.scene;
  demo.pcmBuffer = {state.pcmBuffer.count, state.pcmBuffer.items};
  demo.renderedSampleCount = state.renderedSampleCount;
  state.demo = &demo;
}
