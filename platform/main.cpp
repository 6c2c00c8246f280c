// corvexa: the demo in a window. Arguments are ignored.
//
// Exit status: 0 when the show was closed or clicked away, 1 when there is no
// display or SDL fails (one line on stderr says why).
#include <SDL.h>

#include <memory>

#include "core/demo_state.h"
#include "platform/view.h"

int main(int, char**) {
  uint64_t launch = SDL_GetPerformanceCounter();
  View view;
  view.launchCounter = launch;
  bool ok = viewInitialize(view);
  auto state = std::make_unique<DemoState>();
  if (ok) {
    startUp(*state);
    ok = viewSetWindow(view, *state);
  }
  if (ok) {
    viewLoad(view);
    ok = viewRun(view);
  }
  viewUninitialize(view);
  return ok ? 0 : 1;
}
