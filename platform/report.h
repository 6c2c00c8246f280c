// How the demo program tells of trouble: one line each, printf-style.
//
//   reportFatal  a problem that ends the program (no display, no window, no
//                renderer); the caller then ends it with status 1
//   reportNote   something the show goes on without (no audio device, ...)
//   fail         an SDL call that failed: "WHAT failed: SDL's reason" as a
//                fatal report, and false for the caller to answer
//
// On Linux both go to standard error, prefixed "corvexa: ". A Windows GUI
// program has no console: there a fatal problem is shown in one message box
// titled "Corvexa", and every line also goes to the debugger output
// (OutputDebugString, which a debugger or DebugView shows).
#pragma once

#if defined(__GNUC__)
#define CORVEXA_PRINTF(text, first) __attribute__((format(printf, text, first)))
#else
#define CORVEXA_PRINTF(text, first)
#endif

namespace corvexa {

void reportFatal(const char* format, ...) CORVEXA_PRINTF(1, 2);
void reportNote(const char* format, ...) CORVEXA_PRINTF(1, 2);

// reportFatal("%s failed: %s", what, SDL_GetError()); answers false.
bool fail(const char* what);

}  // namespace corvexa
