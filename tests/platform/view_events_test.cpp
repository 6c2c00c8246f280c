// The view's handling of events and its frame step, without a window.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/view.h"

using namespace corvexa;

namespace {

// Runs no scene: counts ticks and stops on a press, as the show's Demo does.
struct CountingDemo final : Demo {
  int32_t ticks = 0;
  bool update(const PointerState& pointer) override {
    if (pointer.pressed > 0) return false;
    ticks++;
    return true;
  }
  void draw(Framebuffer) override {}
};

struct ViewFixture : ::testing::Test {
  Arena arena;
  CountingDemo demo;
  View view;
  void SetUp() override {
    view.host = makeFrameHost(arena, demo);
    view.pixelsWide = view.pointsWide = 1366;
    view.pixelsHigh = view.pointsHigh = 768;
  }
  void send(SDL_EventType type, int32_t x = 0, int32_t y = 0, uint32_t which = 0) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
      event.motion.x = x;
      event.motion.y = y;
      event.motion.which = which;
    } else {
      event.button.x = x;
      event.button.y = y;
      event.button.which = which;
    }
    handleEvent(view, event);
  }
  void sendWindow(SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = id;
    handleEvent(view, event);
  }
  void sendKey(SDL_Keycode key, uint16_t mod = KMOD_NONE) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    handleEvent(view, event);
  }
};

}  // namespace

TEST_F(ViewFixture, PressStopsAtTheNextTickAndMovingNever) {
  send(SDL_MOUSEMOTION, 30, 40);
  EXPECT_NE(stepShow(view, 1000), nullptr);
  EXPECT_EQ(view.pointer.x, 30);
  EXPECT_EQ(view.pointer.pressed, 0);
  send(SDL_MOUSEBUTTONDOWN, 50, 60);
  EXPECT_EQ(view.pointer.pressed, kPointerPressed);
  EXPECT_EQ(view.pointer.y, 60);
  EXPECT_EQ(stepShow(view, 1016), nullptr);
  EXPECT_EQ(demo.ticks, 1);
}

TEST_F(ViewFixture, ShortestClickStillEndsTheShow) {
  // Press and release in one batch of events, then a frame that runs no tick
  // (as every second frame on a 120 Hz display): the press waits for a tick.
  EXPECT_NE(stepShow(view, 1000), nullptr);
  send(SDL_MOUSEBUTTONDOWN, 5, 5);
  send(SDL_MOUSEBUTTONUP, 6, 6);
  view.host.stepAccumulator = 0;
  EXPECT_NE(stepShow(view, 1008), nullptr);
  EXPECT_EQ(view.pointer.pressed, kPointerPressed);
  EXPECT_EQ(view.pointer.x, 6);
  EXPECT_EQ(stepShow(view, 1016), nullptr);
}

TEST_F(ViewFixture, ReleaseAfterASeenPressLiftsThePointer) {
  // A Demo that does not stop on a press sees it lifted once released.
  struct Ignoring final : Demo {
    bool update(const PointerState&) override { return true; }
    void draw(Framebuffer) override {}
  } ignoring;
  view.host.demo = &ignoring;
  send(SDL_MOUSEBUTTONDOWN, 5, 5);
  EXPECT_NE(stepShow(view, 1000), nullptr);
  send(SDL_MOUSEBUTTONUP, 7, 8);
  EXPECT_EQ(view.pointer.pressed, 0);
  EXPECT_EQ(view.pointer.y, 8);
}

TEST_F(ViewFixture, TouchCountsOnceAndInPixels) {
  // The mouse events SDL makes up from a touch are left to the finger events.
  send(SDL_MOUSEBUTTONDOWN, 1, 1, SDL_TOUCH_MOUSEID);
  EXPECT_EQ(view.pointer.pressed, 0);
  SDL_Event finger{};
  finger.type = SDL_FINGERDOWN;
  finger.tfinger.x = 0.5f;
  finger.tfinger.y = 0.25f;
  handleEvent(view, finger);
  EXPECT_EQ(view.pointer.pressed, kPointerPressed);
  EXPECT_EQ(view.pointer.x, 683);
  EXPECT_EQ(view.pointer.y, 192);
  EXPECT_EQ(stepShow(view, 1000), nullptr);
}

TEST_F(ViewFixture, PointerPositionsBecomePixelsOnDenseDisplays) {
  view.pointsWide = 800;  // a window of 800 x 450 points shown in 1600 x 900 pixels
  view.pixelsWide = 1600;
  view.pointsHigh = 450;
  view.pixelsHigh = 900;
  send(SDL_MOUSEMOTION, 101, 50);
  EXPECT_EQ(view.pointer.x, 202);
  EXPECT_EQ(view.pointer.y, 100);
}

TEST_F(ViewFixture, HidingAndShowingRestartsTheRateMeasurement) {
  for (int32_t i = 0; i < 70; i++) stepShow(view, 1000 + 16 * i);
  ASSERT_NE(view.host.lastMeasurement, 0);
  sendWindow(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_FALSE(view.visible);
  sendWindow(SDL_WINDOWEVENT_RESTORED);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.host.lastMeasurement, 0);
  // Shown again 10 s later: still one tick per frame, no catching up.
  int32_t before = demo.ticks;
  for (int32_t i = 0; i < 180; i++) stepShow(view, 12000 + 16 * i);
  EXPECT_EQ(demo.ticks - before, 180);
  sendWindow(SDL_WINDOWEVENT_HIDDEN);
  EXPECT_FALSE(view.visible);
  sendWindow(SDL_WINDOWEVENT_SHOWN);
  EXPECT_TRUE(view.visible);
}

TEST_F(ViewFixture, EscapeAndClosingEndTheLoop) {
  sendKey(SDLK_a);
  EXPECT_FALSE(view.closed);
  sendKey(SDLK_ESCAPE);
  EXPECT_TRUE(view.closed);
  view.closed = false;
  sendWindow(SDL_WINDOWEVENT_CLOSE);
  EXPECT_TRUE(view.closed);
  view.closed = false;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  handleEvent(view, quit);
  EXPECT_TRUE(view.closed);
}

TEST(CounterMilliseconds, WholeMillisecondsInThirtyTwoBits) {
  EXPECT_EQ(counterMilliseconds(1234567, 1000000), 1234);
  EXPECT_EQ(counterMilliseconds(999, 1000), 999);
  // 200 days of nanoseconds: counter x 1000 would pass 2^63.
  uint64_t counter = 17280000000000000ull + 123456789ull;
  uint64_t ms = 17280000000ull + 123ull;
  EXPECT_EQ(counterMilliseconds(counter, 1000000000ull),
            static_cast<int32_t>(static_cast<uint32_t>(ms)));
}
