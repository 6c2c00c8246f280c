// corvexa: the demo in a window. Arguments are ignored.
//
// Exit status: 0 when the show was closed or clicked away, 1 when there is no
// display, SDL fails, or the program's own embedded data is damaged (one line
// on stderr says why; broken data is reported before any window opens).
#include <SDL.h>

#include <cstdio>
#include <memory>

#include "core/demo_state.h"
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
      std::fprintf(stderr, "corvexa: %s\n", message);
      ok = false;
    }
  }
  if (ok) ok = viewSetWindow(view, *state);
  if (ok) {
    viewLoad(view);
    ok = viewRun(view);
  }
  viewUninitialize(view);
  return ok ? 0 : 1;
}
