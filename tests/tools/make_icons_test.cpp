// The icons that make-icons writes into platform/icons.
#include <gtest/gtest.h>

#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

TEST(MakeIcons, RewritesTheCommittedIconsByteForByte) {
  std::filesystem::path dir = freshDirectory("make-icons");
  RunResult result = run(std::string(MAKE_ICONS) + " --out-dir " + shellQuote(dir / "icons"), dir);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::filesystem::path committed =
      std::filesystem::path(CORVEXA_SOURCE_DIR) / "platform/icons";
  for (int size : {16, 32, 48, 64, 128, 256}) {
    std::string name = "corvexa-" + std::to_string(size) + ".png";
    std::vector<uint8_t> made = readBytes(dir / "icons" / name);
    EXPECT_FALSE(made.empty()) << name;
    EXPECT_TRUE(made == readBytes(committed / name)) << name << " differs from platform/icons";
  }

  // A folder it cannot write into: one line naming it, status 1.
  writeBytes(dir / "file", {'x'});
  RunResult bad =
      run(std::string(MAKE_ICONS) + " --out-dir " + shellQuote(dir / "file/icons"), dir);
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find(dir.string() + "/file/icons"), std::string::npos) << bad.err;
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
}

}  // namespace
