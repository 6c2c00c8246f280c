// corvexa: the demo in a window. Arguments are ignored.
//
// Exit status: 0 when the show was closed or clicked away, 1 when there is no
// display, SDL fails, or the program's own embedded data is damaged (one line
// says why, see platform/report.h: on stderr, or on Windows in a message box;
// broken data is reported before any window opens).
//
// On Windows SDL.h renames main to SDL_main, which SDL2main's WinMain calls.
#include <SDL.h>

#include <memory>

#include "core/demo_state.h"
#include "platform/report.h"
#include "platform/view.h"

using namespace corvexa;

int main(int, char**) {
  uint64_t launch = SDL_GetPerformanceCounter();
  View view;
  view.launchCounter = launch;
  bool ok = viewInitialize(view);
  auto state = std::make_unique<DemoState>();
  if (ok) {
    StartUpResult started = startUp(*state);
    if (!started.ok()) {
      char message[160];
      describeStartUpFailure(started, message, sizeof message);
      reportFatal("%s", message);
      ok = false;
    }
  }
  if (ok) ok = viewSetWindow(view, *state);
  if (ok) ok = viewRun(view);
  viewUninitialize(view);
  return ok ? 0 : 1;
}
