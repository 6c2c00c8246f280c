// The application view: the demo's window, its events and the main loop.
//
// The view goes through a fixed order, one function each:
//   viewInitialize   SDL's video: fails at once, before the long start-up,
//                    when there is no display
//   viewSetWindow    the window, desktop fullscreen on the display under the
//                    mouse pointer (the one the user started from), its video
//                    output and the frame host; the show's state must exist
//   viewRun          the main loop, until the window closes or a press stops
//                    the show
//   viewUninitialize audio, video, window and SDL closed in reverse order
// (there is no step that loads anything: every asset is compiled in).
//
// Events (handleEvent): the window shown, hidden, minimised or restored sets
// visible; closing it, or Escape, sets closed; F11 or Alt+Enter switch between
// fullscreen and a resizable window; mouse buttons and touches press and
// release the pointer, and moves move it, in window pixels.
//
// The main loop: while visible, it handles every queued event, reads the
// performance counter as whole milliseconds, runs frameStep and presents the
// frame; where presentation does not wait for the display it sleeps out the
// rest of the display's refresh period itself. While hidden it sleeps in
// SDL_WaitEvent: no ticks, no frames, no processor time. The pointer is
// hidden in fullscreen and shown in a window; the screen saver stays off while
// the show is visible and is the desktop's again while it is minimised or
// hidden. Only what ends the program is a fatal report (see platform/report.h):
// a switch to or from fullscreen that fails is a note, and the show goes on.
//
// Two environment variables serve the tests and measurements:
//   CORVEXA_HOLD_TICK=N  the show stops advancing once it reaches tick N and
//                        keeps showing that frame (a press still ends it);
//   CORVEXA_TRACE=1      one line per presented frame on stdout:
//                        "frame F tick T ms M", M counted from launch, and
//                        before the first "renderer NAME" (SDL's name).
#pragma once

#include <SDL.h>

#include <cstdint>

#include "core/demo_state.h"
#include "core/frame_host.h"
#include "platform/audio_output.h"
#include "platform/video_output.h"

namespace corvexa {

struct View {
  DemoState* state = nullptr;
  Demo* demo = nullptr;  // the state's Demo, or a holding one (CORVEXA_HOLD_TICK)
  bool closed = false;
  bool failed = false;  // closed after a fatal report: the program ends with status 1
  bool visible = true;
  bool fullscreen = true;
  SDL_Window* window = nullptr;
  VideoOutput video;
  AudioOutput audio;
  FrameHost host;
  PointerState pointer;
  // A press stays down until a tick has seen it, however soon it is released.
  bool pressUnseen = false;
  bool releaseWaiting = false;
  // Window coordinates to pixels (differ on high-density displays).
  int32_t pixelsWide = 1, pointsWide = 1;
  int32_t pixelsHigh = 1, pointsHigh = 1;
  // Pacing where presentation does not wait for the display.
  uint64_t counterFrequency = 1;
  uint64_t refreshPeriod = 1;  // counter units per displayed frame
  uint64_t lastPresent = 0;
  // CORVEXA_TRACE
  bool trace = false;
  uint64_t launchCounter = 0;
  int64_t framesPresented = 0;
};

// Each answers false after one line on stderr when SDL fails.
bool viewInitialize(View& view);
bool viewSetWindow(View& view, DemoState& state);
bool viewRun(View& view);
void viewUninitialize(View& view);

// One event, as the main loop hands it over.
void handleEvent(View& view, const SDL_Event& event);

// One frame of the show at nowMs: frameStep with the view's pointer. A press
// stays down for frameStep until a tick has seen it, however soon it was
// released. Answers nullptr when the show stops.
const Framebuffer* stepShow(View& view, int32_t nowMs);

// The counter as whole milliseconds, reduced to 32 bits; no overflow however
// long the machine has been up.
int32_t counterMilliseconds(uint64_t counter, uint64_t frequency);

// The Demo of CORVEXA_HOLD_TICK: stops running ticks at holdTick.
struct HoldingDemo final : Demo {
  int32_t holdTick = 0;
  bool update(const PointerState& pointer) override;
};

}  // namespace corvexa
