#include "platform/report.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace corvexa {

namespace {

void report(bool fatal, const char* format, va_list arguments) {
  char line[1024];  // any of the program's lines, with SDL's reason in it
  std::vsnprintf(line, sizeof line, format, arguments);
#ifdef _WIN32
  char debugLine[sizeof line + 16];
  std::snprintf(debugLine, sizeof debugLine, "corvexa: %s\n", line);
  OutputDebugStringA(debugLine);
  if (fatal) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Corvexa", line, nullptr);
#else
  (void)fatal;
  std::fprintf(stderr, "corvexa: %s\n", line);
#endif
}

}  // namespace

void reportFatal(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(true, format, arguments);
  va_end(arguments);
}

void reportNote(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(false, format, arguments);
  va_end(arguments);
}

bool fail(const char* what) {
  reportFatal("%s failed: %s", what, SDL_GetError());
  return false;
}

}  // namespace corvexa
