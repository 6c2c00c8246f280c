#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "xm_builder.h"

using namespace corvexa;

namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

std::string slurp(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

ToolRun runTool(const std::string& arguments, const std::filesystem::path& dir) {
  const std::filesystem::path out = dir / "stdout.txt";
  const std::filesystem::path err = dir / "stderr.txt";
  const std::string command =
      std::string(CORVEXA_TOOL) + " " + arguments + " >" + out.string() + " 2>" + err.string();
  const int raw = std::system(command.c_str());
  return {WEXITSTATUS(raw), slurp(out), slurp(err)};
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

struct XmCommand : ::testing::Test {
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("corvexa-xm-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

std::vector<uint8_t> song() {
  xm::SongPlan plan;
  plan.channelCount = 2;
  plan.speed = 3;
  plan.patterns.resize(1);
  plan.patterns[0].rows = 8;
  xm::put(plan.patterns[0], 2, 0, 0, Note{49, 1, 0, 0, 0});
  xm::SamplePlan sample;
  sample.data = make_song::deltaCode(std::vector<int16_t>(500, 40), 8);
  sample.type = 1;
  sample.loopLength = 500;
  plan.instruments.push_back(xm::oneSample(sample));
  return xm::build(plan);
}

}  // namespace

TEST_F(XmCommand, RendersASongToWav) {
  writeBytes(dir / "song.xm", song());
  ToolRun run =
      runTool("xm " + (dir / "song.xm").string() + " --out " + (dir / "song.wav").string(), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("channels 2, patterns 1, song length 1, instruments 1"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("speed 3, tempo 125, sample frames 500"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("rendered 21168 samples"), std::string::npos) << run.out;  // 8 x 3 x 882
  EXPECT_EQ(std::filesystem::file_size(dir / "song.wav"), 44u + 2 * 21168);
}

TEST_F(XmCommand, RefusesWithAReasonNamingTheFile) {
  std::vector<uint8_t> bytes = song();
  bytes.resize(bytes.size() - 1);
  writeBytes(dir / "short.xm", bytes);
  ToolRun run =
      runTool("xm " + (dir / "short.xm").string() + " --out " + (dir / "x.wav").string(), dir);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("short.xm: the data ends early"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.wav"));

  run = runTool("xm " + (dir / "missing.xm").string() + " --out " + (dir / "x.wav").string(), dir);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("missing.xm: cannot open"), std::string::npos) << run.err;

  writeBytes(dir / "text.xm", {'h', 'e', 'l', 'l', 'o'});
  run = runTool("xm " + (dir / "text.xm").string() + " --out " + (dir / "x.wav").string(), dir);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("text.xm: the data ends early"), std::string::npos) << run.err;

  run = runTool("xm " + dir.string() + " --out " + (dir / "x.wav").string(), dir);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(": not a regular file"), std::string::npos) << run.err;
}
