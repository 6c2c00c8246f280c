// The demo program in a window of a private X server: what it shows, what it
// plays, and how it answers clicks, keys, closing and hiding. Each test bounds
// its waits to a few seconds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "core/demo_state.h"
#include "demo_window.h"
#include "effects/framebuffer.h"
#include "show_checks.h"

using namespace corvexa;

namespace {

int32_t lineCount(const std::string& text) {
  int32_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

// Upper bounds: start-up renders the whole song first, and a sanitizer build on
// a busy machine is slow; another build run under an emulator
// (CORVEXA_TEST_DEMO="qemu-aarch64 ...") is slower still, at start-up and in
// answering a quit request.
const bool kEmulated = std::getenv("CORVEXA_TEST_DEMO") != nullptr;
const int32_t kStartMs = kEmulated ? 180000 : 20000;
const int32_t kExitMs = kEmulated ? 30000 : 2000;

}  // namespace

TEST(DemoWindow, ShowsTheFrameAtScaleFourAndAClickEndsIt) {
  std::vector<uint32_t> frame = showFrame(CORVEXA_TOOL, 90);
  ASSERT_EQ(frame.size(), static_cast<size_t>(kPixelCount));
  VirtualDisplay display(1366, 768);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}, {"CORVEXA_HOLD_TICK", "90"}});
  auto held = demo.waitForTick(90, kStartMs);
  ASSERT_TRUE(held) << demo.errors();
  EXPECT_EQ(held->tick, 90);
  demo.readFor(100);  // a few more frames of the same tick
  EXPECT_EQ(demo.trace().back().tick, 90);
  // Fullscreen: 1280 x 720 with 43 black columns and 24 black rows around.
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 43, 24, 4, false), 0);

  display.run("xdotool mousemove 700 400 click 1");
  EXPECT_EQ(demo.waitForExit(kExitMs), 0) << demo.errors();
}

TEST(DemoWindow, PortraitDisplayTurnsThePictureAndClosingEndsIt) {
  std::vector<uint32_t> frame = showFrame(CORVEXA_TOOL, 150);
  ASSERT_EQ(frame.size(), static_cast<size_t>(kPixelCount));
  VirtualDisplay display(768, 1366);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}, {"CORVEXA_HOLD_TICK", "150"}});
  ASSERT_TRUE(demo.waitForTick(150, kStartMs)) << demo.errors();
  demo.readFor(100);
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 24, 43, 4, true), 0);

  unsigned long window = display.demoWindow();
  ASSERT_NE(window, 0u);
  display.requestClose(window);
  EXPECT_EQ(demo.waitForExit(2000), 0) << demo.errors();
}

TEST(DemoWindow, F11AndAltEnterSwitchBetweenFullscreenAndAWindow) {
  std::vector<uint32_t> frame = showFrame(CORVEXA_TOOL, 60);
  ASSERT_EQ(frame.size(), static_cast<size_t>(kPixelCount));
  VirtualDisplay display(1366, 768);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}, {"CORVEXA_HOLD_TICK", "60"}});
  ASSERT_TRUE(demo.waitForTick(60, kStartMs)) << demo.errors();
  EXPECT_FALSE(display.pointerShownAt(683, 384));  // hidden over the fullscreen show

  display.run("xdotool key F11");
  // A 960 x 540 window in the middle of the black screen, filled at scale 3.
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 203, 114, 3, false), 0);
  EXPECT_TRUE(display.pointerShownAt(683, 384));

  display.run("xdotool key alt+Return");
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 43, 24, 4, false), 0);
  EXPECT_FALSE(display.pointerShownAt(683, 384));

  display.run("xdotool key Escape");
  EXPECT_EQ(demo.waitForExit(2000), 0) << demo.errors();
}

TEST(DemoWindow, PlaysSilenceThenTheSongHalved) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  ScratchDirectory scratch("audio");
  const std::string& dir = scratch.path;
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  // The disk driver takes 1,024 samples every 40 ms, slower than they play,
  // so a busy machine cannot starve the queue: the file holds the stream
  // exactly as the program queued it.
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "disk"},
                          {"SDL_DISKAUDIOFILE", dir + "/sound.raw"},
                          {"SDL_DISKAUDIODELAY", "40"}});
  ASSERT_TRUE(demo.waitForTick(1, kStartMs)) << demo.errors();
  demo.readFor(1500);
  display.run("xdotool key Escape");
  ASSERT_EQ(demo.waitForExit(kExitMs), 0) << demo.errors();

  expectQueuedSound(dir + "/sound.raw", state->pcmBuffer.items, state->renderedSampleCount, "");
}

TEST(DemoWindow, HiddenWindowRunsNoTicksAndContinuesWhereItWas) {
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}});
  ASSERT_TRUE(demo.waitForTick(20, kStartMs)) << demo.errors();
  unsigned long window = display.demoWindow();
  ASSERT_NE(window, 0u);
  // No screen saver over the show, though there has been no input for longer
  // than its timeout.
  int64_t idleMs = 0;
  display.screenSaverOn(1, &idleMs);
  demo.readFor(1500);
  EXPECT_FALSE(display.screenSaverOn(0, &idleMs));
  EXPECT_GE(idleMs, 1200);

  display.run("xdotool windowunmap " + std::to_string(window));
  demo.readFor(300);
  size_t frames = demo.trace().size();
  int32_t hiddenTick = demo.trace().back().tick;
  int64_t processor = demo.processorMs();
  demo.readFor(1500);
  EXPECT_EQ(demo.trace().size(), frames) << "frames were presented while hidden";
  EXPECT_LE(demo.processorMs() - processor, 60) << "ms of processor time while hidden";

  display.run("xdotool windowmap " + std::to_string(window));
  auto resumed = demo.waitForTick(hiddenTick + 1, 2000);
  ASSERT_TRUE(resumed);
  EXPECT_LE(resumed->tick, hiddenTick + 2) << "ticks ran for the hidden time";
  demo.readFor(1000);
  // No catching up afterwards either: about one tick per frame.
  const TraceLine& last = demo.trace().back();
  EXPECT_LE(last.tick - resumed->tick, last.frame - resumed->frame + 2);

  // Mapped again without a window manager, the window has lost the focus.
  display.run("xdotool windowfocus " + std::to_string(window) + " key Escape");
  EXPECT_EQ(demo.waitForExit(2000), 0) << demo.errors();
}

TEST(DemoWindow, WithoutSoundOrVsyncItRunsPacedAndIdle) {
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  // A bogus audio driver: no device at all. SDL_RENDER_VSYNC=0: presentation
  // that never waits for the display.
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "bogus"}, {"SDL_RENDER_VSYNC", "0"}});
  auto start = demo.waitForTick(10, kStartMs);
  ASSERT_TRUE(start) << demo.errors();
  int64_t processor = demo.processorMs();
  demo.readFor(2000);
  const TraceLine& end = demo.trace().back();
  int64_t elapsed = end.ms - start->ms;
  int64_t frames = end.frame - start->frame;
  // Paced to the display's 60 Hz, not spinning (a busy machine may manage
  // fewer frames; the frame driver then runs more ticks per frame).
  EXPECT_LE(frames * 1000, elapsed * 66) << frames << " frames in " << elapsed << " ms";
  EXPECT_GE(frames * 1000, elapsed * 15) << frames << " frames in " << elapsed << " ms";
  EXPECT_GE(end.tick - start->tick, frames);
  EXPECT_LT(demo.processorMs() - processor, 2000 / 2) << "ms of processor time in 2 s";

  std::string errors = demo.errors();
  EXPECT_EQ(lineCount(errors), 1) << errors;
  EXPECT_NE(errors.find("without sound"), std::string::npos) << errors;
  display.run("xdotool key Escape");
  EXPECT_EQ(demo.waitForExit(2000), 0) << demo.errors();
}

TEST(DemoWindow, WithoutADisplayItSaysSoAndFails) {
  DemoRun demo(nullptr, {});
  EXPECT_EQ(demo.waitForExit(5000), 1);
  std::string errors = demo.errors();
  EXPECT_EQ(lineCount(errors), 1) << errors;
  EXPECT_NE(errors.find("no display"), std::string::npos) << errors;
  EXPECT_NE(errors.find("corvexa-tool capture"), std::string::npos) << errors;
}
