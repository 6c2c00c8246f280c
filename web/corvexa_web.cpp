// The engine as the browser page sees it: a handful of C functions exported
// from the WebAssembly module, called from web/index.html.
//
//   corvexaStart()                  start-up: tables, fonts, scene, the song
//                                   rendered, a fresh frame host. Called again,
//                                   it drops everything and starts over.
//   corvexaStep(nowMs, pressed, x, y)
//                                   one pass of the main loop: frameStep with
//                                   the time in whole milliseconds and the
//                                   pointer; returns the address of the 57,600
//                                   drawn pixels, or 0 when the show has ended
//                                   (a pointer was down) or has not started.
//   corvexaFillAudio(destination, count)
//                                   the next count samples of the song stream.
//   corvexaAudioBlock()             a 2,048-sample block inside the module for
//                                   fillAudio to write and the page to read.
//   corvexaTick()                   ticks the show has run.
//   corvexaSong(), corvexaSongLength()
//                                   the rendered song, for the page's checks.
//
// Everything runs on the page's one thread: the audio refills are answered
// there too, so nothing here is shared between threads.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "core/demo_state.h"
#include "core/frame_host.h"

namespace {

// The block one refill writes: the audio output's buffer size.
constexpr int32_t kAudioBlockSamples = 2048;

DemoState* state = nullptr;
FrameHost host;
int16_t audioBlock[kAudioBlockSamples];

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void corvexaStart() {
  // The old show's arena goes first: start-up rebuilds the effect tables that
  // point into it, and the song buffer alone is 32 MiB.
  delete state;
  state = nullptr;
  host = FrameHost{};
  state = new DemoState();
  startUp(*state);
  host = makeFrameHost(state->arena, *state->demo);
}

EMSCRIPTEN_KEEPALIVE const uint32_t* corvexaStep(int32_t nowMs, int32_t pressed, int32_t x,
                                                 int32_t y) {
  if (state == nullptr) return nullptr;
  PointerState pointer{x, y, pressed != 0 ? kPointerPressed : 0};
  const Framebuffer* framebuffer = frameStep(host, pointer, nowMs);
  return framebuffer != nullptr ? framebuffer->items : nullptr;
}

EMSCRIPTEN_KEEPALIVE void corvexaFillAudio(int16_t* destination, int32_t count) {
  if (state == nullptr) {
    for (int32_t i = 0; i < count; i++) destination[i] = 0;
    return;
  }
  state->demo->fillAudio(destination, count);
}

EMSCRIPTEN_KEEPALIVE int16_t* corvexaAudioBlock() {
  return audioBlock;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaAudioBlockSamples() {
  return kAudioBlockSamples;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaTick() {
  return state != nullptr ? state->scene->tick : 0;
}

EMSCRIPTEN_KEEPALIVE const int16_t* corvexaSong() {
  return state != nullptr ? state->pcmBuffer.items : nullptr;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaSongLength() {
  return state != nullptr ? state->renderedSampleCount : 0;
}

}  // extern "C"
