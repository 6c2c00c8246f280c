#include "core/placement.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace corvexa;

TEST(Placement, WholeScalesCentredOnBlack) {
  Placement full = placePicture(1920, 1080);
  EXPECT_FALSE(full.turned);
  EXPECT_EQ(full.scale, 6);
  EXPECT_EQ(full.x, 0);
  EXPECT_EQ(full.y, 0);
  EXPECT_EQ(full.width, 1920);
  EXPECT_EQ(full.height, 1080);

  Placement laptop = placePicture(1366, 768);
  EXPECT_EQ(laptop.scale, 4);
  EXPECT_EQ(laptop.width, 1280);
  EXPECT_EQ(laptop.height, 720);
  EXPECT_EQ(laptop.x, 43);  // 43 black columns left and right
  EXPECT_EQ(laptop.y, 24);  // 24 black rows above and below
  EXPECT_EQ(1366 - laptop.x - laptop.width, 43);
  EXPECT_EQ(768 - laptop.y - laptop.height, 24);

  // One pixel short of the next scale keeps the smaller one.
  EXPECT_EQ(placePicture(1919, 1080).scale, 5);
  EXPECT_EQ(placePicture(1920, 1079).scale, 5);
}

TEST(Placement, PortraitIsTurnedSquareIsNot) {
  Placement portrait = placePicture(768, 1366);
  EXPECT_TRUE(portrait.turned);
  EXPECT_EQ(portrait.scale, 4);
  EXPECT_EQ(portrait.width, 720);
  EXPECT_EQ(portrait.height, 1280);
  EXPECT_EQ(portrait.x, 24);
  EXPECT_EQ(portrait.y, 43);

  Placement square = placePicture(1000, 1000);
  EXPECT_FALSE(square.turned);
  EXPECT_EQ(square.scale, 3);
  EXPECT_EQ(square.width, 960);
  EXPECT_EQ(square.height, 540);
  EXPECT_EQ(square.y, 230);
}

// The windows that the browser page's test opens too: the page must place the
// picture exactly as the program does (200 x 150: too narrow for scale 1, the
// width decides; 319 x 100: too low, the height decides).
TEST(Placement, TheWindowsThePageIsHeldToo) {
  std::ifstream file(std::string(CORVEXA_SOURCE_DIR) + "/tests/engine/window_placements.tsv");
  int32_t rows = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int32_t w, h, turned;
    Placement want;
    fields >> w >> h >> turned >> want.scale >> want.x >> want.y >> want.width >> want.height;
    const Placement got = placePicture(w, h);
    EXPECT_EQ(got.turned, turned != 0) << line;
    EXPECT_EQ((std::vector<int32_t>{got.scale, got.x, got.y, got.width, got.height}),
              (std::vector<int32_t>{want.scale, want.x, want.y, want.width, want.height}))
        << line;
    rows++;
  }
  EXPECT_GE(rows, 5);
}

TEST(Placement, SmallWindowsShrinkThePictureWhole) {
  Placement thin = placePicture(90, 400);  // portrait, shrunk and turned
  EXPECT_TRUE(thin.turned);
  EXPECT_EQ(thin.width, 90);
  EXPECT_EQ(thin.height, 160);
  EXPECT_EQ(thin.y, 120);

  EXPECT_EQ(placePicture(320, 180).scale, 1);
  for (auto [w, h] : {std::pair{0, 0}, {0, 500}, {-5, 20}, {1, 1}}) {
    Placement none = placePicture(w, h);
    EXPECT_GE(none.width, 0);
    EXPECT_GE(none.height, 0);
    EXPECT_LE(none.x + none.width, w < 0 ? 0 : w);
  }
}
