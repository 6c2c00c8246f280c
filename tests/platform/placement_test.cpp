#include "core/placement.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace corvexa;

TEST(Placement, OnePixelShortOfTheNextScaleKeepsTheSmallerOne) {
  EXPECT_EQ(placePicture(1920, 1080).scale, 6);
  EXPECT_EQ(placePicture(1919, 1080).scale, 5);
  EXPECT_EQ(placePicture(1920, 1079).scale, 5);
  EXPECT_EQ(placePicture(320, 180).scale, 1);
}

// The windows that the browser page's test opens too, where the page must
// place the picture exactly as the program does: whole scales centred on
// black, portrait windows turned, a square one not, and windows too small
// for scale 1 (200 x 150: the width decides; 319 x 100: the height).
TEST(Placement, TheWindowsThePageIsHeldTo) {
  std::ifstream file(std::string(CORVEXA_SOURCE_DIR) + "/tests/platform/window_placements.tsv");
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
  EXPECT_GE(rows, 9);
}

TEST(Placement, SmallWindowsShrinkThePictureWhole) {
  Placement thin = placePicture(90, 400);  // portrait, shrunk and turned
  EXPECT_TRUE(thin.turned);
  EXPECT_EQ(thin.width, 90);
  EXPECT_EQ(thin.height, 160);
  EXPECT_EQ(thin.y, 120);

  for (auto [w, h] : {std::pair{0, 0}, {0, 500}, {-5, 20}, {1, 1}}) {
    Placement none = placePicture(w, h);
    EXPECT_GE(none.width, 0);
    EXPECT_GE(none.height, 0);
    EXPECT_LE(none.x + none.width, w < 0 ? 0 : w);
  }
}
