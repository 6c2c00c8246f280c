#include "platform/view.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/report.h"

namespace corvexa {

namespace {

bool noDisplay(const char* why) {
#ifdef _WIN32
  reportFatal("no display to show the demo on (%s)", why);
#else
  reportFatal(
      "no display to show the demo on (%s); "
      "corvexa-tool capture records the show to a video file instead",
      why);
#endif
  return false;
}

// The display under the mouse pointer, else the first.
int32_t startingDisplay() {
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  SDL_Point point{x, y};
  int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; i++) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&point, &bounds)) return i;
  }
  return 0;
}

// The window's size when it leaves fullscreen: the largest whole multiple of
// the picture within three quarters of the display, and at least 320 x 180.
SDL_Rect windowedSize(int32_t display) {
  SDL_Rect usable{0, 0, 1280, 720};
  SDL_GetDisplayUsableBounds(display, &usable);
  int32_t scale = usable.w * 3 / 4 / kScreenWidth;
  int32_t scaleY = usable.h * 3 / 4 / kScreenHeight;
  if (scaleY < scale) scale = scaleY;
  if (scale < 1) scale = 1;
  return SDL_Rect{0, 0, scale * kScreenWidth, scale * kScreenHeight};
}

// The display's refresh period in counter units (60 Hz when unknown).
void readRefreshRate(View& view) {
  int32_t rate = 60;
  SDL_DisplayMode mode;
  int display = SDL_GetWindowDisplayIndex(view.window);
  if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0 &&
      mode.refresh_rate <= 1000)
    rate = mode.refresh_rate;
  view.refreshPeriod = view.counterFrequency / static_cast<uint64_t>(rate);
}

// Window coordinates to pixels, and the picture's placement, for the
// window's present size.
void readWindowSize(View& view) {
  int pointsWide = 0, pointsHigh = 0, pixelsWide = 0, pixelsHigh = 0;
  SDL_GetWindowSize(view.window, &pointsWide, &pointsHigh);
  if (SDL_GetRendererOutputSize(view.video.renderer, &pixelsWide, &pixelsHigh) != 0 ||
      pointsWide <= 0 || pointsHigh <= 0) {
    pixelsWide = pointsWide = pixelsHigh = pointsHigh = 1;
  }
  view.pointsWide = pointsWide;
  view.pointsHigh = pointsHigh;
  view.pixelsWide = pixelsWide;
  view.pixelsHigh = pixelsHigh;
  if (!placeVideo(view.video)) view.closed = view.failed = true;
}

void setFullscreen(View& view, bool fullscreen) {
  int display = SDL_GetWindowDisplayIndex(view.window);
  if (display < 0) display = 0;
  if (fullscreen) {
    // As large as the display first: then the window covers it even where no
    // window manager acts on the fullscreen request.
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(display, &bounds) == 0) {
      SDL_SetWindowPosition(view.window, bounds.x, bounds.y);
      SDL_SetWindowSize(view.window, bounds.w, bounds.h);
    }
  }
  if (SDL_SetWindowFullscreen(view.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    // The show goes on as it was shown.
    reportNote("switching between fullscreen and a window failed: %s", SDL_GetError());
    return;
  }
  view.fullscreen = fullscreen;
  SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
  if (!fullscreen) {
    SDL_Rect size = windowedSize(display);
    SDL_SetWindowSize(view.window, size.w, size.h);
    SDL_SetWindowPosition(view.window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  }
  readWindowSize(view);
}

void setVisible(View& view, bool visible) {
  if (visible && !view.visible) {
    // The frame rate measured across the hidden time says nothing about the
    // display: measuring starts afresh, and so does pacing.
    view.host.frames = 0;
    view.host.lastMeasurement = 0;
    view.lastPresent = 0;
  }
  // No screen saver over the show; a minimised or hidden show leaves it to
  // the desktop. (SDL 2.26 on X11 gives it back only through D-Bus: with no
  // screen saver service on the session bus, X keeps it suspended until the
  // program ends.)
  if (visible) {
    SDL_DisableScreenSaver();
  } else {
    SDL_EnableScreenSaver();
  }
  view.visible = visible;
}

int32_t toPixels(int32_t coordinate, int32_t pixels, int32_t points) {
  return static_cast<int32_t>(static_cast<int64_t>(coordinate) * pixels / points);
}

void pressPointer(View& view, int32_t x, int32_t y) {
  view.pointer = PointerState{x, y, kPointerPressed};
  view.pressUnseen = true;
  view.releaseWaiting = false;
}

void movePointer(View& view, int32_t x, int32_t y) {
  view.pointer.x = x;
  view.pointer.y = y;
}

// A release before any tick has seen the press waits for that tick, so even
// the shortest click ends the show.
void releasePointer(View& view, int32_t x, int32_t y) {
  movePointer(view, x, y);
  if (view.pressUnseen) {
    view.releaseWaiting = true;
  } else {
    view.pointer.pressed = 0;
  }
}

// After a frameStep that ran at least one tick.
void pointerSeen(View& view) {
  view.pressUnseen = false;
  if (view.releaseWaiting) view.pointer.pressed = 0;
  view.releaseWaiting = false;
}

void handleWindowEvent(View& view, const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      setVisible(view, true);
      break;
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MINIMIZED:
      setVisible(view, false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      view.closed = true;
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      readWindowSize(view);
      break;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
      readRefreshRate(view);
      break;
  }
}

void handleKey(View& view, const SDL_KeyboardEvent& key) {
  if (key.repeat) return;
  SDL_Keycode code = key.keysym.sym;
  bool enter = code == SDLK_RETURN || code == SDLK_KP_ENTER;
  if (code == SDLK_ESCAPE) {
    view.closed = true;
  } else if (code == SDLK_F11 || (enter && (key.keysym.mod & KMOD_ALT))) {
    setFullscreen(view, !view.fullscreen);
  }
}

// Sleeps out the rest of the refresh period when presentation came back much
// sooner than the display can show a frame (vsync missing or ignored).
void paceFrame(View& view) {
  uint64_t now = SDL_GetPerformanceCounter();
  uint64_t pass = now - view.lastPresent;
  if (view.lastPresent != 0 && pass < view.refreshPeriod * 3 / 4) {
    uint64_t rest = view.refreshPeriod - pass;
    std::this_thread::sleep_for(std::chrono::microseconds(rest * 1000000 / view.counterFrequency));
    now = SDL_GetPerformanceCounter();
  }
  view.lastPresent = now;
}

void traceFrame(View& view) {
  SDL_RendererInfo info;
  if (view.framesPresented == 1 && SDL_GetRendererInfo(view.video.renderer, &info) == 0)
    std::printf("renderer %s\n", info.name);
  uint64_t sinceLaunch = SDL_GetPerformanceCounter() - view.launchCounter;
  std::printf("frame %lld tick %d ms %lld\n", static_cast<long long>(view.framesPresented),
              view.state->scene->tick,
              static_cast<long long>(sinceLaunch * 1000 / view.counterFrequency));
  std::fflush(stdout);
}

// Reads CORVEXA_HOLD_TICK and CORVEXA_TRACE.
void readTestHooks(View& view) {
  view.trace = std::getenv("CORVEXA_TRACE") != nullptr;
  const char* hold = std::getenv("CORVEXA_HOLD_TICK");
  if (!hold) return;
  HoldingDemo& demo = view.state->arena.make<HoldingDemo>();
  static_cast<Demo&>(demo) = *view.state->demo;
  demo.holdTick = std::atoi(hold);
  view.demo = &demo;
}

}  // namespace

bool HoldingDemo::update(const PointerState& pointer) {
  if (pointer.pressed == 0 && scene->tick >= holdTick) return true;
  return Demo::update(pointer);
}

int32_t counterMilliseconds(uint64_t counter, uint64_t frequency) {
  uint64_t ms = counter / frequency * 1000 + counter % frequency * 1000 / frequency;
  return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

bool viewInitialize(View& view) {
  view.counterFrequency = SDL_GetPerformanceFrequency();
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The show stays up when another display or window takes the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  const char* asked = std::getenv("SDL_VIDEODRIVER");
#ifndef _WIN32
  // Windows always has its desktop; Linux has a display only where one is named.
  if (!asked && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    return noDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
  }
#endif
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return noDisplay(SDL_GetError());
  // SDL falls back to drivers that show nothing; only a request may choose them.
  const char* driver = SDL_GetCurrentVideoDriver();
  bool showsNothing =
      driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                 std::strcmp(driver, "evdev") == 0);
  if (showsNothing && !(asked && std::strstr(asked, driver))) {
    SDL_Quit();
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string why = std::string("cannot open ") + (x11 ? "DISPLAY=" : "WAYLAND_DISPLAY=") +
                      (x11       ? x11
                       : wayland ? wayland
                                 : "");
    return noDisplay(why.c_str());
  }
  return true;
}

bool viewSetWindow(View& view, DemoState& state) {
  view.state = &state;
  view.demo = state.demo;
  readTestHooks(view);
  int32_t display = startingDisplay();
  // The window starts out as large as the display, so that it covers it even
  // where no window manager acts on the fullscreen request.
  SDL_Rect bounds{SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                  kScreenWidth, kScreenHeight};
  SDL_GetDisplayBounds(display, &bounds);
  view.window = SDL_CreateWindow(
      "Corvexa", bounds.x, bounds.y, bounds.w, bounds.h,
      SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!view.window) return fail("opening the window");
  view.fullscreen = true;
  SDL_ShowCursor(SDL_DISABLE);
  SDL_DisableScreenSaver();
  if (!initVideo(view.video, view.window)) return false;
  readWindowSize(view);
  readRefreshRate(view);
  Arena& arena = state.arena;
  view.host = makeFrameHost(arena, *view.demo);
  return !view.closed;
}

void handleEvent(View& view, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      view.closed = true;
      break;
    case SDL_WINDOWEVENT:
      handleWindowEvent(view, event.window);
      break;
    case SDL_KEYDOWN:
      handleKey(view, event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.which == SDL_TOUCH_MOUSEID) break;  // the finger event counts
      pressPointer(view, toPixels(event.button.x, view.pixelsWide, view.pointsWide),
                   toPixels(event.button.y, view.pixelsHigh, view.pointsHigh));
      break;
    case SDL_MOUSEMOTION:
      if (event.motion.which == SDL_TOUCH_MOUSEID) break;
      movePointer(view, toPixels(event.motion.x, view.pixelsWide, view.pointsWide),
                  toPixels(event.motion.y, view.pixelsHigh, view.pointsHigh));
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.which == SDL_TOUCH_MOUSEID) break;
      releasePointer(view, toPixels(event.button.x, view.pixelsWide, view.pointsWide),
                     toPixels(event.button.y, view.pixelsHigh, view.pointsHigh));
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: {
      // Finger positions are fractions of the window.
      int32_t x = static_cast<int32_t>(event.tfinger.x * static_cast<float>(view.pixelsWide));
      int32_t y = static_cast<int32_t>(event.tfinger.y * static_cast<float>(view.pixelsHigh));
      if (event.type == SDL_FINGERDOWN) pressPointer(view, x, y);
      if (event.type == SDL_FINGERMOTION) movePointer(view, x, y);
      if (event.type == SDL_FINGERUP) releasePointer(view, x, y);
      break;
    }
    case SDL_AUDIODEVICEADDED:
    case SDL_AUDIODEVICEREMOVED:
      audioDeviceEvent(view.audio, event.adevice);
      break;
    case SDL_RENDER_DEVICE_RESET:
      // The renderer lost its textures: make the picture's anew.
      view.video.texture = nullptr;
      if (!createFrameTexture(view.video)) view.closed = view.failed = true;
      break;
  }
}

const Framebuffer* stepShow(View& view, int32_t nowMs) {
  bool ticks = view.host.stepAccumulator >= kTickMs;
  const Framebuffer* frame = frameStep(view.host, view.pointer, nowMs);
  if (frame && ticks) pointerSeen(view);
  return frame;
}

bool viewRun(View& view) {
  view.pointer = PointerState{};
  startAudio(view.audio, *view.demo);  // without sound the show goes on
  SDL_Event event;
  while (!view.closed) {
    if (!view.visible) {
      // Sleeps until something happens to the window.
      if (!SDL_WaitEvent(&event)) return fail("waiting for events");
      handleEvent(view, event);
      while (!view.closed && SDL_PollEvent(&event)) handleEvent(view, event);
      continue;
    }
    while (!view.closed && SDL_PollEvent(&event)) handleEvent(view, event);
    if (view.closed || !view.visible) continue;
    int32_t now = counterMilliseconds(SDL_GetPerformanceCounter(), view.counterFrequency);
    const Framebuffer* frame = stepShow(view, now);
    if (!frame) break;  // a press stopped the show
    if (!presentFrame(view.video, frame->items)) return false;
    view.framesPresented++;
    if (view.trace) traceFrame(view);
    paceFrame(view);
  }
  return !view.failed;
}

void viewUninitialize(View& view) {
  stopAudio(view.audio);
  closeVideo(view.video);
  if (view.window) SDL_DestroyWindow(view.window);
  view.window = nullptr;
  SDL_Quit();
}

}  // namespace corvexa
