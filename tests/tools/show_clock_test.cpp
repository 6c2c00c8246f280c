// framesBeforeTick: how long capture's default video is, at each display rate.
#include "tools/corvexa-tool/show_clock.h"

#include <gtest/gtest.h>

using namespace corvexa;

using namespace corvexa::corvexa_tool;

namespace {

TEST(FramesBeforeTick, FollowsTheFrameDriverAtEachRate) {
  // 60 Hz: one tick per frame, so tick t first shows in frame t.
  EXPECT_EQ(framesBeforeTick(1, 60), 0);
  EXPECT_EQ(framesBeforeTick(5094, 60), 5093);
  // 30 Hz: one tick per frame until the rate is measured at frame 120, then two.
  EXPECT_EQ(framesBeforeTick(120, 30), 119);
  EXPECT_EQ(framesBeforeTick(121, 30), 120);
  EXPECT_EQ(framesBeforeTick(122, 30), 120);
  EXPECT_EQ(framesBeforeTick(124, 30), 121);
  // 50 Hz: 19.2 ms a frame from frame 121 on; frame 125 runs ticks 125 and 126.
  EXPECT_EQ(framesBeforeTick(125, 50), 124);
  EXPECT_EQ(framesBeforeTick(126, 50), 124);
  EXPECT_EQ(framesBeforeTick(127, 50), 125);
}

}  // namespace
