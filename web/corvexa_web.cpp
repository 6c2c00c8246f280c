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
//   corvexaStartUpFailure()         0 after a good start-up, else the address
//                                   of its one-line message (UTF-8, ending in 0).
//   corvexaReadAudio(destination, count)
//                                   the next count samples of the show's
//                                   AudioStream: 4,096 of silence, then the song
//                                   halved, looping.
//   corvexaAudioBlock()             a 2,048-sample block inside the module for
//                                   corvexaReadAudio to write and the page to read.
//   corvexaAudioBlockSamples(), corvexaSampleRate()
//                                   the stream's refill size and its rate.
//   corvexaTick()                   ticks the show has run.
//   corvexaSong(), corvexaSongLength()
//                                   the rendered song, for the page's checks.
//   corvexaPlace(width, height)     where the picture goes in a window of that
//                                   many device pixels, the desktop program's
//                                   placement (core/placement.h): the address of
//                                   six 32-bit values, turned (0 or 1), scale,
//                                   x, y, width and height.
//
// Everything runs on the page's one thread: the audio refills are answered
// there too, so nothing here is shared between threads.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <optional>

#include "core/audio_stream.h"
#include "core/demo_state.h"
#include "core/frame_host.h"
#include "core/placement.h"

using namespace corvexa;

namespace {

// One show: everything start-up made, the frame host that steps it and the
// stream its sound comes from.
struct Show {
  DemoState state;
  FrameHost host;
  std::optional<AudioStream> stream;  // once start-up has made the Demo
  char failure[160] = {};
};

Show* show = nullptr;
AudioSample audioBlock[kAudioRefillSamples];
int32_t placement[6];  // corvexaPlace's answer, for the page to read

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void corvexaStart() {
  // The old show goes first: the song buffer alone is 32 MiB.
  delete show;
  show = new Show();
  StartUpResult result = startUp(show->state);
  if (!result.ok()) {
    describeStartUpFailure(result, show->failure, sizeof show->failure);
    return;
  }
  show->host = makeFrameHost(show->state.arena, *show->state.demo);
  show->stream.emplace(*show->state.demo);
}

EMSCRIPTEN_KEEPALIVE const char* corvexaStartUpFailure() {
  return show != nullptr && show->failure[0] != 0 ? show->failure : nullptr;
}

EMSCRIPTEN_KEEPALIVE const uint32_t* corvexaStep(int32_t nowMs, int32_t pressed, int32_t x,
                                                 int32_t y) {
  if (show == nullptr || show->state.demo == nullptr) return nullptr;
  PointerState pointer{x, y, pressed != 0 ? kPointerPressed : 0};
  const Framebuffer* framebuffer = frameStep(show->host, pointer, nowMs);
  return framebuffer != nullptr ? framebuffer->items : nullptr;
}

EMSCRIPTEN_KEEPALIVE void corvexaReadAudio(AudioSample* destination, int32_t count) {
  if (show == nullptr || !show->stream) {
    for (int32_t i = 0; i < count; i++) destination[i] = 0;
    return;
  }
  show->stream->read(destination, count);
}

EMSCRIPTEN_KEEPALIVE AudioSample* corvexaAudioBlock() {
  return audioBlock;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaAudioBlockSamples() {
  return kAudioRefillSamples;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaSampleRate() {
  return kSampleRate;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaTick() {
  return show != nullptr && show->state.scene != nullptr ? show->state.scene->tick : 0;
}

EMSCRIPTEN_KEEPALIVE const int16_t* corvexaSong() {
  return show != nullptr ? show->state.pcmBuffer.items : nullptr;
}

EMSCRIPTEN_KEEPALIVE int32_t corvexaSongLength() {
  return show != nullptr ? show->state.renderedSampleCount : 0;
}

EMSCRIPTEN_KEEPALIVE const int32_t* corvexaPlace(int32_t width, int32_t height) {
  const Placement place = placePicture(width, height);
  const int32_t values[6] = {place.turned ? 1 : 0, place.scale, place.x, place.y,
                             place.width,          place.height};
  for (int32_t i = 0; i < 6; i++) placement[i] = values[i];
  return placement;
}

}  // extern "C"
