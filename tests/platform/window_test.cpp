// The demo program in a window of a private X server: what it shows, what it
// plays, and how it answers clicks, keys, closing and hiding. Each test bounds
// its waits to a few seconds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "core/demo_state.h"
#include "demo_window.h"
#include "effects/framebuffer.h"

using namespace corvexa;

namespace {

// The frame corvexa-tool draws after tick, as 0xRRGGBB.
std::vector<uint32_t> showFrame(int32_t tick) {
  ScratchDirectory scratch("frames-" + std::to_string(tick));
  const std::string& dir = scratch.path;
  std::string command = std::string(CORVEXA_TOOL) + " frames --raw --ticks " +
                        std::to_string(tick) + " --out " + dir + " >/dev/null";
  std::vector<uint32_t> frame;
  if (std::system(command.c_str()) != 0) return frame;
  char name[32];
  std::snprintf(name, sizeof name, "/tick-%05d.u32", tick);
  std::ifstream file(dir + name, std::ios::binary);
  for (int32_t i = 0; i < kPixelCount; i++) {
    unsigned char bytes[4];
    if (!file.read(reinterpret_cast<char*>(bytes), 4)) return {};
    frame.push_back(static_cast<uint32_t>(bytes[0]) << 16 | bytes[1] << 8 | bytes[2]);
  }
  return frame;
}

// Pixels of shot that differ from frame shown at scale with its top-left at
// (left, top), turned a quarter counter-clockwise if turned, black elsewhere.
int64_t wrongPixels(const Screenshot& shot, const std::vector<uint32_t>& frame, int32_t left,
                    int32_t top, int32_t scale, bool turned, bool report) {
  int32_t width = (turned ? kScreenHeight : kScreenWidth) * scale;
  int32_t height = (turned ? kScreenWidth : kScreenHeight) * scale;
  int64_t wrong = 0;
  for (int32_t y = 0; y < shot.height; y++) {
    for (int32_t x = 0; x < shot.width; x++) {
      uint32_t expected = 0;
      int32_t column = x - left, row = y - top;
      if (column >= 0 && row >= 0 && column < width && row < height) {
        int32_t fx = turned ? kScreenWidth - 1 - row / scale : column / scale;
        int32_t fy = turned ? column / scale : row / scale;
        expected = frame[fy * kScreenWidth + fx];
      }
      if (shot.at(x, y) != expected && wrong++ < 3 && report) {
        ADD_FAILURE() << "screen pixel (" << x << ", " << y << ") is " << std::hex << shot.at(x, y)
                      << ", the show has " << expected;
      }
    }
  }
  return wrong;
}

// The same for the screen, looked at until it shows the picture (the window
// may still be settling) or 3 s have passed.
int64_t wrongOnScreen(const VirtualDisplay& display, DemoRun& demo,
                      const std::vector<uint32_t>& frame, int32_t left, int32_t top, int32_t scale,
                      bool turned) {
  for (int32_t attempt = 0; attempt < 15; attempt++) {
    if (wrongPixels(display.screenshot(), frame, left, top, scale, turned, false) == 0) return 0;
    demo.readFor(200);
  }
  return wrongPixels(display.screenshot(), frame, left, top, scale, turned, true);
}

int32_t lineCount(const std::string& text) {
  int32_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

// An upper bound: start-up renders the whole song first, and a sanitizer build
// on a busy machine is slow.
constexpr int32_t kStartMs = 20000;

}  // namespace

TEST(DemoWindow, ShowsTheFrameAtScaleFourAndAClickEndsIt) {
  std::vector<uint32_t> frame = showFrame(90);
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
  EXPECT_EQ(demo.waitForExit(2000), 0) << demo.errors();
}

TEST(DemoWindow, PortraitDisplayTurnsThePictureAndClosingEndsIt) {
  std::vector<uint32_t> frame = showFrame(150);
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
  std::vector<uint32_t> frame = showFrame(60);
  ASSERT_EQ(frame.size(), static_cast<size_t>(kPixelCount));
  VirtualDisplay display(1366, 768);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}, {"CORVEXA_HOLD_TICK", "60"}});
  ASSERT_TRUE(demo.waitForTick(60, kStartMs)) << demo.errors();

  display.run("xdotool key F11");
  // A 960 x 540 window in the middle of the black screen, filled at scale 3.
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 203, 114, 3, false), 0);

  display.run("xdotool key alt+Return");
  EXPECT_EQ(wrongOnScreen(display, demo, frame, 43, 24, 4, false), 0);

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
  ASSERT_EQ(demo.waitForExit(2000), 0) << demo.errors();

  std::ifstream file(dir + "/sound.raw", std::ios::binary);
  std::vector<int16_t> samples;
  unsigned char bytes[2];
  while (file.read(reinterpret_cast<char*>(bytes), 2))
    samples.push_back(static_cast<int16_t>(bytes[0] | bytes[1] << 8));
  ASSERT_GT(samples.size(), 4096u + 8192u) << "too little sound";
  // What the program queued: 4,096 samples of silence, then the song halved.
  int32_t count = state->renderedSampleCount;
  ASSERT_GT(count, 0);
  auto queued = [&](int64_t i) -> int16_t {
    return i < 4096 ? 0 : static_cast<int16_t>(state->pcmBuffer[(i - 4096) % count] >> 1);
  };
  // The device takes 1,024 samples at a time. If the machine is so busy that
  // the refill comes late, SDL fills the rest of that block with silence: such
  // gaps are allowed, but only at the end of a block and only a few of them;
  // every other sample must be the next queued one.
  constexpr size_t kBlock = 1024;
  int64_t next = 0;  // the next queued sample expected
  int32_t gaps = 0;
  for (size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    size_t k = 0;
    while (k < kBlock && samples[start + k] == queued(next + static_cast<int64_t>(k))) k++;
    for (size_t rest = k; rest < kBlock; rest++) {
      ASSERT_EQ(samples[start + rest], 0)
          << "sample " << start + rest << " is neither the queued sample " << queued(next + rest)
          << " nor silence from an underrun";
    }
    if (k < kBlock) gaps++;
    next += static_cast<int64_t>(k);
  }
  EXPECT_LE(gaps, 2) << "the queue ran dry too often";
  EXPECT_GT(next, 4096 + 8192) << "too little of the song arrived";
}

TEST(DemoWindow, HiddenWindowRunsNoTicksAndContinuesWhereItWas) {
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, {{"SDL_AUDIODRIVER", "dummy"}});
  ASSERT_TRUE(demo.waitForTick(20, kStartMs)) << demo.errors();
  unsigned long window = display.demoWindow();
  ASSERT_NE(window, 0u);

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
